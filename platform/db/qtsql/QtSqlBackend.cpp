#include "db/qtsql/QtSqlBackend.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>
#include <utility>

#include "core/Exception.h"
#include "db/DeclaredType.h"
#include "db/SqlBatch.h"
#include "db/qtsql/Libpq.h"
#include "db/qtsql/SqlErrorText.h"
#include "db/qtsql/OdbcCalls.h"
#include "db/qtsql/PgOrigins.h"
#include "db/qtsql/PgRows.h"
#include "db/qtsql/PgScrollCursor.h"
#include "db/qtsql/QtSqlFieldType.h"
#include "db/dataset/FieldEdit.h"
#include "db/dataset/RawText.h"
#include "db/dataset/RowStore.h"
#include "db/dataset/SqlIdentifier.h"

namespace {

// A value as PostgreSQL is to read it. Qt's driver writes a date-time as a moment in UTC,
// which a timestamp column takes in the session's time zone, and only to the millisecond;
// dates and times go as their own text instead. Text that is not UTF-8 (from a SQL_ASCII
// database) cannot pass the driver as it is, and a changed text could find another row.
QVariant PgParameter(const QVariant& value) {
    if (value.isNull())
        return value;
    switch (value.metaType().id()) {
        case QMetaType::QDate:
        case QMetaType::QTime:
            return SqlDateTimeText(value);
        case QMetaType::QDateTime: {
            const QDateTime stamp = value.toDateTime();
            QString text = SqlDateTimeText(value);
            if (stamp.timeSpec() != Qt::LocalTime) {
                const int offset = stamp.offsetFromUtc();
                text += QStringLiteral("%1%2:%3")
                            .arg(QLatin1Char(offset < 0 ? '-' : '+'))
                            .arg(qAbs(offset) / 3600, 2, 10, QLatin1Char('0'))
                            .arg(qAbs(offset) % 3600 / 60, 2, 10, QLatin1Char('0'));
            }
            return text;
        }
        default:
            if (value.metaType() == QMetaType::fromType<TRawText>())
                throw EDatabaseError(QStringLiteral(
                    "A text that is not UTF-8 cannot be sent to the database as it is"));
            return value;
    }
}

// A driver may quote what it was given to connect; the password never reaches the error box.
// Only whole words are hidden, so that a short password does not cut holes in other words.
QString WithoutSecret(QString message, const QString& secret) {
    if (secret.isEmpty())
        return message;
    const QRegularExpression word(QStringLiteral("(?<![\\p{L}\\p{N}])%1(?![\\p{L}\\p{N}])")
                                      .arg(QRegularExpression::escape(secret)));
    return message.replace(word, QStringLiteral("***"));
}

class QtSqlCursor : public TResultCursor {
  public:
    QtSqlCursor(QSqlQuery query, const QString& driverName, int maxRecords,
                TUpdateResolver updateTarget)
        : query_(std::move(query)), limit_(maxRecords), updateTarget_(std::move(updateTarget)) {
        const QSqlRecord record = query_.record();
        for (int column = 0; column < record.count(); ++column)
            fields_.append(FieldDefFromSqlField(record.field(column), driverName));
    }

    ~QtSqlCursor() override {
        if (!exhausted_)
            StopStatement();
    }

    const TFieldDefs& Fields() const override { return fields_; }

    bool Fetch(TRowStore& rows, qsizetype maxRows) override {
        for (qsizetype fetched = 0; fetched < maxRows; ++fetched) {
            const bool limited = limit_ > 0 && read_ >= limit_;
            if (limited || !query_.next()) {
                exhausted_ = true;
                if (!limited && query_.lastError().isValid())
                    throw EDatabaseError(SqlErrorText(query_.lastError()));
                if (limited)
                    StopStatement();
                query_.finish();
                return false;
            }
            AppendQueryRow(query_, rows);
            ++read_;
        }
        return true;
    }

    TUpdateResolver UpdateTarget() const override { return updateTarget_; }

  private:
    // Qt's PostgreSQL driver reads a result it is finishing to its end, row by row: for a
    // statement left early (a loading stopped, a row limit) that could take hours. Asked to
    // stop, the server ends the rows at once.
    void StopStatement() {
        if (query_.driver() && query_.driver()->dbmsType() == QSqlDriver::PostgreSQL)
            PgCancel(*query_.driver());
    }

    QSqlQuery query_;
    TFieldDefs fields_;
    int limit_;
    int read_ = 0;
    bool exhausted_ = false;
    TUpdateResolver updateTarget_;
};

// Whether a statement of the program's own changes data: anything but a read.
bool Writes(const QString& sql) {
    static const QStringList reads{QStringLiteral("SELECT"), QStringLiteral("EXPLAIN"),
                                   QStringLiteral("SHOW"),   QStringLiteral("VALUES"),
                                   QStringLiteral("TABLE"),  QStringLiteral("WITH")};
    const QString text = sql.trimmed();
    qsizetype end = 0;
    while (end < text.size() && text[end].isLetter())
        ++end;
    return !reads.contains(text.left(end).toUpper());
}

QString NewConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("quorva-%1").arg(++counter);
}

}  // namespace

QtSqlBackend::QtSqlBackend(TQtSqlTarget target) : target_(std::move(target)) {}

QtSqlBackend::~QtSqlBackend() {
    Close();
}

void QtSqlBackend::Open(const std::optional<TLoginAnswer>& login) {
    if (IsOpen())
        return;
    if (!QSqlDatabase::isDriverAvailable(target_.driver))
        throw EDatabaseError(
            QStringLiteral("The Qt SQL driver %1 is not installed").arg(target_.driver));
    connectionName_ = NewConnectionName();
    db_ = QSqlDatabase::addDatabase(target_.driver, connectionName_);
    db_.setDatabaseName(target_.databaseName);
    if (!target_.host.isEmpty())
        db_.setHostName(target_.host);
    if (target_.port > 0)
        db_.setPort(target_.port);
    const QString password = login ? login->password : target_.password;
    db_.setUserName(login ? login->userName : target_.userName);
    db_.setPassword(password);
    db_.setConnectOptions(target_.connectOptions);
    if (!db_.open()) {
        const QString message = WithoutSecret(SqlErrorText(db_.lastError()), password);
        Close();
        throw EDatabaseError(message);
    }
    if (IsPostgres())
        session_.Attach(db_.driver());
}

void QtSqlBackend::Close() {
    session_.Detach();
    keywords_.reset();
    if (connectionName_.isEmpty())
        return;
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
    connectionName_.clear();
}

// Qt's drivers close their connection when a call finds it broken, but not every call does;
// libpq can tell by itself.
QString QtSqlBackend::LostReason() const {
    if (connectionName_.isEmpty())
        return {};
    QString reason;
    if (IsPostgres() && PgConnectionBroken(*db_.driver()))
        reason = PgConnectionError(*db_.driver());
    else if (db_.isOpen())
        return {};
    reason = reason.simplified();
    return reason.isEmpty() ? QStringLiteral("The connection to the database was lost")
                            : QStringLiteral("The connection to the database was lost: ") + reason;
}

QSqlDatabase& QtSqlBackend::Database() {
    if (!IsOpen())
        throw EDatabaseError(QStringLiteral("Database is not open"));
    // A cursor's page asked for ahead is taken in before anything else is sent.
    if (IsPostgres())
        session_.Settle();
    return db_;
}

void QtSqlBackend::Step(const std::function<void()>& run, bool changes) {
    if (IsPostgres() && !changing_)
        session_.Step(run, changes);
    else
        run();
}

QStringList QtSqlBackend::TableNames() {
    QSqlDatabase& db = Database();
    QStringList names;
    Step([&] {
        names = db.tables(QSql::Tables) + db.tables(QSql::Views);
        if (db.lastError().isValid())
            throw EDatabaseError(SqlErrorText(db.lastError()));
    });
    // A lost connection lists no tables and reports nothing.
    if (const QString lost = LostReason(); !lost.isEmpty())
        throw EDatabaseError(lost);
    names.removeDuplicates();
    names.sort(Qt::CaseInsensitive);
    return names;
}

TFieldDefs QtSqlBackend::PostgresFieldDefs(const QString& table) {
    // The declared type text keeps lengths and scales that the driver's record leaves out.
    QSqlQuery query(Database());
    query.prepare(
        QStringLiteral("SELECT a.attname, format_type(a.atttypid, a.atttypmod) FROM pg_attribute a "
                       "WHERE a.attrelid = to_regclass(?) AND a.attnum > 0 AND NOT a.attisdropped "
                       "ORDER BY a.attnum"));
    query.addBindValue(SqlTableName(table));
    TFieldDefs defs;
    Step([&] {
        if (!query.exec())
            throw EDatabaseError(SqlErrorText(query.lastError()));
        while (query.next())
            defs.append(
                FieldDefFromDeclaration(query.value(0).toString(), query.value(1).toString()));
        query.finish();
    });
    return defs;
}

TFieldDefs QtSqlBackend::FieldDefs(const QString& table) {
    TFieldDefs defs;
    if (IsPostgres()) {
        defs = PostgresFieldDefs(table);
    } else {
        // The driver's own column list takes the name apart at dots and quotes; a result
        // without rows describes the table as SQL names it.
        defs = Run(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(SqlTableName(table)), 0)
                   ->Fields();
    }
    if (defs.isEmpty())
        throw EDatabaseError(QStringLiteral("Table '%1' not found").arg(table));
    return defs;
}

const QSet<QString>& QtSqlBackend::Keywords() {
    if (keywords_)
        return *keywords_;
    QSet<QString> words;
    if (IsPostgres()) {
        // Unreserved keywords read as names anywhere; the others may not stand bare.
        TRowStore rows;
        rows.Reset(1);
        ExecuteWith(QStringLiteral("SELECT word FROM pg_catalog.pg_get_keywords() "
                                   "WHERE catcode <> 'U'"),
                    {}, &rows);
        for (qsizetype row = 0; row < rows.RowCount(); ++row)
            words.insert(rows.RowValues(row).first().toString().toUpper());
    } else {
        const TOdbcSqlRules rules = OdbcSqlRules(*Database().driver());
        words = rules.keywords;
        quote_ = rules.quote;
        foldsToUpper_ = rules.foldsToUpper;
        foldsToLower_ = rules.foldsToLower;
    }
    keywords_ = words;
    return *keywords_;
}

QString QtSqlBackend::SqlName(const QString& name) {
    const QSet<QString>& keywords = Keywords();
    bool bare = IsPlainIdentifier(name) && !keywords.contains(name.toUpper());
    if (IsPostgres()) {
        // PostgreSQL folds bare names to lower case.
        bare = bare && name == name.toLower();
        return bare ? name : QuoteIdentifier(name);
    }
    bare = bare && !IsReservedSqlWord(name) && !(foldsToUpper_ && name != name.toUpper()) &&
           !(foldsToLower_ && name != name.toLower());
    if (bare)
        return name;
    if (quote_.size() != 1)
        throw EDatabaseError(
            QStringLiteral("The name %1 needs quotes, and this ODBC data source has none")
                .arg(name));
    return QuoteIdentifier(name, quote_[0], quote_[0]);
}

// Qt's driver lists tables of the public schema by name and others as "schema.table"; the
// catalogue tells which one a listed name is, dots in names and all.
QString QtSqlBackend::SqlTableName(const QString& table) {
    if (!IsPostgres())
        return SqlName(table);
    TRowStore rows;
    rows.Reset(2);
    ExecuteWith(
        QStringLiteral("SELECT n.nspname, c.relname FROM pg_catalog.pg_class c "
                       "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                       "WHERE c.relkind IN ('r', 'v', 'm', 'p', 'f') AND ((n.nspname = 'public' "
                       "AND c.relname = ?) OR (n.nspname <> 'public' AND n.nspname || '.' || "
                       "c.relname = ?)) ORDER BY n.nspname = 'public' DESC LIMIT 1"),
        {table, table}, &rows);
    if (rows.RowCount() == 0)
        return SqlName(table);
    const QVariantList found = rows.RowValues(0);
    const QString schema = found[0].toString();
    const QString name = SqlName(found[1].toString());
    return schema == QLatin1String("public") ? name : SqlName(schema) + QLatin1Char('.') + name;
}

int QtSqlBackend::ResultColumns(const QString& sql) {
    QSqlDatabase& db = Database();
    if (IsPostgres()) {
        int columns = 0;
        Step([&] { columns = PgResultColumns(*db.driver(), sql); });
        return columns;
    }
    if (SqlBatch::Statements(sql).size() > 1)
        return -1;
    return OdbcResultColumns(*db.driver(), sql);
}

bool QtSqlBackend::ReturnsRows(const QString& sql) {
    if (IsPostgres())
        return ResultColumns(sql) > 0;
    // A driver that cannot describe the text unrun has it confirmed as a change.
    try {
        return ResultColumns(sql) > 0;
    } catch (const EDatabaseError&) {
        return false;
    }
}

void QtSqlBackend::RequireRows(const QString& sql) {
    const int columns = ResultColumns(sql);
    if (columns < 0)
        throw EDatabaseError(QStringLiteral("Only one statement can be opened as a result set"));
    if (columns == 0)
        throw EDatabaseError(QStringLiteral("CommandText does not return a result set"));
}

bool QtSqlBackend::IsBatch(const QString& sql) {
    if (SqlBatch::Statements(sql).size() > 1)
        return true;
    if (!IsPostgres())
        return false;
    try {
        return PgResultColumns(*Database().driver(), sql) < 0;
    } catch (const EDatabaseError&) {
        return false;  // one statement the server refuses: running it says why
    }
}

int QtSqlBackend::Execute(const QString& sql) {
    QSqlDatabase& db = Database();
    if (IsPostgres())
        session_.EndCursors();
    if (!IsBatch(sql)) {
        if (IsPostgres())
            return int(PgExecute(*db.driver(), sql));
        QSqlQuery query(db);
        if (!query.exec(sql))
            throw EDatabaseError(SqlErrorText(query.lastError()));
        return query.numRowsAffected();
    }
    for (const QString& statement : SqlBatch::Statements(sql))
        if (SqlBatch::ControlsTransaction(statement))
            throw EDatabaseError(SqlBatch::FailedBatchText(SqlBatch::TransactionInBatchText()));
    StartTransaction();
    qsizetype affected;
    try {
        if (IsPostgres()) {
            affected = PgExecute(*db.driver(), sql);
        } else {
            // Each statement has a result of its own; the rows changed are summed over them.
            QSqlQuery query(db);
            if (!query.exec(sql))
                throw EDatabaseError(SqlErrorText(query.lastError()));
            affected = 0;
            do {
                if (!query.isSelect())
                    affected += qMax(0, query.numRowsAffected());
            } while (query.nextResult());
            if (query.lastError().isValid())
                throw EDatabaseError(SqlErrorText(query.lastError()));
        }
        Commit();
    } catch (const EDatabaseError& error) {
        try {
            Rollback();
        } catch (const EDatabaseError&) {
            // A transaction the failure has ended already needs no rollback.
        }
        throw EDatabaseError(SqlBatch::FailedBatchText(error.Message()));
    }
    return int(affected);
}

std::unique_ptr<TResultCursor> QtSqlBackend::Run(const QString& sql, int maxRecords) {
    RequireRows(sql);
    QSqlQuery query(Database());
    query.setForwardOnly(true);
    if (!query.exec(sql))
        throw EDatabaseError(SqlErrorText(query.lastError()));
    if (!query.isSelect())
        throw EDatabaseError(QStringLiteral("CommandText does not return a result set"));
    // The description of a PostgreSQL result must be read now: it goes with the last row.
    TUpdateResolver updateTarget =
        IsPostgres() ? PgUpdateResolver(*this, PgOriginsOf(query, sql))
                     : RefuseUpdates(QStringLiteral(
                           "Rows of ODBC results cannot be changed in the grid; run an "
                           "UPDATE, INSERT or DELETE statement instead"));
    return std::make_unique<QtSqlCursor>(std::move(query), target_.driver, maxRecords,
                                         std::move(updateTarget));
}

std::unique_ptr<TResultCursor> QtSqlBackend::Query(const QString& sql) {
    return Run(sql, 0);
}

QString QtSqlBackend::TableQuery(const QString& table, int maxRecords) {
    QString sql = QStringLiteral("SELECT * FROM %1").arg(SqlTableName(table));
    if (maxRecords > 0 && IsPostgres())
        sql += QStringLiteral(" LIMIT %1").arg(maxRecords);
    return sql;
}

std::unique_ptr<TResultCursor> QtSqlBackend::OpenTable(const QString& table, int maxRecords) {
    return Run(TableQuery(table, maxRecords), maxRecords);
}

// What cannot be a cursor (several statements, a change, text the server refuses) is left to
// Query, which refuses it with its reason.
std::unique_ptr<TScrollCursor> QtSqlBackend::ScrollQuery(const QString& sql) {
    if (!IsPostgres())
        return nullptr;
    return PgScrollCursor::Open(*this, session_, Database(), sql);
}

std::unique_ptr<TScrollCursor> QtSqlBackend::ScrollTable(const QString& table, int maxRecords) {
    return IsPostgres() ? ScrollQuery(TableQuery(table, maxRecords)) : nullptr;
}

bool QtSqlBackend::IsPostgres() const {
    return target_.driver == QLatin1String("QPSQL");
}

qsizetype QtSqlBackend::ExecuteWith(const QString& sql, const QVariantList& params,
                                    TRowStore* rows) {
    qsizetype affected = 0;
    Step([&] { affected = ExecuteDirect(sql, params, rows); }, Writes(sql));
    return affected;
}

qsizetype QtSqlBackend::ExecuteDirect(const QString& sql, const QVariantList& params,
                                      TRowStore* rows) {
    QSqlQuery query(Database());
    query.setForwardOnly(true);
    bool ran;
    if (params.isEmpty()) {
        ran = query.exec(sql);
    } else {
        ran = query.prepare(sql);
        for (const QVariant& param : params)
            query.addBindValue(IsPostgres() ? PgParameter(param) : param);
        ran = ran && query.exec();
    }
    if (!ran)
        throw EDatabaseError(SqlErrorText(query.lastError()));
    const qsizetype affected = query.numRowsAffected();
    if (rows && query.isSelect())
        while (query.next())
            AppendQueryRow(query, *rows);
    if (query.lastError().isValid())
        throw EDatabaseError(SqlErrorText(query.lastError()));
    return affected;
}

// On PostgreSQL inside the user's own transaction block a savepoint is used, so that neither
// the change's COMMIT nor its ROLLBACK ends what the user began.
void QtSqlBackend::StartTransaction() {
    if (IsPostgres()) {
        savepoint_ = PgInTransaction(*Database().driver());
        ExecuteDirect(
            savepoint_ ? QStringLiteral("SAVEPOINT quorva_change") : QStringLiteral("BEGIN"), {},
            nullptr);
        changing_ = true;
    } else if (!Database().transaction()) {
        throw EDatabaseError(SqlErrorText(db_.lastError()));
    }
}

// A change inside the program's transaction (one begun for its cursors, not the user's) is
// committed at once with it.
void QtSqlBackend::Commit() {
    if (IsPostgres()) {
        changing_ = false;
        ExecuteDirect(savepoint_ ? QStringLiteral("RELEASE SAVEPOINT quorva_change")
                                 : QStringLiteral("COMMIT"),
                      {}, nullptr);
        session_.CommitProgramTransaction();
    } else if (!Database().commit())
        throw EDatabaseError(SqlErrorText(db_.lastError()));
}

void QtSqlBackend::Rollback() {
    if (!IsPostgres()) {
        if (!Database().rollback())
            throw EDatabaseError(SqlErrorText(db_.lastError()));
        return;
    }
    changing_ = false;
    if (savepoint_) {
        ExecuteDirect(QStringLiteral("ROLLBACK TO SAVEPOINT quorva_change"), {}, nullptr);
        ExecuteDirect(QStringLiteral("RELEASE SAVEPOINT quorva_change"), {}, nullptr);
    } else {
        ExecuteDirect(QStringLiteral("ROLLBACK"), {}, nullptr);
    }
}
