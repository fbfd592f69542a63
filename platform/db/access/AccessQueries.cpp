#include "db/access/AccessQueries.h"

#include <QMap>
#include <QRegularExpression>
#include <algorithm>

#include "db/access/MdbCursor.h"
#include "db/dataset/RowStore.h"

namespace {

enum Attribute {
    kKind = 1,
    kParameter = 2,
    kOptions = 3,
    kSource = 5,
    kColumn = 6,
    kJoin = 7,
    kWhere = 8,
    kGroupBy = 9,
    kHaving = 10,
    kOrderBy = 11
};

// Flags of the options row.
constexpr int kAllColumns = 1;
constexpr int kDistinct = 2;
constexpr int kDistinctRow = 8;
constexpr int kTop = 16;
constexpr int kPercent = 32;

constexpr int kSelectQuery = 1;
constexpr int kUnionQuery = 9;
constexpr int kQueryObject = 5;  // MSysObjects.Type of a saved query

QList<TAccessQueryPart> Parts(const QList<TAccessQueryPart>& parts, int attribute) {
    QList<TAccessQueryPart> found;
    for (const TAccessQueryPart& part : parts)
        if (part.attribute == attribute)
            found.append(part);
    return found;
}

int Flag(const QList<TAccessQueryPart>& parts, int attribute) {
    const QList<TAccessQueryPart> found = Parts(parts, attribute);
    return found.isEmpty() ? 0 : found.first().flag;
}

QString Bracketed(const QString& name) {
    return QLatin1Char('[') + name + QLatin1Char(']');
}

QString Source(const TAccessQueryPart& source) {
    const QString table = source.expression.isEmpty()
                              ? Bracketed(source.name1)
                              : QLatin1Char('(') + source.expression.trimmed() + QLatin1Char(')');
    return source.name2.isEmpty() ? table
                                  : table + QStringLiteral(" AS ") + Bracketed(source.name2);
}

QString JoinWord(int flag, bool swapped) {
    if (flag == 2)
        return swapped ? QStringLiteral(" RIGHT JOIN ") : QStringLiteral(" LEFT JOIN ");
    if (flag == 3)
        return swapped ? QStringLiteral(" LEFT JOIN ") : QStringLiteral(" RIGHT JOIN ");
    return QStringLiteral(" INNER JOIN ");
}

// Joins are stored as pairs of sources; they nest in the order that links each new source to
// those already joined. Sources in no join are listed beside the joined ones.
QString FromClause(const QList<TAccessQueryPart>& parts) {
    QMap<QString, QString> sources;  // by the name joins use: the alias, else the table
    QStringList order;
    for (const TAccessQueryPart& source : Parts(parts, kSource)) {
        const QString key = source.name2.isEmpty() ? source.name1 : source.name2;
        sources.insert(key, Source(source));
        order.append(key);
    }
    QList<TAccessQueryPart> joins = Parts(parts, kJoin);
    QStringList groups;
    while (!joins.isEmpty()) {
        const TAccessQueryPart first = joins.takeFirst();
        QString text = sources.value(first.name1, Bracketed(first.name1)) +
                       JoinWord(first.flag, false) +
                       sources.value(first.name2, Bracketed(first.name2)) + QStringLiteral(" ON ") +
                       first.expression;
        QStringList joined{first.name1, first.name2};
        for (bool progress = true; progress;) {
            progress = false;
            for (qsizetype i = 0; i < joins.size(); ++i) {
                const TAccessQueryPart& join = joins[i];
                const bool hasLeft = joined.contains(join.name1);
                const bool hasRight = joined.contains(join.name2);
                if (hasLeft == hasRight && !hasLeft)
                    continue;
                const QString added = hasLeft ? join.name2 : join.name1;
                text = hasLeft && hasRight ? text + QStringLiteral(" AND ") + join.expression
                                           : QLatin1Char('(') + text + QLatin1Char(')') +
                                                 JoinWord(join.flag, !hasLeft) +
                                                 sources.value(added, Bracketed(added)) +
                                                 QStringLiteral(" ON ") + join.expression;
                joined.append(added);
                joins.removeAt(i);
                progress = true;
                break;
            }
        }
        groups.append(text);
        for (const QString& name : joined)
            order.removeAll(name);
    }
    for (const QString& key : order)
        groups.append(sources.value(key));
    return groups.join(QStringLiteral(", "));
}

QString Joined(const QList<TAccessQueryPart>& parts, bool descending) {
    QStringList items;
    for (const TAccessQueryPart& part : parts)
        items << part.expression + (descending && part.name1 == QLatin1String("D")
                                        ? QStringLiteral(" DESC")
                                        : QString());
    return items.join(QStringLiteral(", "));
}

QString SelectSql(const QList<TAccessQueryPart>& parts) {
    const int options = Flag(parts, kOptions);
    QString sql = QStringLiteral("SELECT ");
    if (options & kDistinct)
        sql += QStringLiteral("DISTINCT ");
    if (options & kDistinctRow)
        sql += QStringLiteral("DISTINCTROW ");
    if (options & kTop) {
        sql += QStringLiteral("TOP ") + Parts(parts, kOptions).first().name1 + QLatin1Char(' ');
        if (options & kPercent)
            sql += QStringLiteral("PERCENT ");
    }
    QStringList columns;
    if (options & kAllColumns)
        columns << QStringLiteral("*");
    for (const TAccessQueryPart& column : Parts(parts, kColumn))
        columns << (column.name1.isEmpty()
                        ? column.expression
                        : column.expression + QStringLiteral(" AS ") + column.name1);
    sql += (columns.isEmpty() ? QStringLiteral("*") : columns.join(QStringLiteral(", "))) +
           QStringLiteral(" FROM ") + FromClause(parts);
    const QList<TAccessQueryPart> where = Parts(parts, kWhere);
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.first().expression;
    if (!Parts(parts, kGroupBy).isEmpty())
        sql += QStringLiteral(" GROUP BY ") + Joined(Parts(parts, kGroupBy), false);
    const QList<TAccessQueryPart> having = Parts(parts, kHaving);
    if (!having.isEmpty())
        sql += QStringLiteral(" HAVING ") + having.first().expression;
    if (!Parts(parts, kOrderBy).isEmpty())
        sql += QStringLiteral(" ORDER BY ") + Joined(Parts(parts, kOrderBy), true);
    return sql;
}

QString UnionSql(const QList<TAccessQueryPart>& parts) {
    QStringList selects;
    for (const TAccessQueryPart& source : Parts(parts, kSource))
        selects << source.expression.trimmed();
    QString sql = selects.join(QStringLiteral(" UNION "));
    if (!Parts(parts, kOrderBy).isEmpty())
        sql += QStringLiteral(" ORDER BY ") + Joined(Parts(parts, kOrderBy), true);
    return sql;
}

QString KindName(int kind) {
    switch (kind) {
        case 2:
            return QStringLiteral("it is a make-table query");
        case 3:
            return QStringLiteral("it is an append query");
        case 4:
            return QStringLiteral("it is an update query");
        case 5:
            return QStringLiteral("it is a delete query");
        case 6:
            return QStringLiteral("it is a crosstab query");
        case 7:
            return QStringLiteral("it is a data-definition query");
        case 8:
            return QStringLiteral("it is a pass-through query");
        case kUnionQuery:
            return QStringLiteral("it is a union query");
        default:
            return QStringLiteral("it is a query of a kind mdbtools does not know");
    }
}

// "[Alias].Name", "Alias.Name" and "[Table].Name" become "Name": mdbtools reads bare names.
QString WithoutQualifier(QString text, const TAccessQueryPart& source) {
    for (const QString& name : {source.name1, source.name2}) {
        if (name.isEmpty())
            continue;
        text.replace(Bracketed(name) + QLatin1Char('.'), QString(), Qt::CaseInsensitive);
        text.replace(QRegularExpression(QStringLiteral("\\b") + QRegularExpression::escape(name) +
                                            QStringLiteral("\\."),
                                        QRegularExpression::CaseInsensitiveOption),
                     QString());
    }
    return text;
}

// Access writes conditions with nested parentheses and Yes/No; mdbtools takes neither. The
// parentheses are dropped only where they cannot matter: a condition of comparisons joined by
// AND alone, without texts that could hold a parenthesis.
QString MdbtoolsCondition(const QString& condition) {
    static const QRegularExpression orOrNot(QStringLiteral("\\b(OR|NOT)\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (condition.contains(QLatin1Char('"')) || condition.contains(QLatin1Char('\'')) ||
        orOrNot.match(condition).hasMatch())
        return condition;
    QString text = condition;
    text.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
    static const QRegularExpression yes(QStringLiteral("\\b(Yes|True|On)\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression no(QStringLiteral("\\b(No|False|Off)\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    text.replace(yes, QStringLiteral("1")).replace(no, QStringLiteral("0"));
    return text.simplified();
}

QString Text(const TRowStore& rows, qsizetype row, int column) {
    return column < 0 ? QString() : rows.Value(row, column).toString();
}

int Number(const TRowStore& rows, qsizetype row, int column) {
    return column < 0 ? 0 : rows.Value(row, column).toInt();
}

// A whole system table, with the position of each column asked for (-1 when absent).
TRowStore ReadTable(const QString& fileName, const QString& table, const QStringList& wanted,
                    QList<int>& columns) {
    const std::unique_ptr<TResultCursor> cursor = TMdbCursor::Table(fileName, table, 0);
    columns.clear();
    for (const QString& name : wanted) {
        int found = -1;
        for (int i = 0; i < cursor->Fields().size() && found < 0; ++i)
            if (cursor->Fields()[i].Name.compare(name, Qt::CaseInsensitive) == 0)
                found = i;
        columns.append(found);
    }
    TRowStore rows;
    rows.Reset(int(cursor->Fields().size()));
    while (cursor->Fetch(rows, 1024)) {
    }
    return rows;
}

}  // namespace

QString AccessQuerySql(const QList<TAccessQueryPart>& parts) {
    return Flag(parts, kKind) == kUnionQuery ? UnionSql(parts) : SelectSql(parts);
}

QString MdbtoolsQuerySql(const QList<TAccessQueryPart>& parts,
                         const std::function<bool(const QString&)>& isQuery, QString& why) {
    const int kind = Flag(parts, kKind);
    const QList<TAccessQueryPart> sources = Parts(parts, kSource);
    const int options = Flag(parts, kOptions);
    if (kind != kSelectQuery)
        why = KindName(kind);
    else if (!Parts(parts, kParameter).isEmpty())
        why = QStringLiteral("it asks for parameters");
    else if (sources.size() != 1 || !Parts(parts, kJoin).isEmpty())
        why = QStringLiteral("it reads more than one table");
    else if (!sources.first().expression.isEmpty() || isQuery(sources.first().name1))
        why = QStringLiteral("it reads another query");
    else if (!Parts(parts, kGroupBy).isEmpty() || !Parts(parts, kHaving).isEmpty())
        why = QStringLiteral("it groups rows");
    else if (!Parts(parts, kOrderBy).isEmpty())
        why = QStringLiteral("it sorts rows");
    else if (options & kDistinct)
        why = QStringLiteral("it leaves out repeated rows");
    if (!why.isEmpty())
        return {};

    static const QRegularExpression bareName(QStringLiteral("^(\\[[^\\]]+\\]|\\w+)$"));
    QStringList columns;
    if (options & kAllColumns)
        columns << QStringLiteral("*");
    for (const TAccessQueryPart& column : Parts(parts, kColumn)) {
        const QString name = WithoutQualifier(column.expression, sources.first()).trimmed();
        if (!column.name1.isEmpty() || !bareName.match(name).hasMatch()) {
            why = QStringLiteral("it computes or renames columns");
            return {};
        }
        columns << name;
    }
    QString sql = QStringLiteral("SELECT ");
    if (options & kTop)
        sql += QStringLiteral("TOP ") + Parts(parts, kOptions).first().name1 +
               (options & kPercent ? QStringLiteral(" PERCENT ") : QStringLiteral(" "));
    sql += (columns.isEmpty() ? QStringLiteral("*") : columns.join(QStringLiteral(", "))) +
           QStringLiteral(" FROM ") + Bracketed(sources.first().name1);
    const QList<TAccessQueryPart> where = Parts(parts, kWhere);
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") +
               MdbtoolsCondition(WithoutQualifier(where.first().expression, sources.first()));
    return sql;
}

QList<TAccessQuery> ReadAccessQueries(const QString& fileName) {
    QList<int> object;
    const TRowStore objects =
        ReadTable(fileName, QStringLiteral("MSysObjects"),
                  {QStringLiteral("Id"), QStringLiteral("Name"), QStringLiteral("Type")}, object);
    QList<int> query;
    const TRowStore rows =
        ReadTable(fileName, QStringLiteral("MSysQueries"),
                  {QStringLiteral("ObjectId"), QStringLiteral("Attribute"), QStringLiteral("Flag"),
                   QStringLiteral("Name1"), QStringLiteral("Name2"), QStringLiteral("Expression")},
                  query);
    QList<TAccessQuery> queries;
    for (qsizetype i = 0; i < objects.RowCount(); ++i) {
        const QString name = Text(objects, i, object[1]);
        if (Number(objects, i, object[2]) != kQueryObject || name.startsWith(QLatin1Char('~')))
            continue;
        TAccessQuery saved{name, {}};
        const int id = Number(objects, i, object[0]);
        for (qsizetype r = 0; r < rows.RowCount(); ++r)
            if (Number(rows, r, query[0]) == id)
                saved.parts.append({Number(rows, r, query[1]), Number(rows, r, query[2]),
                                    Text(rows, r, query[3]), Text(rows, r, query[4]),
                                    Text(rows, r, query[5])});
        // Access writes a query's rows in any order; the clauses follow their attribute.
        std::stable_sort(saved.parts.begin(), saved.parts.end(),
                         [](const TAccessQueryPart& a, const TAccessQueryPart& b) {
                             return a.attribute < b.attribute;
                         });
        queries.append(saved);
    }
    return queries;
}
