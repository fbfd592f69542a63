#include "db/qtsql/PgSession.h"

#include <utility>

#include "core/Exception.h"
#include "db/qtsql/Libpq.h"
#include "db/qtsql/PgScrollCursor.h"

namespace {

const QString kTransactionEnded = QStringLiteral(
    "The rows of this result are no longer at hand: the transaction it was read "
    "in has ended");

}  // namespace

void PgSession::Detach() {
    ForgetAll(QStringLiteral("Database is not open"));
    own_ = false;
    driver_ = nullptr;
}

void PgSession::Settle() {
    for (PgScrollCursor* cursor : std::vector(cursors_))
        cursor->TakePending();
    // An answer taken in may have been a failure.
    if (own_ && driver_ && PgTransactionFailed(*driver_))
        EndProgramTransaction(kTransactionEnded);
}

void PgSession::Run(const QString& command) {
    if (!driver_)
        throw EDatabaseError(QStringLiteral("Database is not open"));
    // Nothing is sent on a lost connection: libpq's reason for the loss stays the one reported.
    if (PgConnectionBroken(*driver_))
        throw EDatabaseError(PgConnectionError(*driver_));
    PgExecute(*driver_, command);
}

void PgSession::ClosePortal(PgScrollCursor* cursor) {
    if (!driver_ || !PgInTransaction(*driver_) || PgTransactionFailed(*driver_))
        return;
    try {
        Run(QStringLiteral("CLOSE ") + cursor->Name());
    } catch (const EDatabaseError&) {
        // Gone with its transaction or its connection.
    }
}

bool PgSession::PrepareDeclare() {
    Settle();
    if (!driver_)
        throw EDatabaseError(QStringLiteral("Database is not open"));
    if (PgTransactionFailed(*driver_))
        return false;
    freshTransaction_ = !PgInTransaction(*driver_);
    if (freshTransaction_) {
        Run(QStringLiteral("BEGIN"));
        own_ = true;
    } else {
        Run(QStringLiteral("SAVEPOINT quorva_cursor"));
    }
    return true;
}

void PgSession::Declared(PgScrollCursor* cursor) {
    if (!freshTransaction_)
        Run(QStringLiteral("RELEASE SAVEPOINT quorva_cursor"));
    cursors_.push_back(cursor);
}

void PgSession::DeclareFailed() {
    try {
        if (freshTransaction_) {
            own_ = false;
            Run(QStringLiteral("ROLLBACK"));
        } else {
            Run(QStringLiteral("ROLLBACK TO SAVEPOINT quorva_cursor"));
            Run(QStringLiteral("RELEASE SAVEPOINT quorva_cursor"));
        }
    } catch (const EDatabaseError&) {
        // A connection lost meanwhile: the statement's own failure is the one to report.
    }
}

void PgSession::Closed(PgScrollCursor* cursor) {
    ClosePortal(cursor);
    std::erase(cursors_, cursor);
    if (own_ && cursors_.empty())
        EndProgramTransaction(kTransactionEnded);
}

void PgSession::CursorFailed() {
    if (own_ && driver_ && PgTransactionFailed(*driver_))
        EndProgramTransaction(kTransactionEnded);
}

void PgSession::Step(const std::function<void()>& run, bool changes) {
    if (!own_) {
        run();
        return;
    }
    Run(QStringLiteral("SAVEPOINT quorva_step"));
    try {
        run();
    } catch (...) {
        try {
            Run(QStringLiteral("ROLLBACK TO SAVEPOINT quorva_step"));
            Run(QStringLiteral("RELEASE SAVEPOINT quorva_step"));
        } catch (const EDatabaseError&) {
            // A connection lost meanwhile: the statement's own failure is the one to report.
        }
        throw;
    }
    Run(QStringLiteral("RELEASE SAVEPOINT quorva_step"));
    if (changes)
        CommitProgramTransaction();
}

void PgSession::CommitProgramTransaction() {
    if (own_)
        EndProgramTransaction(kTransactionEnded);
}

void PgSession::EndCursors() {
    Settle();
    if (own_) {
        EndProgramTransaction(kTransactionEnded);
        return;
    }
    // Cursors in the user's transaction: their portals would stay until it ends.
    for (PgScrollCursor* cursor : std::exchange(cursors_, {})) {
        ClosePortal(cursor);
        cursor->Forget(kTransactionEnded);
    }
}

void PgSession::EndProgramTransaction(const QString& why) {
    ForgetAll(why);
    own_ = false;
    if (!driver_)
        return;
    // A failed transaction takes only a rollback; a healthy one holds what the program's
    // cursors did (a volatile function's writes), kept as reading them client-side keeps them.
    Run(PgTransactionFailed(*driver_) ? QStringLiteral("ROLLBACK") : QStringLiteral("COMMIT"));
}

void PgSession::ForgetAll(const QString& why) {
    for (PgScrollCursor* cursor : std::exchange(cursors_, {}))
        cursor->Forget(why);
}
