#include "db/sqlite/SqliteOrigins.h"

#include <sqlite3.h>

#include <QHash>
#include <QStringList>

#include "core/Exception.h"
#include "db/dataset/SqlIdentifier.h"

namespace {

QString Utf8(const char* text) {
    return text ? QString::fromUtf8(text) : QString();
}

int ListenToReads(void* context, int action, const char* table, const char*, const char* database,
                  const char* through) {
    if (action == SQLITE_READ && table)
        static_cast<TSqliteOrigins*>(context)->Reads.append(
            {Utf8(database), Utf8(table), Utf8(through)});
    return SQLITE_OK;
}

// Rows of a statement on `db` with text parameters, as text.
QList<QStringList> TextRows(sqlite3* db, const char* sql, const QStringList& params) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        throw EDatabaseError(Utf8(sqlite3_errmsg(db)));
    for (int i = 0; i < params.size(); ++i) {
        const QByteArray text = params[i].toUtf8();
        sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    QList<QStringList> rows;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        QStringList row;
        for (int column = 0; column < sqlite3_column_count(statement); ++column)
            row << Utf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
        rows << row;
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        throw EDatabaseError(Utf8(sqlite3_errmsg(db)));
    return rows;
}

bool IsView(sqlite3* db, const QString& database, const QString& name) {
    const QString sql =
        QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE type = 'view' AND name = ?")
            .arg(QuoteIdentifier(database.isEmpty() ? QStringLiteral("main") : database));
    return !TextRows(db, sql.toUtf8().constData(), {name}).isEmpty();
}

// How many times the plan reads a table, one index lookup of an OR split counted once: a
// self-join or a union reads the one table twice, and its rows are no rows of that table.
int TableScans(sqlite3* db, const QByteArray& sql) {
    const QList<QStringList> plan = TextRows(db, ("EXPLAIN QUERY PLAN " + sql).constData(), {});
    QHash<QString, QString> details;
    for (const QStringList& step : plan)
        details.insert(step[0], step[3]);
    int scans = 0;
    for (const QStringList& step : plan) {
        const QString& detail = step[3];
        const bool reads = detail.startsWith(QLatin1String("SCAN ")) ||
                           detail.startsWith(QLatin1String("SEARCH "));
        if (reads && !details.value(step[1]).startsWith(QLatin1String("INDEX ")))
            ++scans;
    }
    return scans;
}

int ResultColumn(const TSqliteOrigins& origins, const QString& origin) {
    for (int column = 0; column < origins.Columns.size(); ++column)
        if (origins.Columns[column].Origin.compare(origin, Qt::CaseInsensitive) == 0)
            return column;
    return -1;
}

TUpdateTarget Resolve(sqlite3* db, const TSqliteOrigins& origins) {
    if (origins.Columns.isEmpty())
        throw EDatabaseError(CannotChange(QStringLiteral("it has no columns")));
    for (const auto& column : origins.Columns)
        if (column.Table.isEmpty())
            throw EDatabaseError(CannotChange(
                QStringLiteral("column \"%1\" is not a column of a table").arg(column.Name)));
    const QString database = origins.Columns.first().Database;
    const QString table = origins.Columns.first().Table;
    for (const auto& column : origins.Columns)
        if (column.Table != table || column.Database != database)
            throw EDatabaseError(
                CannotChange(QStringLiteral("its columns come from more than one table")));
    for (const auto& read : origins.Reads) {
        // Some reads (a count, a rowid lookup) come without their database.
        const bool ours =
            read.Table == table && (read.Database.isEmpty() || read.Database == database);
        if (!read.Through.isEmpty() || ours)
            continue;
        if (IsView(db, read.Database, read.Table))
            throw EDatabaseError(
                CannotChange(QStringLiteral("it reads the view \"%1\"").arg(read.Table)));
        throw EDatabaseError(
            CannotChange(QStringLiteral("it reads more than one table (a join or a subquery)")));
    }
    for (const auto& read : origins.Reads)
        if (!read.Through.isEmpty())
            throw EDatabaseError(
                CannotChange(QStringLiteral("it reads through the view or WITH clause \"%1\"")
                                 .arg(read.Through)));
    if (TableScans(db, origins.Sql) != 1)
        throw EDatabaseError(CannotChange(
            QStringLiteral("it reads table \"%1\" more than once (a join or a union)").arg(table)));

    TUpdateTarget target;
    target.Table = QuoteIdentifier(database) + QLatin1Char('.') + QuoteIdentifier(table);
    for (const auto& column : origins.Columns)
        target.Columns << column.Origin;

    const QList<QStringList> info =
        TextRows(db, "SELECT name, pk FROM pragma_table_info(?, ?) ORDER BY pk", {table, database});
    QStringList key, names;
    for (const QStringList& row : info) {
        names << row[0];
        if (row[1].toInt() > 0)
            key << row[0];
    }
    if (key.isEmpty()) {
        // The rowid stands for the key only where no real column takes its name.
        const int rowid = ResultColumn(origins, QStringLiteral("rowid"));
        if (rowid < 0 || names.contains(QStringLiteral("rowid"), Qt::CaseInsensitive))
            throw EDatabaseError(CannotChange(
                QStringLiteral("table \"%1\" has no primary key; select its rowid as well "
                               "(SELECT rowid, * FROM ...)")
                    .arg(table)));
        target.Key << rowid;
        return target;
    }
    for (const QString& name : key) {
        const int column = ResultColumn(origins, name);
        if (column < 0)
            throw EDatabaseError(
                CannotChange(QStringLiteral("it does not hold the primary key of \"%1\" (%2)")
                                 .arg(table, key.join(QStringLiteral(", ")))));
        target.Key << column;
    }
    return target;
}

}  // namespace

int PrepareWatched(sqlite3* db, const char* sql, int length, sqlite3_stmt** statement,
                   const char** rest, TSqliteOrigins& origins) {
    sqlite3_set_authorizer(db, ListenToReads, &origins);
    const int rc = sqlite3_prepare_v2(db, sql, length, statement, rest);
    sqlite3_set_authorizer(db, nullptr, nullptr);
    if (rc != SQLITE_OK || !*statement)
        return rc;
    origins.Sql = sqlite3_sql(*statement);
    for (int column = 0; column < sqlite3_column_count(*statement); ++column)
        origins.Columns.append({Utf8(sqlite3_column_name(*statement, column)),
                                Utf8(sqlite3_column_database_name(*statement, column)),
                                Utf8(sqlite3_column_table_name(*statement, column)),
                                Utf8(sqlite3_column_origin_name(*statement, column))});
    return rc;
}

TUpdateResolver SqliteUpdateResolver(sqlite3* db, TSqliteOrigins origins) {
    return [db, origins = std::move(origins)] { return Resolve(db, origins); };
}
