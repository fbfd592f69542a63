#pragma once

#include <QList>
#include <QString>
#include <functional>

// The saved queries of an Access file. Access keeps no SQL text for them: each is a set of rows
// of the system table MSysQueries (its kind, sources, columns, joins, conditions and sort keys),
// from which the SQL Access shows is rebuilt here.
struct TAccessQueryPart {
    int attribute = 0;  // 1 kind, 2 parameter, 3 options, 5 source, 6 column, 7 join, 8 WHERE,
                        // 9 GROUP BY, 10 HAVING, 11 ORDER BY
    int flag = 0;
    QString name1;
    QString name2;
    QString expression;
};

struct TAccessQuery {
    QString name;
    QList<TAccessQueryPart> parts;  // in the stored order
};

// The SQL of a saved query as Access shows it.
QString AccessQuerySql(const QList<TAccessQueryPart>& parts);

// The statement mdbtools' SQL reader can run for a saved query, or empty with `why` saying what
// it cannot do (joins, sorting, grouping, parameters, ...). `isQuery` tells whether a source
// name is itself a saved query.
QString MdbtoolsQuerySql(const QList<TAccessQueryPart>& parts,
                         const std::function<bool(const QString&)>& isQuery, QString& why);

// The saved queries of a file, in the order of its catalog; hidden ones ("~sq_...", the row
// sources of forms and reports) left out.
QList<TAccessQuery> ReadAccessQueries(const QString& fileName);
