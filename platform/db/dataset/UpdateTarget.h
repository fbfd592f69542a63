#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The one table that the rows of a result belong to, so that changes made to them can be
// written back: every result column shows a column of that table, and some of them together
// identify a row (its primary key, or SQLite's rowid).
struct TUpdateTarget {
    QString Table;        // as SQL names it: quoted, with its schema
    QStringList Columns;  // per result column, the table column it shows (unquoted)
    QList<int> Key;       // result columns that identify a row
};

// Finds the target of a result when a change is first posted; raises EDatabaseError saying
// why when the result cannot be changed (a join, an expression column, a view, no key).
using TUpdateResolver = std::function<TUpdateTarget()>;

// The resolver of a result that can never be changed: it raises `reason`.
TUpdateResolver RefuseUpdates(const QString& reason);

// The start of every refusal: "This result cannot be changed: " followed by the reason.
QString CannotChange(const QString& reason);
