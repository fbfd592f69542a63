#pragma once

#include <QByteArray>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "db/DbBackend.h"
#include "db/sqlite/SqliteOrigins.h"

struct sqlite3;
struct sqlite3_stmt;

// Where a result that needs keeping is kept: a table, not yet existing, in a temporary database
// reached through `db` (the result's own connection, or one of its own inside the user's
// transaction). No table: nothing can be kept.
struct TSqliteKeeping {
    sqlite3* db = nullptr;
    QByteArray table;
};

// A SELECT read by position on SQLite. No statement is left stepping between two reads, so the
// database is never held locked for other programs wherever the user scrolled.
//
// A statement that reads one table in its own order without sorting (its plan is one scan or
// search) is read from a given row by "SELECT * FROM (statement) LIMIT -1 OFFSET n", which SQLite
// skips through without building the skipped rows, and counted by SQLite's own count(*); a whole
// table in rowid order ("select * from t") is read from its end when the row lies in its second
// half. Keeping such a result would cost more than skipping through it.
//
// Any other result (sorted, grouped, joined) is kept while it is counted: written once, in its
// order, to a table of a temporary database on disk, then read by rowid, so that a jump costs a
// page read and the sort is never run again. Its first page comes at once from the statement
// with a LIMIT, for which SQLite keeps only the first rows while it sorts; equal rows may come
// in another order there, so those rows are read again once the result is kept.
//
// Counting and keeping run on a second thread so that the window keeps painting; Interrupt
// stops them. The cursor is stale once another connection committed a change to the database
// (PRAGMA data_version).
class SqliteScrollCursor : public TScrollCursor {
  public:
    // Takes the prepared statement; nothing (and the statement finalized) when it cannot be
    // read from a given row. A result that needs keeping is kept in `keepIn`.
    static std::unique_ptr<SqliteScrollCursor> Open(sqlite3* db, sqlite3_stmt* statement,
                                                    TSqliteOrigins origins, TSqliteKeeping keepIn);
    ~SqliteScrollCursor() override;

    const TFieldDefs& Fields() const override { return fields_; }
    void Read(qsizetype first, qsizetype count, TRowStore& rows) override;
    // Steps on a second thread, as Count does.
    void ReadWaiting(qsizetype first, qsizetype count, TRowStore& rows,
                     const std::function<void()>& wait) override;
    qsizetype Count(const std::function<void()>& wait) override;
    void Interrupt() override;
    TUpdateResolver UpdateTarget() const override;
    bool Stale() override;
    bool FirstRowsProvisional() const override { return kept_ && provisional_; }
    // One statement stepped from the first row to the last: one read transaction.
    void Walk(const std::function<bool(TRowStore& batch)>& each,
              const std::function<void()>& wait) override;

    // The connection is closing: finalizes everything; later reads fail.
    void Detach();
    // Run when the cursor goes while its connection is open.
    std::function<void()> onGone;

  private:
    SqliteScrollCursor(sqlite3* db, sqlite3_stmt* statement, sqlite3_stmt* counter, QByteArray body,
                       TSqliteOrigins origins);
    // Lets go of the statement in the middle of its rows.
    void Park();
    // Whether reading the statement from a given row costs no more than skipping rows.
    bool StreamsInOrder() const;
    void Seek(qsizetype row);
    // For a whole table scanned in rowid order: the same rows from the last one backwards.
    void PrepareBackward();
    void ReadBackward(qsizetype first, qsizetype count, TRowStore& rows);
    void ReadKept(qsizetype first, qsizetype count, TRowStore& rows);
    qsizetype Keep(const std::function<void()>& wait);
    // Keeps the rows through the keeping connection, row by row; returns the rows kept.
    qsizetype CopyRows(sqlite3_stmt* inserter);
    // Steps `statement` for at most `count` rows into `rows`; false once it is done.
    bool Step(sqlite3_stmt* statement, qsizetype count, TRowStore& rows, std::size_t bytes = 0);
    qint64 DataVersion();
    [[noreturn]] void Fail(const char* message);
    // Runs `work` on a second thread while `wait` runs here, when the connection allows it.
    template <typename Result>
    Result Meanwhile(const std::function<Result()>& work, const std::function<void()>& wait);

    sqlite3* db_;
    sqlite3_stmt* statement_;         // from the first row
    sqlite3_stmt* counter_;           // SELECT count(*) FROM (statement)
    sqlite3_stmt* seeker_ = nullptr;  // from any row, prepared at the first jump
    sqlite3_stmt* reader_ = nullptr;  // the one being stepped, or none
    sqlite3_stmt* backward_ = nullptr;
    sqlite3_stmt* firstRows_ = nullptr;   // rows of a result to keep, before it is kept
    sqlite3_stmt* keptReader_ = nullptr;  // the kept rows by rowid, once kept
    sqlite3_stmt* version_ = nullptr;
    qsizetype counted_ = -1;
    QByteArray body_;
    TSqliteKeeping keepIn_;  // no table while the result is read from the statement
    bool kept_ = false;
    bool provisional_ = false;  // rows were read before the result was kept
    qint64 openedVersion_ = 0;
    TSqliteOrigins origins_;
    std::vector<int> undecided_;
    TFieldDefs fields_;
    std::atomic<bool> interrupted_{false};
};
