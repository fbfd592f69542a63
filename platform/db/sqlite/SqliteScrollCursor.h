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

// A SELECT read by position on SQLite. Reading on from where the last read ended steps the
// statement itself; reading from another row steps "SELECT * FROM (statement) LIMIT -1 OFFSET
// n", which SQLite skips through without building the skipped rows. The count is SQLite's own
// count(*) of the statement, run on a second thread so that the window keeps painting; Interrupt
// stops it. SQLite's tables keep no row numbers, so a jump costs a walk past the rows before it;
// a whole table read in rowid order ("select * from t") is read from its end instead when the
// row lies in the second half. The rows are read as the database holds them at each read:
// changes made meanwhile show only in pages read afterwards.
class SqliteScrollCursor : public TScrollCursor {
  public:
    // Takes the prepared statement; nothing (and the statement finalized) when it cannot be
    // read from a given row.
    static std::unique_ptr<SqliteScrollCursor> Open(sqlite3* db, sqlite3_stmt* statement,
                                                    TSqliteOrigins origins);
    ~SqliteScrollCursor() override;

    const TFieldDefs& Fields() const override { return fields_; }
    void Read(qsizetype first, qsizetype count, TRowStore& rows) override;
    // Steps on a second thread, as Count does.
    void ReadWaiting(qsizetype first, qsizetype count, TRowStore& rows,
                     const std::function<void()>& wait) override;
    qsizetype Count(const std::function<void()>& wait) override;
    void Interrupt() override;
    TUpdateResolver UpdateTarget() const override;

    // Lets go of the statement in the middle of its rows (see SqliteBackend::ParkCursors).
    void Park();
    // The connection is closing: finalizes everything; later reads fail.
    void Detach();
    // Run when the cursor goes while its connection is open.
    std::function<void()> onGone;

  private:
    SqliteScrollCursor(sqlite3* db, sqlite3_stmt* statement, sqlite3_stmt* counter,
                       QByteArray body, TSqliteOrigins origins);
    void Seek(qsizetype row);
    // For a whole table scanned in rowid order: the same rows from the last one backwards.
    void PrepareBackward();
    void ReadBackward(qsizetype first, qsizetype count, TRowStore& rows);
    [[noreturn]] void Fail(const char* message);
    // Runs `work` on a second thread while `wait` runs here, when the connection allows it.
    template <typename Result>
    Result Meanwhile(const std::function<Result()>& work, const std::function<void()>& wait);

    sqlite3* db_;
    sqlite3_stmt* statement_;         // from the first row
    sqlite3_stmt* counter_;           // SELECT count(*) FROM (statement)
    sqlite3_stmt* seeker_ = nullptr;  // from any row, prepared at the first jump
    sqlite3_stmt* reader_ = nullptr;  // the one stepped last, or none
    sqlite3_stmt* backward_ = nullptr;
    qsizetype counted_ = -1;
    qsizetype next_ = -1;             // the row reader_ gives next
    QByteArray body_;
    TSqliteOrigins origins_;
    std::vector<int> undecided_;
    TFieldDefs fields_;
    std::atomic<bool> interrupted_{false};
};
