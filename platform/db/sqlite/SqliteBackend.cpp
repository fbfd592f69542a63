#include "db/sqlite/SqliteBackend.h"

#include <sqlite3.h>

#include <QDateTime>
#include <QFileInfo>
#include <QThread>
#include <utility>
#include <vector>

#include "core/Exception.h"
#include "db/DeclaredType.h"
#include "db/SqlBatch.h"
#include "db/dataset/FieldEdit.h"
#include "db/dataset/RawText.h"
#include "db/dataset/RowStore.h"
#include "db/dataset/SqlIdentifier.h"
#include "db/sqlite/SqliteOrigins.h"
#include "db/sqlite/SqliteRows.h"
#include "db/sqlite/SqliteScrollCursor.h"

namespace {

QString Utf8(const unsigned char* text) {
    return QString::fromUtf8(reinterpret_cast<const char*>(text));
}

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

// Dates and times go in as the text SQLite's date functions read and its users write. Text
// that is not UTF-8 goes in as the same bytes, still TEXT: SQLite never finds a TEXT equal to
// a BLOB.
void Bind(sqlite3_stmt* statement, int index, const QVariant& value) {
    if (value.isNull()) {
        sqlite3_bind_null(statement, index);
        return;
    }
    if (value.metaType() == QMetaType::fromType<TRawText>()) {
        const QByteArray bytes = value.value<TRawText>().Bytes;
        sqlite3_bind_text64(statement, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                            SQLITE_TRANSIENT, SQLITE_UTF8);
        return;
    }
    QString text;
    switch (value.metaType().id()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Long:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            sqlite3_bind_int64(statement, index, value.toLongLong());
            return;
        case QMetaType::Double:
        case QMetaType::Float:
            sqlite3_bind_double(statement, index, value.toDouble());
            return;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            sqlite3_bind_blob64(statement, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                                SQLITE_TRANSIENT);
            return;
        }
        case QMetaType::QDate:
        case QMetaType::QTime:
        case QMetaType::QDateTime:
            text = SqlDateTimeText(value);
            break;
        default:
            text = value.toString();
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text64(statement, index, utf8.constData(), sqlite3_uint64(utf8.size()),
                        SQLITE_TRANSIENT, SQLITE_UTF8);
}

class SqliteCursor : public TResultCursor {
  public:
    SqliteCursor(sqlite3* db, sqlite3_stmt* statement, TSqliteOrigins origins)
        : db_(db),
          statement_(statement),
          origins_(std::move(origins)),
          fields_(SqliteResultFields(statement, undecided_)) {}
    ~SqliteCursor() override { sqlite3_finalize(statement_); }

    const TFieldDefs& Fields() const override { return fields_; }

    bool Fetch(TRowStore& rows, qsizetype maxRows) override {
        if (done_)
            return false;
        for (qsizetype fetched = 0; fetched < maxRows; ++fetched) {
            const int rc = sqlite3_step(statement_);
            if (rc == SQLITE_DONE) {
                done_ = true;
                return false;
            }
            if (rc != SQLITE_ROW)
                throw EDatabaseError(Utf8(sqlite3_errmsg(db_)));
            if (!undecided_.empty())
                DecideSqliteTypes(statement_, fields_, undecided_);
            AppendSqliteRow(statement_, rows);
        }
        return true;
    }

    TUpdateResolver UpdateTarget() const override { return SqliteUpdateResolver(db_, origins_); }

  private:
    sqlite3* db_;
    sqlite3_stmt* statement_;
    TSqliteOrigins origins_;
    std::vector<int> undecided_;
    TFieldDefs fields_;
    bool done_ = false;
};

// Runs a statement whose rows are wanted as text (catalogue queries).
QList<QStringList> TextRows(sqlite3* db, const QString& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        throw EDatabaseError(Utf8(sqlite3_errmsg(db)));
    QList<QStringList> rows;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        QStringList row;
        for (int column = 0; column < sqlite3_column_count(statement); ++column)
            row << Utf8(sqlite3_column_text(statement, column));
        rows << row;
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        throw EDatabaseError(Utf8(sqlite3_errmsg(db)));
    return rows;
}

bool IsBlank(const char* from, const char* to) {
    for (; from < to; ++from)
        if (!QChar::isSpace(uchar(*from)) && *from != ';')
            return false;
    return true;
}

// Whether statements follow `rest`; one that cannot even be prepared counts.
bool AnotherStatement(sqlite3* db, const char* rest, const char* end) {
    if (IsBlank(rest, end))
        return false;
    sqlite3_stmt* next = nullptr;
    const bool another =
        sqlite3_prepare_v2(db, rest, int(end - rest), &next, nullptr) != SQLITE_OK ||
        next != nullptr;
    sqlite3_finalize(next);
    return another;
}

// Raises the flag it is given when a statement being prepared begins or ends a transaction
// or handles a savepoint.
int NoticeTransactions(void* flag, int action, const char*, const char*, const char*, const char*) {
    if (action == SQLITE_TRANSACTION || action == SQLITE_SAVEPOINT)
        *static_cast<bool*>(flag) = true;
    return SQLITE_OK;
}

// The rows a finished statement changed itself, without those its triggers, foreign key actions
// or REPLACE changed. sqlite3_changes64 keeps the count of the last INSERT, UPDATE or DELETE, so
// it counts only when the statement changed anything at all (a CREATE TABLE changes nothing).
sqlite3_int64 DirectChanges(sqlite3* db, sqlite3_int64 totalBefore) {
    return sqlite3_total_changes64(db) == totalBefore ? 0 : sqlite3_changes64(db);
}

}  // namespace

SqliteBackend::SqliteBackend(QString fileName) : fileName_(std::move(fileName)) {}

SqliteBackend::~SqliteBackend() {
    Close();
}

void SqliteBackend::Open(const std::optional<TLoginAnswer>&) {
    if (db_)
        return;
    if (!QFileInfo(fileName_).isFile())
        throw EDatabaseError(QStringLiteral("Database file not found: %1").arg(fileName_));
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(fileName_.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db ? Utf8(sqlite3_errmsg(db)) : Utf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        throw EDatabaseError(QStringLiteral("%1: %2").arg(fileName_, message));
    }
    sqlite3_busy_timeout(db, 2000);
    // Large sorts (a sorted result kept for the grid) may use every core; SQLite's own tool
    // sorts on one.
    sqlite3_exec(db,
                 QByteArray("PRAGMA threads = " +
                            QByteArray::number(qBound(1, QThread::idealThreadCount(), 8)))
                     .constData(),
                 nullptr, nullptr, nullptr);
    // SQLite reads the file lazily; reading the schema now refuses a file that is no database.
    try {
        TextRows(db, QStringLiteral("PRAGMA schema_version"));
    } catch (const EDatabaseError& error) {
        sqlite3_close(db);
        throw EDatabaseError(QStringLiteral("%1: %2").arg(fileName_, error.Message()));
    }
    db_ = db;
}

void SqliteBackend::Close() {
    for (SqliteScrollCursor* cursor : std::exchange(cursors_, {}))
        cursor->Detach();
    sqlite3_close_v2(db_);
    sqlite3_close_v2(keeper_);
    db_ = keeper_ = nullptr;
    keepingAttached_ = false;
}

sqlite3* SqliteBackend::Handle() {
    if (!db_)
        throw EDatabaseError(QStringLiteral("Database is not open"));
    return db_;
}

void SqliteBackend::Fail() const {
    throw EDatabaseError(Utf8(sqlite3_errmsg(db_)));
}

QStringList SqliteBackend::TableNames() {
    QStringList names;
    const auto rows = TextRows(
        Handle(),
        QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table', 'view') "
                       "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name COLLATE NOCASE"));
    for (const QStringList& row : rows)
        names << row.first();
    return names;
}

TFieldDefs SqliteBackend::FieldDefs(const QString& table) {
    const auto rows =
        TextRows(Handle(), QStringLiteral("PRAGMA table_info(%1)").arg(QuoteIdentifier(table)));
    if (rows.isEmpty())
        throw EDatabaseError(QStringLiteral("no such table: %1").arg(table));
    TFieldDefs defs;
    for (const QStringList& row : rows)
        defs.append(FieldDefFromDeclaration(row[1], row[2]));
    return defs;
}

QString SqliteBackend::SqlName(const QString& name) {
    const QByteArray utf8 = name.toUtf8();
    if (IsPlainIdentifier(name) && !sqlite3_keyword_check(utf8.constData(), int(utf8.size())))
        return name;
    return QuoteIdentifier(name);
}

bool SqliteBackend::ReturnsRows(const QString& sql) {
    sqlite3* db = Handle();
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    const char* rest = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &statement, &rest) != SQLITE_OK)
        Fail();
    if (!statement)
        return false;
    const bool rows = sqlite3_column_count(statement) > 0;
    sqlite3_finalize(statement);
    return rows && !AnotherStatement(db, rest, text.constData() + text.size());
}

int SqliteBackend::Execute(const QString& sql) {
    sqlite3* db = Handle();
    const QByteArray text = sql.toUtf8();
    const char* end = text.constData() + text.size();
    sqlite3_stmt* first = nullptr;
    const char* rest = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &first, &rest) != SQLITE_OK)
        Fail();
    sqlite3_finalize(first);
    if (!first || !AnotherStatement(db, rest, end))
        return int(RunStatements(text));
    // A savepoint nests inside a transaction of the user's own and is one of its own otherwise.
    RunStatements("SAVEPOINT quorva_batch");
    qsizetype affected;
    try {
        affected = RunStatements(text, true);
        RunStatements("RELEASE quorva_batch");
    } catch (const EDatabaseError& error) {
        // An error that ended the whole transaction has taken the savepoint with it.
        if (!sqlite3_get_autocommit(db))
            RunStatements("ROLLBACK TO quorva_batch; RELEASE quorva_batch");
        throw EDatabaseError(SqlBatch::FailedBatchText(error.Message()));
    }
    return int(affected);
}

qsizetype SqliteBackend::RunStatements(const QByteArray& text, bool refuseTransactions) {
    sqlite3* db = Handle();
    const char* tail = text.constData();
    const char* end = tail + text.size();
    sqlite3_int64 affected = 0;
    while (tail < end) {
        sqlite3_stmt* statement = nullptr;
        const char* rest = nullptr;
        bool controls = false;
        if (refuseTransactions)
            sqlite3_set_authorizer(db, NoticeTransactions, &controls);
        const int prepared = sqlite3_prepare_v2(db, tail, int(end - tail), &statement, &rest);
        if (refuseTransactions)
            sqlite3_set_authorizer(db, nullptr, nullptr);
        if (prepared != SQLITE_OK)
            Fail();
        if (!statement)
            break;  // only blanks or comments were left
        if (controls) {
            sqlite3_finalize(statement);
            throw EDatabaseError(SqlBatch::TransactionInBatchText());
        }
        const sqlite3_int64 before = sqlite3_total_changes64(db);
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        }
        sqlite3_finalize(statement);
        if (rc != SQLITE_DONE)
            Fail();
        affected += DirectChanges(db, before);
        tail = rest;
    }
    return qsizetype(affected);
}

sqlite3_stmt* SqliteBackend::PrepareQuery(const QString& sql, TSqliteOrigins& origins) {
    sqlite3* db = Handle();
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    const char* rest = nullptr;
    if (PrepareWatched(db, text.constData(), int(text.size()), &statement, &rest, origins) !=
        SQLITE_OK)
        Fail();
    if (!statement)
        throw EDatabaseError(QStringLiteral("The command is empty"));
    if (sqlite3_column_count(statement) == 0) {
        sqlite3_finalize(statement);
        throw EDatabaseError(QStringLiteral("CommandText does not return a result set"));
    }
    // A second statement would otherwise be dropped without a word.
    if (AnotherStatement(db, rest, text.constData() + text.size())) {
        sqlite3_finalize(statement);
        throw EDatabaseError(QStringLiteral("Only one statement can be opened as a result set"));
    }
    return statement;
}

std::unique_ptr<TResultCursor> SqliteBackend::Query(const QString& sql) {
    TSqliteOrigins origins;
    sqlite3_stmt* statement = PrepareQuery(sql, origins);
    return std::make_unique<SqliteCursor>(db_, statement, std::move(origins));
}

std::unique_ptr<TScrollCursor> SqliteBackend::ScrollQuery(const QString& sql) {
    TSqliteOrigins origins;
    sqlite3_stmt* statement = PrepareQuery(sql, origins);
    std::unique_ptr<SqliteScrollCursor> cursor =
        SqliteScrollCursor::Open(db_, statement, std::move(origins), KeepingPlace());
    if (!cursor)
        return nullptr;
    cursor->onGone = [this, raw = cursor.get()] { std::erase(cursors_, raw); };
    cursors_.push_back(cursor.get());
    return cursor;
}

std::unique_ptr<TScrollCursor> SqliteBackend::ScrollTable(const QString& table, int maxRecords) {
    return ScrollQuery(TableQuery(table, maxRecords));
}

TSqliteKeeping SqliteBackend::KeepingPlace() {
    const QByteArray table = "result" + QByteArray::number(++keptResults_);
    // Inside the user's transaction a write of this connection would be part of it (a failed
    // or interrupted one could roll the user's changes back), and nothing can be attached.
    if (!sqlite3_get_autocommit(db_)) {
        // An empty name opens a private database in a temporary file, deleted at closing;
        // nobody waits for it, and losing it to a crash loses nothing.
        if (!keeper_ &&
            (sqlite3_open_v2("", &keeper_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
                 SQLITE_OK ||
             sqlite3_exec(keeper_, "PRAGMA journal_mode = MEMORY; PRAGMA synchronous = OFF",
                          nullptr, nullptr, nullptr) != SQLITE_OK)) {
            sqlite3_close_v2(std::exchange(keeper_, nullptr));
            return {};
        }
        return {keeper_, table};
    }
    if (!keepingAttached_) {
        if (sqlite3_exec(db_, "ATTACH DATABASE '' AS quorva_kept", nullptr, nullptr, nullptr) !=
            SQLITE_OK)
            return {};
        keepingAttached_ = true;
    }
    return {db_, "quorva_kept." + table};
}

QString SqliteBackend::TableQuery(const QString& table, int maxRecords) {
    QString sql = QStringLiteral("SELECT * FROM %1").arg(SqlName(table));
    if (maxRecords > 0)
        sql += QStringLiteral(" LIMIT %1").arg(maxRecords);
    return sql;
}

std::unique_ptr<TResultCursor> SqliteBackend::OpenTable(const QString& table, int maxRecords) {
    return Query(TableQuery(table, maxRecords));
}

qsizetype SqliteBackend::ExecuteWith(const QString& sql, const QVariantList& params,
                                     TRowStore* rows) {
    sqlite3* db = Handle();
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &statement, nullptr) !=
            SQLITE_OK ||
        !statement)
        Fail();
    for (int i = 0; i < params.size(); ++i)
        Bind(statement, i + 1, params[i]);
    const sqlite3_int64 before = sqlite3_total_changes64(db);
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        if (rows)
            AppendSqliteRow(statement, *rows);
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        Fail();
    return qsizetype(DirectChanges(db, before));
}

// A savepoint nests inside a transaction the user began with BEGIN, where BEGIN would fail.
void SqliteBackend::StartTransaction() {
    RunStatements("SAVEPOINT quorva_change");
}

void SqliteBackend::Commit() {
    RunStatements("RELEASE quorva_change");
}

void SqliteBackend::Rollback() {
    RunStatements("ROLLBACK TO quorva_change; RELEASE quorva_change");
}
