#pragma once

class QSqlQuery;
class TRowStore;

// Rows of a PostgreSQL result appended as the server wrote them, so that no value passes
// through a type that rounds it: numeric keeps its decimal text and dates and times their
// text with microseconds (Qt's driver makes doubles and milliseconds of them); booleans and
// integers become integers, float4 and float8 doubles, bytea its bytes, the rest text.

// Row `row` (from 0) of a libpq PGresult in text format, or in binary format where
// PgBinaryRowsAsText allows it.
void AppendPgRow(const void* result, int row, TRowStore& rows);

// Whether rows with the columns of `result` come out the same read from the server's binary
// form as from its text, which costs the server less to write: integers, booleans, float8,
// text, and dates while `connection` writes them in ISO order. Other types keep to text.
bool PgBinaryRowsAsText(const void* result, const void* connection);

// The row a Qt SQL query stands on: for QPSQL read from the PGresult behind it, for other
// drivers (or without libpq at hand) as the driver gives the values.
void AppendQueryRow(const QSqlQuery& query, TRowStore& rows);

// The PGresult behind a query of Qt's driver; null when there is none.
const void* PgResultOf(const QSqlQuery& query);
