#pragma once

#include <QList>
#include <QString>

#include "db/dataset/UpdateTarget.h"

class DbBackend;
class QSqlQuery;

// Where each column of a PostgreSQL result comes from, as the server describes the result: the
// table's oid (0 for an expression) and the column's number in it (libpq's PQftable and
// PQftablecol on the result behind a QPSQL query, read before the first row is fetched).
//
// The rows can be written back when every column comes from one ordinary table (a view's
// columns carry the view's oid), the plan (EXPLAIN) reads that table once and nothing else,
// and the result holds the table's primary key; names and key come from the catalogue.
struct TPgOrigins {
    struct Column {
        QString Name;
        quint32 Table = 0;
        int Number = 0;
    };
    QString Sql;
    QList<Column> Columns;
    bool Known = false;  // false when the result's description was not at hand
};

// Reads the origins from a QPSQL query that has just run `sql`.
TPgOrigins PgOriginsOf(const QSqlQuery& query, const QString& sql);

// Where the rows of such a result go; the resolver asks the catalogue and the planner on
// `backend` when a change is posted.
TUpdateResolver PgUpdateResolver(DbBackend& backend, TPgOrigins origins);
