#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "db/dataset/UpdateTarget.h"

struct sqlite3;
struct sqlite3_stmt;

// What SQLite says about a SELECT while preparing it: where each result column comes from
// (sqlite3_column_table_name and friends, which Debian's library is built to offer) and which
// tables the statement reads, as its authorizer hears of them.
//
// The rows can be written back when every column is a column of one table, the statement
// reads no other table, view or WITH clause, its query plan reads that table once (no self-
// join, no union), and the result holds the table's primary key, or its rowid for a table
// without one ("SELECT rowid, * FROM t"; the rowid is never added to the user's statement).
struct TSqliteOrigins {
    struct Column {
        QString Name;
        QString Database;  // "main", "temp" or an attached name
        QString Table;     // empty for an expression
        QString Origin;    // the table's column; "rowid" for the rowid itself
    };
    struct Read {
        QString Database;
        QString Table;
        QString Through;  // the view or WITH clause the read comes from; empty at the top level
    };
    QByteArray Sql;  // the statement as prepared
    QList<Column> Columns;
    QList<Read> Reads;
};

// Prepares the first statement of `sql` (up to `length` bytes) while listening to what it
// reads; returns the sqlite3_prepare_v2 result code and sets `statement` and `rest` as it does.
int PrepareWatched(sqlite3* db, const char* sql, int length, sqlite3_stmt** statement,
                   const char** rest, TSqliteOrigins& origins);

// Where the rows of a result prepared with PrepareWatched go. The resolver runs on `db` when a
// change is posted: it looks up the table's primary key then.
TUpdateResolver SqliteUpdateResolver(sqlite3* db, TSqliteOrigins origins);
