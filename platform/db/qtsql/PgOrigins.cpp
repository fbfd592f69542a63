#include "db/qtsql/PgOrigins.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>

#include "core/Exception.h"
#include "db/DbBackend.h"
#include "db/qtsql/Libpq.h"
#include "db/dataset/RowStore.h"
#include "db/dataset/SqlIdentifier.h"

namespace {

QList<QVariantList> Rows(DbBackend& backend, const QString& sql, const QVariantList& params,
                         int columns) {
    TRowStore store;
    store.Reset(columns);
    backend.ExecuteWith(sql, params, &store);
    QList<QVariantList> rows;
    for (qsizetype row = 0; row < store.RowCount(); ++row)
        rows << store.RowValues(row);
    return rows;
}

// Every relation the plan reads, once per time it is read.
void CollectRelations(const QJsonValue& node, QStringList& relations) {
    if (node.isArray()) {
        for (const QJsonValue& item : node.toArray())
            CollectRelations(item, relations);
        return;
    }
    const QJsonObject object = node.toObject();
    if (object.contains(QLatin1String("Relation Name")))
        relations << object.value(QLatin1String("Relation Name")).toString();
    for (const QJsonValue& value : object)
        if (value.isArray() || value.isObject())
            CollectRelations(value, relations);
}

TUpdateTarget Resolve(DbBackend& backend, const TPgOrigins& origins) {
    if (!origins.Known)
        throw EDatabaseError(
            CannotChange(QStringLiteral("the database did not say where its columns come from")));
    if (origins.Columns.isEmpty())
        throw EDatabaseError(CannotChange(QStringLiteral("it has no columns")));
    for (const auto& column : origins.Columns)
        if (column.Table == 0 || column.Number <= 0)
            throw EDatabaseError(CannotChange(
                QStringLiteral("column \"%1\" is not a column of a table").arg(column.Name)));
    const qlonglong oid = origins.Columns.first().Table;
    for (const auto& column : origins.Columns)
        if (column.Table != origins.Columns.first().Table)
            throw EDatabaseError(
                CannotChange(QStringLiteral("its columns come from more than one table")));

    const QList<QVariantList> relation = Rows(
        backend,
        QStringLiteral("SELECT c.relkind, n.nspname, c.relname FROM pg_catalog.pg_class c "
                       "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace WHERE c.oid = ?"),
        {oid}, 3);
    if (relation.isEmpty())
        throw EDatabaseError(CannotChange(QStringLiteral("its table no longer exists")));
    const QString kind = relation[0][0].toString();
    const QString schema = relation[0][1].toString();
    const QString table = relation[0][2].toString();
    if (kind == QLatin1String("v") || kind == QLatin1String("m"))
        throw EDatabaseError(CannotChange(QStringLiteral("it reads the view \"%1\"").arg(table)));
    if (kind != QLatin1String("r") && kind != QLatin1String("p"))
        throw EDatabaseError(CannotChange(QStringLiteral("\"%1\" is not a table").arg(table)));

    QStringList relations;
    const QList<QVariantList> plan =
        Rows(backend, QStringLiteral("EXPLAIN (FORMAT JSON) ") + origins.Sql, {}, 1);
    if (!plan.isEmpty())
        CollectRelations(QJsonDocument::fromJson(plan[0][0].toString().toUtf8()).array(),
                         relations);
    if (relations != QStringList{table})
        throw EDatabaseError(CannotChange(
            QStringLiteral("it reads more than one table, or one table more than once")));

    QHash<int, QString> names;
    for (const QVariantList& row :
         Rows(backend,
              QStringLiteral("SELECT attnum, attname FROM pg_catalog.pg_attribute "
                             "WHERE attrelid = ? AND attnum > 0 AND NOT attisdropped"),
              {oid}, 2))
        names.insert(row[0].toInt(), row[1].toString());
    TUpdateTarget target;
    target.Table = QuoteIdentifier(schema) + QLatin1Char('.') + QuoteIdentifier(table);
    for (const auto& column : origins.Columns)
        target.Columns << names.value(column.Number);

    QStringList key;
    for (const QVariantList& row :
         Rows(backend,
              QStringLiteral("SELECT a.attname FROM pg_catalog.pg_index i "
                             "JOIN pg_catalog.pg_attribute a ON a.attrelid = i.indrelid "
                             "AND a.attnum = ANY(i.indkey) "
                             "WHERE i.indrelid = ? AND i.indisprimary ORDER BY a.attnum"),
              {oid}, 1))
        key << row[0].toString();
    if (key.isEmpty())
        throw EDatabaseError(
            CannotChange(QStringLiteral("table \"%1\" has no primary key").arg(table)));
    for (const QString& name : key) {
        const qsizetype column = target.Columns.indexOf(name);
        if (column < 0)
            throw EDatabaseError(
                CannotChange(QStringLiteral("it does not hold the primary key of \"%1\" (%2)")
                                 .arg(table, key.join(QStringLiteral(", ")))));
        target.Key << int(column);
    }
    return target;
}

}  // namespace

TPgOrigins PgOriginsOf(const QSqlQuery& query, const QString& sql) {
    TPgOrigins origins;
    origins.Sql = sql;
    const QVariant handle = query.result()->handle();
    const TLibpq& libpq = Libpq();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "pg_result*") != 0 || !libpq.ftable ||
        !libpq.ftablecol)
        return origins;
    const void* pgResult = *static_cast<const void* const*>(handle.constData());
    if (!pgResult)
        return origins;
    const QSqlRecord record = query.record();
    for (int column = 0; column < record.count(); ++column)
        origins.Columns.append({record.fieldName(column), libpq.ftable(pgResult, column),
                                libpq.ftablecol(pgResult, column)});
    origins.Known = true;
    return origins;
}

TUpdateResolver PgUpdateResolver(DbBackend& backend, TPgOrigins origins) {
    return [&backend, origins = std::move(origins)] { return Resolve(backend, origins); };
}
