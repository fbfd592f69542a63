#pragma once

#include <QSqlDatabase>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

#include "db/DbBackend.h"

// A SELECT kept by the PostgreSQL server as a scrollable cursor (DECLARE ... SCROLL CURSOR) on a
// connection of its own, inside a read-only repeatable-read transaction: the rows are those of
// the moment the cursor opened, changes posted since (on the main connection) are laid over them
// by the data set. Reading on from where the last read ended is one FETCH FORWARD; reading from
// another row moves there first; a walk through the rows has the next page fetched while the
// program works on the last one. The count is MOVE ALL, which the server runs to the end of the
// result; the cursor then stands at the last row, so reading the end is quick. Rows are read
// with libpq, which is quicker than asking the driver, and keep every digit the server sends
// (see PgRows); through the driver only when libpq is not at hand.
class PgScrollCursor : public TScrollCursor {
  public:
    // Nothing when the statement cannot be a cursor (SHOW, EXPLAIN, a change): the caller reads
    // it the ordinary way and reports its errors. Raises EDatabaseError when the second
    // connection cannot be made.
    static std::unique_ptr<PgScrollCursor> Open(DbBackend& backend, const QSqlDatabase& main,
                                                const QString& sql);
    ~PgScrollCursor() override;

    const TFieldDefs& Fields() const override { return fields_; }
    void Read(qsizetype first, qsizetype count, TRowStore& rows) override;
    void ReadWaiting(qsizetype first, qsizetype count, TRowStore& rows,
                     const std::function<void()>& wait) override;
    qsizetype Count(const std::function<void()>& wait) override;
    void Interrupt() override;
    TUpdateResolver UpdateTarget() const override { return updateTarget_; }

    // The main connection is closing: ends the cursor's connection; later reads fail.
    void Detach();
    // Run when the cursor goes while the main connection is open.
    std::function<void()> onGone;

  private:
    PgScrollCursor() = default;
    void Run(const QString& command);
    void ReadDirect(qsizetype count, TRowStore& rows, const std::function<void()>& wait);
    void ReadThroughDriver(qsizetype count, TRowStore& rows);
    // The FETCH sent ahead, taken in; the rows it read when it was for `first`, else -1.
    qsizetype TakePrefetch(qsizetype first, qsizetype count, TRowStore& rows);

    QString connectionName_;
    QSqlDatabase db_;
    TFieldDefs fields_;
    TUpdateResolver updateTarget_;
    qsizetype next_ = 0;  // the row FETCH FORWARD gives next
    qsizetype lastEnd_ = -1;  // where the last read ended
    bool direct_ = false;     // rows read with libpq
    bool prefetching_ = false;
    qsizetype prefetchFirst_ = 0, prefetchCount_ = 0;
    std::atomic<bool> interrupted_{false};
};
