#pragma once

#include <QString>

// A name as an SQL identifier in double quotes, inner quotes doubled: safe for any table name.
QString QuoteIdentifier(const QString& name);

// A name between `open` and `close` ("[" and "]", say), inner `close` characters doubled.
QString QuoteIdentifier(const QString& name, QChar open, QChar close);

// Whether a name is made of letters, digits and underscores only and does not start with a
// digit: the names an engine may read bare, keywords and letter case aside.
bool IsPlainIdentifier(const QString& name);

// Whether a word is reserved in standard SQL as ODBC lists it (any letter case): such a name
// is quoted where the engine gives no list of its own.
bool IsReservedSqlWord(const QString& word);
