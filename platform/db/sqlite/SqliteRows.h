#pragma once

#include <vector>

#include "db/dataset/FieldDef.h"

struct sqlite3_stmt;
class TRowStore;

// Appends the statement's current row.
void AppendSqliteRow(sqlite3_stmt* statement, TRowStore& rows);

// The result columns of a prepared statement; `undecided` gets the columns without a declared
// type, which DecideSqliteTypes settles from the first row that has a value in them.
TFieldDefs SqliteResultFields(sqlite3_stmt* statement, std::vector<int>& undecided);
void DecideSqliteTypes(sqlite3_stmt* statement, TFieldDefs& fields, std::vector<int>& undecided);
