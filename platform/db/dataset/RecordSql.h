#pragma once

#include <QList>
#include <QString>

#include "db/dataset/UpdateTarget.h"

// Statements that write one row of a result back to its table. Values are never part of the
// text: each is a "?" parameter, bound in the order the comments give. `columns` are result
// column numbers; a table column shown twice is set once.

// UPDATE ... SET each of `columns` WHERE the key matches: parameters are the new values of
// `columns` (in the order given, duplicates left out), then the old key values.
QString UpdateRowSql(const TUpdateTarget& target, const QList<int>& columns);

// INSERT of `columns` (DEFAULT VALUES when there are none), returning the new row's key:
// parameters are the values of `columns`, duplicates left out.
QString InsertRowSql(const TUpdateTarget& target, const QList<int>& columns);

// DELETE of the row with the key: parameters are the key values.
QString DeleteRowSql(const TUpdateTarget& target);

// SELECT of every result column from the row with the key: parameters are the key values.
QString SelectRowSql(const TUpdateTarget& target);

// `columns` without a second column showing the same table column (the last one wins, as it
// was set last).
QList<int> DistinctTableColumns(const TUpdateTarget& target, const QList<int>& columns);
