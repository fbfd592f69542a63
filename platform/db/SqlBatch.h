#pragma once

#include <QString>
#include <QStringList>

// How an SQL text splits into statements, read without a database: for the engines that cannot
// say it themselves before running the text, and for what a batch may hold.
namespace SqlBatch {

// The statements of `sql`, each without its closing semicolon; blanks and bare comments are
// left out. Quotes ('...', "...", `...`, PostgreSQL's E'...' and $tag$...$tag$) and comments
// (--, /* */) are read as the engines read them; where engines differ (a backslash before a
// quote, a comment inside a comment), the reading that finds more statements is taken.
QStringList Statements(const QString& sql);

// Whether a statement begins or ends a transaction or handles a savepoint (BEGIN, START,
// COMMIT, END, ROLLBACK, ABORT, SAVEPOINT, RELEASE, PREPARE TRANSACTION).
bool ControlsTransaction(const QString& statement);

// The error of a batch that failed part way and was rolled back whole.
QString FailedBatchText(const QString& error);

// Why a batch holding its own transaction control is refused before it runs.
QString TransactionInBatchText();

}  // namespace SqlBatch
