#include "db/dataset/RecordSql.h"

#include <QStringList>

#include "db/dataset/SqlIdentifier.h"

namespace {

QString Column(const TUpdateTarget& target, int column) {
    return QuoteIdentifier(target.Columns.at(column));
}

QString KeyCondition(const TUpdateTarget& target) {
    QStringList parts;
    for (const int column : target.Key)
        parts << Column(target, column) + QStringLiteral(" = ?");
    return parts.join(QStringLiteral(" AND "));
}

QString ColumnList(const TUpdateTarget& target, const QList<int>& columns) {
    QStringList names;
    for (const int column : columns)
        names << Column(target, column);
    return names.join(QStringLiteral(", "));
}

}  // namespace

QList<int> DistinctTableColumns(const TUpdateTarget& target, const QList<int>& columns) {
    QList<int> distinct;
    for (int i = 0; i < columns.size(); ++i) {
        bool later = false;
        for (int j = i + 1; j < columns.size() && !later; ++j)
            later = target.Columns.at(columns[j]) == target.Columns.at(columns[i]);
        if (!later)
            distinct << columns[i];
    }
    return distinct;
}

QString UpdateRowSql(const TUpdateTarget& target, const QList<int>& columns) {
    QStringList assignments;
    for (const int column : DistinctTableColumns(target, columns))
        assignments << Column(target, column) + QStringLiteral(" = ?");
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3")
        .arg(target.Table, assignments.join(QStringLiteral(", ")), KeyCondition(target));
}

QString InsertRowSql(const TUpdateTarget& target, const QList<int>& columns) {
    const QList<int> distinct = DistinctTableColumns(target, columns);
    const QString returning = ColumnList(target, target.Key);
    if (distinct.isEmpty())
        return QStringLiteral("INSERT INTO %1 DEFAULT VALUES RETURNING %2")
            .arg(target.Table, returning);
    QStringList marks;
    for (qsizetype i = 0; i < distinct.size(); ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING %4")
        .arg(target.Table, ColumnList(target, distinct), marks.join(QStringLiteral(", ")),
             returning);
}

QString DeleteRowSql(const TUpdateTarget& target) {
    return QStringLiteral("DELETE FROM %1 WHERE %2").arg(target.Table, KeyCondition(target));
}

QString SelectRowSql(const TUpdateTarget& target) {
    QList<int> all;
    for (int column = 0; column < target.Columns.size(); ++column)
        all << column;
    return QStringLiteral("SELECT %1 FROM %2 WHERE %3")
        .arg(ColumnList(target, all), target.Table, KeyCondition(target));
}
