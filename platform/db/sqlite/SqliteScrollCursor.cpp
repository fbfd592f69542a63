#include "db/sqlite/SqliteScrollCursor.h"

#include <sqlite3.h>

#include <QRegularExpression>
#include <QStringList>
#include <QString>
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

}  // namespace

std::unique_ptr<SqliteScrollCursor> SqliteScrollCursor::Open(sqlite3* db, sqlite3_stmt* statement,
                                                            TSqliteOrigins origins) {
    QByteArray body = Body(statement);
    sqlite3_stmt* counter = Prepare(db, "SELECT count(*) FROM " + body);
    if (!counter) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    return std::unique_ptr<SqliteScrollCursor>(
        new SqliteScrollCursor(db, statement, counter, std::move(body), std::move(origins)));
}

SqliteScrollCursor::SqliteScrollCursor(sqlite3* db, sqlite3_stmt* statement, sqlite3_stmt* counter,
                                       QByteArray body, TSqliteOrigins origins)
    : db_(db),
      statement_(statement),
      counter_(counter),
      body_(std::move(body)),
      origins_(std::move(origins)),
      fields_(SqliteResultFields(statement, undecided_)) {
    PrepareBackward();
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
    sqlite3_stmt* plan = Prepare(db_, "EXPLAIN QUERY PLAN SELECT * FROM " + table);
    if (!plan)
        return;
    QStringList steps;
    while (sqlite3_step(plan) == SQLITE_ROW)
        steps << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(plan, 3)));
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
    if (onGone)
        onGone();
}

void SqliteScrollCursor::Detach() {
    sqlite3_finalize(statement_);
    sqlite3_finalize(counter_);
    sqlite3_finalize(seeker_);
    sqlite3_finalize(backward_);
    statement_ = counter_ = seeker_ = reader_ = backward_ = nullptr;
    db_ = nullptr;
}

void SqliteScrollCursor::Park() {
    if (reader_)
        sqlite3_reset(reader_);
    reader_ = nullptr;
    next_ = -1;
}

void SqliteScrollCursor::Fail(const char* message) {
    const QString text = QString::fromUtf8(message);
    Park();
    throw EDatabaseError(text);
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
    next_ = row;
}

void SqliteScrollCursor::Read(qsizetype first, qsizetype count, TRowStore& rows) {
    if (!db_)
        throw EDatabaseError(QStringLiteral("Database is not open"));
    if ((!reader_ || next_ != first) && backward_ && counted_ > 0 && first > counted_ / 2)
        return ReadBackward(first, count, rows);
    if (!reader_ || next_ != first)
        Seek(first);
    for (qsizetype read = 0; read < count; ++read) {
        const int rc = sqlite3_step(reader_);
        if (rc == SQLITE_DONE) {
            Park();
            return;
        }
        if (rc != SQLITE_ROW)
            Fail(sqlite3_errmsg(db_));
        if (!undecided_.empty())
            DecideSqliteTypes(reader_, fields_, undecided_);
        AppendSqliteRow(reader_, rows);
        ++next_;
    }
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
    int rc;
    while ((rc = sqlite3_step(backward_)) == SQLITE_ROW) {
        if (!undecided_.empty())
            DecideSqliteTypes(backward_, fields_, undecided_);
        AppendSqliteRow(backward_, backwards);
    }
    sqlite3_reset(backward_);
    if (rc != SQLITE_DONE)
        throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(db_)));
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
    interrupted_ = false;
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

void SqliteScrollCursor::Interrupt() {
    if (!db_)
        return;
    interrupted_ = true;
    sqlite3_interrupt(db_);
}

TUpdateResolver SqliteScrollCursor::UpdateTarget() const {
    return SqliteUpdateResolver(db_, origins_);
}
