#pragma once

#include <QSqlDatabase>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

#include "db/DbBackend.h"
#include "db/qtsql/Libpq.h"

class PgSession;

// A SELECT kept by the PostgreSQL server as a scrollable cursor (DECLARE ... SCROLL CURSOR) on
// the session's own connection, in the transaction PgSession gives it. The rows are those of
// the moment the cursor was declared, the user's uncommitted changes included; the cursor is
// never stale. Reading on from where the last read ended is one FETCH FORWARD, and the next
// page is asked for while the program works on the last one; reading from another row moves
// there first. The count is MOVE ALL, which the server runs to the end of the result; the
// cursor then stands at the last row, so reading the end is quick. Rows are read with libpq and
// keep every digit the server sends (see PgRows). Every command lets `wait` run and stops on
// Interrupt with EOperationCancelled.
class PgScrollCursor : public TScrollCursor {
  public:
    // Nothing when the statement cannot be a cursor (SHOW, EXPLAIN, a change, several
    // statements, text the server refuses): the caller reads it the ordinary way and reports its
    // errors. A declaration waiting long (on another program's lock) runs under the busy wait,
    // and Escape ends it with EOperationCancelled.
    static std::unique_ptr<PgScrollCursor> Open(DbBackend& backend, PgSession& session,
                                                const QSqlDatabase& db, const QString& sql);
    ~PgScrollCursor() override;

    const TFieldDefs& Fields() const override { return fields_; }
    void Read(qsizetype first, qsizetype count, TRowStore& rows) override;
    void ReadWaiting(qsizetype first, qsizetype count, TRowStore& rows,
                     const std::function<void()>& wait) override;
    qsizetype Count(const std::function<void()>& wait) override;
    void Interrupt() override;
    TUpdateResolver UpdateTarget() const override { return updateTarget_; }
    // MOVE to the start, then FETCH FORWARD in batches of about a megabyte, the next asked for
    // while `each` works on the last: the cursor's one snapshot, once, in order. Columns whose
    // binary form reads as their text come in that form after the first batch.
    void Walk(const std::function<bool(TRowStore& batch)>& each,
              const std::function<void()>& wait) override;

    // For PgSession: the cursor's name on the server; takes in the answer asked for ahead; the
    // portal is gone (`why` says so to later reads).
    const QString& Name() const { return name_; }
    void TakePending();
    void Forget(const QString& why);

  private:
    PgScrollCursor(PgSession& session) : session_(session) {}
    void* Connection() const;
    void CheckOpen() const;
    // Sends a command of the cursor's, other answers taken in first.
    void Send(const QString& command, bool binaryRows = false);
    // The answer of the command sent last; a failure ends a failed program transaction, and
    // after an Interrupt it is EOperationCancelled.
    TPgResult Answer(const std::function<void()>& wait);
    TPgResult Command(const QString& command, const std::function<void()>& wait);
    // Places the cursor so that the next FETCH starts at `row`.
    void MoveTo(qsizetype row, const std::function<void()>& wait);
    void FetchAhead(qsizetype first, qsizetype count, bool binaryRows = false);
    // The answer asked for ahead when it is the rows `first`..`first + count`; else null.
    TPgResult TakeAhead(qsizetype first, qsizetype count);

    PgSession& session_;
    QString name_;
    QString gone_;  // why the portal is gone; empty while it stands
    TFieldDefs fields_;
    TUpdateResolver updateTarget_;
    qsizetype next_ = 0;      // the row FETCH FORWARD gives next; -1 when unknown
    qsizetype lastEnd_ = -1;  // where the last read ended
    bool pending_ = false;    // a FETCH sent ahead, its answer not taken in
    qsizetype pendingFirst_ = 0, pendingCount_ = 0;
    TPgResult ahead_;  // its answer, taken in for another command
    std::atomic<bool> interrupted_{false};
};
