#include "db/sqlite/SqliteScrollCursor.h"

#include <sqlite3.h>

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <chrono>
#include <future>

#include "core/Exception.h"
#include "db/dataset/RowStore.h"
#include "db/sqlite/SqliteRows.h"

namespace {

// The statement's own text, fit to stand inside parentheses: without the closing semicolon, and
// on lines of its own so that a trailing "--" comment ends before the parenthesis.
QByteArray Body(sqlite3_stmt* statement) {
    QByteArray text = sqlite3_sql(statement);
    while (!text.isEmpty() && (QChar::isSpace(uchar(text.back())) || text.back() == ';'))
        text.chop(1);
    return "(\n" + text + "\n)";
}

sqlite3_stmt* Prepare(sqlite3* db, const QByteArray& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    return statement;
}

// The steps of a statement's plan as SQLite explains them.
QStringList PlanSteps(sqlite3* db, sqlite3_stmt* statement) {
    QStringList steps;
    sqlite3_stmt* plan = Prepare(db, QByteArray("EXPLAIN QUERY PLAN ") + sqlite3_sql(statement));
    if (!plan)
        return {QStringLiteral("(no plan)")};
    while (sqlite3_step(plan) == SQLITE_ROW)
        steps << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(plan, 3)));
    sqlite3_finalize(plan);
    return steps;
}

// Resets a statement on every way out of a read.
struct TResetting {
    sqlite3_stmt* statement;
    ~TResetting() { sqlite3_reset(statement); }
};

// A walk's batch ends at this size, or at its row count, whichever comes first.
constexpr std::size_t kWalkBatchBytes = 1 << 20;
constexpr qsizetype kWalkBatchRows = 4096;

}  // namespace

std::unique_ptr<SqliteScrollCursor> SqliteScrollCursor::Open(sqlite3* db, sqlite3_stmt* statement,
                                                             TSqliteOrigins origins,
                                                             TSqliteKeeping keepIn) {
    QByteArray body = Body(statement);
    sqlite3_stmt* counter = Prepare(db, "SELECT count(*) FROM " + body);
    if (!counter) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    std::unique_ptr<SqliteScrollCursor> cursor(
        new SqliteScrollCursor(db, statement, counter, std::move(body), std::move(origins)));
    if (!cursor->StreamsInOrder())
        cursor->keepIn_ = std::move(keepIn);
    return cursor;
}

SqliteScrollCursor::SqliteScrollCursor(sqlite3* db, sqlite3_stmt* statement, sqlite3_stmt* counter,
                                       QByteArray body, TSqliteOrigins origins)
    : db_(db),
      statement_(statement),
      counter_(counter),
      body_(std::move(body)),
      origins_(std::move(origins)),
      fields_(SqliteResultFields(statement, undecided_)) {
    version_ = Prepare(db_, "PRAGMA main.data_version");
    openedVersion_ = DataVersion();
    PrepareBackward();
}

bool SqliteScrollCursor::StreamsInOrder() const {
    const QStringList steps = PlanSteps(db_, statement_);
    return steps.size() == 1 && (steps[0].startsWith(QLatin1String("SCAN ")) ||
                                 steps[0].startsWith(QLatin1String("SEARCH ")));
}

void SqliteScrollCursor::PrepareBackward() {
    // Only the plain statement over one table; its plan must be the table's own scan (no index,
    // no sorting), which gives the rows in rowid order.
    static const QRegularExpression wholeTable(
        QStringLiteral(R"(^\s*select\s+\*\s+from\s+((?:"(?:[^"]|"")+"|\[[^\]]+\]|`[^`]+`|)"
                       R"([A-Za-z_][A-Za-z0-9_$]*))\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match =
        wholeTable.match(QString::fromUtf8(sqlite3_sql(statement_)));
    if (!match.hasMatch() || origins_.Reads.isEmpty())
        return;
    // The authorizer hears every column read: all of them from the one table, none through a view.
    for (const TSqliteOrigins::Read& read : origins_.Reads)
        if (read.Table != origins_.Reads[0].Table || !read.Through.isEmpty())
            return;
    for (const TSqliteOrigins::Column& column : origins_.Columns)
        if (column.Name.compare(QLatin1String("_rowid_"), Qt::CaseInsensitive) == 0)
            return;
    const QByteArray table = match.captured(1).toUtf8();
    sqlite3_stmt* plan = Prepare(db_, "SELECT * FROM " + table);
    if (!plan)
        return;
    const QStringList steps = PlanSteps(db_, plan);
    sqlite3_finalize(plan);
    if (steps.size() != 1 || !steps[0].startsWith(QLatin1String("SCAN ")) ||
        steps[0].contains(QLatin1String(" USING ")))
        return;
    // A table without rowid (or a view) has no _rowid_: nothing is prepared then.
    backward_ = Prepare(db_, "SELECT * FROM " + table + " ORDER BY _rowid_ DESC LIMIT ? OFFSET ?");
}

SqliteScrollCursor::~SqliteScrollCursor() {
    if (!db_)
        return;
    Detach();
    // The temporary database goes with the connection; a table dropped now frees its room.
    if (!keepIn_.table.isEmpty())
        sqlite3_exec(keepIn_.db, ("DROP TABLE IF EXISTS " + keepIn_.table).constData(), nullptr,
                     nullptr, nullptr);
    if (onGone)
        onGone();
}

void SqliteScrollCursor::Detach() {
    for (sqlite3_stmt* statement :
         {statement_, counter_, seeker_, backward_, firstRows_, keptReader_, version_})
        sqlite3_finalize(statement);
    statement_ = counter_ = seeker_ = reader_ = backward_ = firstRows_ = keptReader_ = version_ =
        nullptr;
    db_ = nullptr;
}

void SqliteScrollCursor::Park() {
    if (reader_)
        sqlite3_reset(reader_);
    reader_ = nullptr;
}

void SqliteScrollCursor::Fail(const char* message) {
    const QString text = QString::fromUtf8(message);
    Park();
    throw EDatabaseError(text);
}

qint64 SqliteScrollCursor::DataVersion() {
    if (!version_ || sqlite3_step(version_) != SQLITE_ROW) {
        if (version_)
            sqlite3_reset(version_);
        return -1;
    }
    const qint64 version = sqlite3_column_int64(version_, 0);
    sqlite3_reset(version_);
    return version;
}

bool SqliteScrollCursor::Stale() {
    return db_ && DataVersion() != openedVersion_;
}

void SqliteScrollCursor::Seek(qsizetype row) {
    Park();
    if (row == 0) {
        reader_ = statement_;
    } else {
        if (!seeker_ && !(seeker_ = Prepare(db_, "SELECT * FROM " + body_ + " LIMIT -1 OFFSET ?")))
            Fail(sqlite3_errmsg(db_));
        sqlite3_bind_int64(seeker_, 1, row);
        reader_ = seeker_;
    }
}

bool SqliteScrollCursor::Step(sqlite3_stmt* statement, qsizetype count, TRowStore& rows,
                              std::size_t bytes) {
    for (qsizetype read = 0; read < count; ++read) {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_DONE)
            return false;
        if (rc != SQLITE_ROW) {
            const QString message = QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(statement)));
            sqlite3_reset(statement);
            throw EDatabaseError(message);
        }
        if (!undecided_.empty())
            DecideSqliteTypes(statement, fields_, undecided_);
        AppendSqliteRow(statement, rows);
        if (bytes > 0 && rows.MemoryUsed() >= bytes)
            return true;
    }
    return true;
}

void SqliteScrollCursor::Read(qsizetype first, qsizetype count, TRowStore& rows) {
    if (!db_)
        throw EDatabaseError(QStringLiteral("Database is not open"));
    if (kept_)
        return ReadKept(first, count, rows);
    if (backward_ && counted_ > 0 && first > counted_ / 2)
        return ReadBackward(first, count, rows);
    if (!keepIn_.table.isEmpty()) {
        if (!firstRows_ &&
            !(firstRows_ = Prepare(db_, "SELECT * FROM " + body_ + " LIMIT ? OFFSET ?")))
            Fail(sqlite3_errmsg(db_));
        Park();
        provisional_ = true;
        const TResetting resetting{firstRows_};
        sqlite3_bind_int64(firstRows_, 1, count);
        sqlite3_bind_int64(firstRows_, 2, first);
        Step(firstRows_, count, rows);
        return;
    }
    Seek(first);
    // Nothing is left stepping: a statement in the middle of its rows holds the database.
    struct TParking {
        SqliteScrollCursor& cursor;
        ~TParking() { cursor.Park(); }
    } parking{*this};
    Step(reader_, count, rows);
}

void SqliteScrollCursor::ReadKept(qsizetype first, qsizetype count, TRowStore& rows) {
    const TResetting resetting{keptReader_};
    // The kept rows are numbered from 1 in the result's order.
    sqlite3_bind_int64(keptReader_, 1, first);
    sqlite3_bind_int64(keptReader_, 2, count);
    Step(keptReader_, count, rows);
}

void SqliteScrollCursor::ReadBackward(qsizetype first, qsizetype count, TRowStore& rows) {
    Park();
    const qsizetype end = qMin(first + count, counted_);
    if (end <= first)
        return;
    sqlite3_bind_int64(backward_, 1, end - first);
    sqlite3_bind_int64(backward_, 2, counted_ - end);
    TRowStore backwards;
    backwards.Reset(rows.ColumnCount());
    {
        const TResetting resetting{backward_};
        Step(backward_, end - first, backwards);
    }
    for (qsizetype row = backwards.RowCount() - 1; row >= 0; --row)
        rows.AppendRow(backwards.RowValues(row));
}

template <typename Result>
Result SqliteScrollCursor::Meanwhile(const std::function<Result()>& work,
                                     const std::function<void()>& wait) {
    // A connection in serialized mode may be used from the second thread; otherwise the work
    // runs here and the window waits.
    if (sqlite3_threadsafe() != 1 || !wait)
        return work();
    std::future<Result> running = std::async(std::launch::async, work);
    while (running.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        wait();
    return running.get();
}

void SqliteScrollCursor::ReadWaiting(qsizetype first, qsizetype count, TRowStore& rows,
                                     const std::function<void()>& wait) {
    interrupted_ = false;
    try {
        Meanwhile<bool>(
            [&] {
                Read(first, count, rows);
                return true;
            },
            wait);
    } catch (const EDatabaseError&) {
        if (interrupted_)
            throw EOperationCancelled(QStringLiteral("Cancelled"));
        throw;
    }
}

qsizetype SqliteScrollCursor::Count(const std::function<void()>& wait) {
    if (!db_)
        throw EDatabaseError(QStringLiteral("Database is not open"));
    Park();
    interrupted_ = false;
    if (!keepIn_.table.isEmpty())
        return Keep(wait);
    struct Outcome {
        int rc;
        qsizetype rows;
        QString message;
    };
    const Outcome outcome = Meanwhile<Outcome>(
        [this] {
            Outcome result{sqlite3_step(counter_), 0, {}};
            if (result.rc == SQLITE_ROW)
                result.rows = qsizetype(sqlite3_column_int64(counter_, 0));
            else
                result.message = QString::fromUtf8(sqlite3_errmsg(db_));
            sqlite3_reset(counter_);
            return result;
        },
        wait);
    if (outcome.rc == SQLITE_ROW)
        return counted_ = outcome.rows;
    if (interrupted_ || outcome.rc == SQLITE_INTERRUPT)
        throw EOperationCancelled(QStringLiteral("Cancelled"));
    throw EDatabaseError(outcome.message);
}

qsizetype SqliteScrollCursor::Keep(const std::function<void()>& wait) {
    sqlite3* keeper = keepIn_.db;
    const QByteArray& table = keepIn_.table;
    const bool own = keeper == db_;
    const auto run = [keeper](const QByteArray& sql) {
        return sqlite3_exec(keeper, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    };
    // Columns without a type keep each value as the statement gave it.
    QByteArray columns;
    QByteArray places;
    for (int column = 0; column < fields_.size(); ++column) {
        columns += (column > 0 ? ", c" : "c") + QByteArray::number(column);
        places += column > 0 ? ", ?" : "?";
    }
    // On a connection of its own, the table comes and goes with one transaction there.
    if ((!own && !run("BEGIN")) || !run("CREATE TABLE " + table + "(" + columns + ")")) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(keeper));
        if (!own)
            run("ROLLBACK");
        throw EDatabaseError(message);
    }
    sqlite3_stmt* filler =
        own ? Prepare(db_, "INSERT INTO " + table + " SELECT * FROM " + body_)
            : Prepare(keeper, "INSERT INTO " + table + " VALUES(" + places + ")");
    struct Outcome {
        bool done;
        qsizetype rows;
        QString message;
    };
    const Outcome outcome = Meanwhile<Outcome>(
        [&] {
            Outcome result{false, 0, {}};
            if (!filler) {
                result.message = QString::fromUtf8(sqlite3_errmsg(keeper));
            } else if (own) {
                result.done = sqlite3_step(filler) == SQLITE_DONE;
                if (result.done)
                    result.rows = qsizetype(sqlite3_changes64(db_));
                else
                    result.message = QString::fromUtf8(sqlite3_errmsg(db_));
            } else {
                try {
                    result.rows = CopyRows(filler);
                    result.done = run("COMMIT");
                    if (!result.done)
                        result.message = QString::fromUtf8(sqlite3_errmsg(keeper));
                } catch (const EDatabaseError& error) {
                    result.message = error.Message();
                }
            }
            sqlite3_finalize(filler);
            return result;
        },
        wait);
    if (!outcome.done) {
        if (own)
            run("DROP TABLE IF EXISTS " + table);
        else
            run("ROLLBACK");
        if (interrupted_)
            throw EOperationCancelled(QStringLiteral("Cancelled"));
        throw EDatabaseError(outcome.message);
    }
    keptReader_ =
        Prepare(keeper, "SELECT * FROM " + table + " WHERE rowid > ? ORDER BY rowid LIMIT ?");
    if (!keptReader_)
        Fail(sqlite3_errmsg(keeper));
    kept_ = true;
    return counted_ = outcome.rows;
}

qsizetype SqliteScrollCursor::CopyRows(sqlite3_stmt* inserter) {
    // Only read on the result's connection: an interrupted read leaves the user's transaction
    // as it was.
    const TResetting resetting{statement_};
    const int columns = sqlite3_column_count(statement_);
    for (qsizetype rows = 0;; ++rows) {
        const int rc = sqlite3_step(statement_);
        if (rc == SQLITE_DONE)
            return rows;
        if (rc != SQLITE_ROW)
            throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(db_)));
        if (interrupted_)
            throw EDatabaseError(QStringLiteral("Cancelled"));
        for (int column = 0; column < columns; ++column)
            sqlite3_bind_value(inserter, column + 1, sqlite3_column_value(statement_, column));
        const int inserted = sqlite3_step(inserter);
        sqlite3_reset(inserter);
        if (inserted != SQLITE_DONE)
            throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(inserter))));
    }
}

void SqliteScrollCursor::Walk(const std::function<bool(TRowStore& batch)>& each,
                              const std::function<void()>& wait) {
    if (!db_)
        throw EDatabaseError(QStringLiteral("Database is not open"));
    Park();
    interrupted_ = false;
    // The kept rows are the state the cursor shows; otherwise the statement itself, stepped
    // to its end, reads one state of the database.
    sqlite3_stmt* walker =
        kept_ ? Prepare(keepIn_.db, "SELECT * FROM " + keepIn_.table + " ORDER BY rowid")
              : statement_;
    if (!walker)
        Fail(sqlite3_errmsg(keepIn_.db));
    struct TWalker {
        sqlite3_stmt* statement;
        bool own;
        ~TWalker() { own ? void(sqlite3_finalize(statement)) : void(sqlite3_reset(statement)); }
    } walking{walker, kept_};
    for (bool more = true; more;) {
        TRowStore batch;
        batch.Reset(int(fields_.size()));
        try {
            more = Meanwhile<bool>(
                [&] { return Step(walker, kWalkBatchRows, batch, kWalkBatchBytes); }, wait);
        } catch (const EDatabaseError&) {
            if (interrupted_)
                throw EOperationCancelled(QStringLiteral("Cancelled"));
            throw;
        }
        if (interrupted_)
            throw EOperationCancelled(QStringLiteral("Cancelled"));
        if (batch.RowCount() > 0 && !each(batch))
            return;
    }
}

void SqliteScrollCursor::Interrupt() {
    if (!db_)
        return;
    interrupted_ = true;
    sqlite3_interrupt(db_);
}

TUpdateResolver SqliteScrollCursor::UpdateTarget() const {
    return SqliteUpdateResolver(db_, origins_);
}
