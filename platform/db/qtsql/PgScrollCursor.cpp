#include "db/qtsql/PgScrollCursor.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "core/Exception.h"
#include "db/dataset/RowStore.h"
#include "db/qtsql/Libpq.h"
#include "db/qtsql/SqlErrorText.h"
#include "db/qtsql/PgOrigins.h"
#include "db/qtsql/PgRows.h"
#include "db/qtsql/QtSqlFieldType.h"

namespace {

const QString kCursor = QStringLiteral("quorva_rows");

// The statement fit to follow "FOR": without its closing semicolon, and ended by a line feed so
// that a trailing "--" comment stays a comment.
QString Body(const QString& sql) {
    QString body = sql;
    while (!body.isEmpty() && (body.back().isSpace() || body.back() == QLatin1Char(';')))
        body.chop(1);
    return body + QLatin1Char('\n');
}

void AppendResult(const TPgResult& result, TRowStore& rows) {
    const int count = Libpq().ntuples(result.Get());
    for (int row = 0; row < count; ++row)
        AppendPgRow(result.Get(), row, rows);
}

}  // namespace

std::unique_ptr<PgScrollCursor> PgScrollCursor::Open(DbBackend& backend, const QSqlDatabase& main,
                                                    const QString& sql) {
    static int opened = 0;
    std::unique_ptr<PgScrollCursor> cursor(new PgScrollCursor);
    cursor->connectionName_ = QStringLiteral("%1-cursor-%2").arg(main.connectionName()).arg(++opened);
    cursor->db_ = QSqlDatabase::cloneDatabase(main, cursor->connectionName_);
    if (!cursor->db_.open())
        throw EDatabaseError(SqlErrorText(cursor->db_.lastError()));
    cursor->Run(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    QSqlQuery declare(cursor->db_);
    if (!declare.exec(QStringLiteral("DECLARE %1 SCROLL CURSOR FOR\n%2").arg(kCursor, Body(sql))))
        return nullptr;
    // FETCH 0 reads no row but describes the result, with the tables its columns come from.
    QSqlQuery describe(cursor->db_);
    describe.setForwardOnly(true);
    if (!describe.exec(QStringLiteral("FETCH FORWARD 0 FROM %1").arg(kCursor)))
        throw EDatabaseError(SqlErrorText(describe.lastError()));
    const QSqlRecord record = describe.record();
    for (int column = 0; column < record.count(); ++column)
        cursor->fields_.append(FieldDefFromSqlField(record.field(column), main.driverName()));
    cursor->updateTarget_ = PgUpdateResolver(backend, PgOriginsOf(describe, sql));
    cursor->direct_ =
        Libpq().freemem && PgResultOf(describe) && PgConnection(*cursor->db_.driver());
    describe.finish();
    return cursor;
}

PgScrollCursor::~PgScrollCursor() {
    if (connectionName_.isEmpty())
        return;
    Detach();
    if (onGone)
        onGone();
}

void PgScrollCursor::Detach() {
    if (connectionName_.isEmpty())
        return;
    // Closing the connection ends the read-only transaction and the cursor with it.
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
    connectionName_.clear();
}

void PgScrollCursor::Run(const QString& command) {
    QSqlQuery query(db_);
    if (!query.exec(command)) {
        next_ = -1;
        throw EDatabaseError(SqlErrorText(query.lastError()));
    }
}

void PgScrollCursor::Read(qsizetype first, qsizetype count, TRowStore& rows) {
    if (!db_.isOpen())
        throw EDatabaseError(QStringLiteral("Database is not open"));
    const bool walking = first == lastEnd_;
    if (const qsizetype read = TakePrefetch(first, count, rows); read >= 0) {
        lastEnd_ = first + read;
    } else {
        if (first != next_) {
            // ABSOLUTE n stands on the n-th row counted from 1: the next FETCH starts at `first`.
            Run(QStringLiteral("MOVE ABSOLUTE %1 IN %2").arg(first).arg(kCursor));
            next_ = first;
        }
        if (!direct_)
            return ReadThroughDriver(count, rows);
        ReadDirect(count, rows, {});
    }
    // A walk goes on: the server fetches the next page meanwhile.
    if (direct_ && walking && lastEnd_ - first == count) {
        PgSend(PgConnection(*db_.driver()),
               QStringLiteral("FETCH FORWARD %1 FROM %2").arg(count).arg(kCursor).toUtf8());
        prefetching_ = true;
        prefetchFirst_ = lastEnd_;
        prefetchCount_ = count;
    }
}

void PgScrollCursor::ReadDirect(qsizetype count, TRowStore& rows,
                                const std::function<void()>& wait) {
    void* connection = PgConnection(*db_.driver());
    try {
        PgSend(connection,
               QStringLiteral("FETCH FORWARD %1 FROM %2").arg(count).arg(kCursor).toUtf8());
        if (wait)
            PgWaitWhileBusy(connection, wait);
        const TPgResult result = PgAnswer(connection);
        AppendResult(result, rows);
        next_ += Libpq().ntuples(result.Get());
    } catch (...) {
        next_ = -1;
        throw;
    }
    lastEnd_ = next_;
}

void PgScrollCursor::ReadWaiting(qsizetype first, qsizetype count, TRowStore& rows,
                                 const std::function<void()>& wait) {
    // Only a read where the cursor stands (the first page) waits; any other is a plain read.
    if (!direct_ || prefetching_ || first != next_ || !db_.isOpen())
        return Read(first, count, rows);
    interrupted_ = false;
    try {
        ReadDirect(count, rows, wait);
    } catch (const EDatabaseError&) {
        if (interrupted_)
            throw EOperationCancelled(QStringLiteral("Cancelled"));
        throw;
    }
}

qsizetype PgScrollCursor::TakePrefetch(qsizetype first, qsizetype count, TRowStore& rows) {
    if (!prefetching_)
        return -1;
    prefetching_ = false;
    TPgResult result;
    try {
        result = PgAnswer(PgConnection(*db_.driver()));
    } catch (...) {
        next_ = -1;
        throw;
    }
    const qsizetype read = Libpq().ntuples(result.Get());
    next_ = prefetchFirst_ + read;
    if (first != prefetchFirst_ || count != prefetchCount_)
        return -1;
    AppendResult(result, rows);
    return read;
}

void PgScrollCursor::ReadThroughDriver(qsizetype count, TRowStore& rows) {
    QSqlQuery fetch(db_);
    fetch.setForwardOnly(true);
    if (!fetch.exec(QStringLiteral("FETCH FORWARD %1 FROM %2").arg(count).arg(kCursor))) {
        next_ = -1;
        throw EDatabaseError(SqlErrorText(fetch.lastError()));
    }
    while (fetch.next()) {
        AppendQueryRow(fetch, rows);
        ++next_;
    }
    lastEnd_ = next_;
    if (fetch.lastError().isValid()) {
        next_ = -1;
        throw EDatabaseError(SqlErrorText(fetch.lastError()));
    }
}

qsizetype PgScrollCursor::Count(const std::function<void()>& wait) {
    if (!db_.isOpen())
        throw EDatabaseError(QStringLiteral("Database is not open"));
    interrupted_ = false;
    TRowStore ignored;
    TakePrefetch(-1, 0, ignored);
    qsizetype moved;
    try {
        moved = PgCommandWhileWaiting(*db_.driver(),
                                      QStringLiteral("MOVE FORWARD ALL IN %1").arg(kCursor).toUtf8(),
                                      wait);
    } catch (const EDatabaseError&) {
        if (interrupted_)
            throw EOperationCancelled(QStringLiteral("Cancelled"));
        throw;
    }
    next_ += moved;
    return next_;
}

void PgScrollCursor::Interrupt() {
    if (!db_.isOpen())
        return;
    interrupted_ = true;
    PgCancel(*db_.driver());
}
