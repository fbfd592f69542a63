#pragma once

#include <QString>

// The rules by which the main window reads and writes SQL text.
namespace SqlText {

// Upper case for the ASCII letters a to z only; every other character stays as it is.
QString AsciiUpper(const QString& text);

// Whether the text changes data: it contains INSERT, DELETE, UPDATE, CREATE or DROP anywhere,
// as plain substrings of its ASCII upper case (no regard to words, quotes or comments).
bool IsChangeStatement(const QString& text);

// Whether the text drops a table ("DROP TABLE" with one blank, any letter case).
bool DropsTable(const QString& text);

// "Time: 999ms", "Time: 1s", "Time: 90s": whole seconds from one second on.
QString ElapsedText(qint64 milliseconds);

// The width over-wide result columns are cut to: the grid's width shared by its columns,
// at least 100 pixels.
int ColumnWidthLimit(int gridWidth, int columnCount);

// A table name in brackets for Access files named in an ADO connection string (".mdb", lower
// case, anywhere in it); unchanged otherwise, for the engine to quote as it needs.
QString QuoteTableName(const QString& name, bool useADO, const QString& connectionString);

// The editor's text from its document's raw text: paragraph and line separators become "\n",
// every other character stays as typed (a non-breaking space is no blank in an SQL literal).
QString EditorText(const QString& rawDocumentText);

// SQL file bytes as text: UTF-8 (a BOM skipped), else Windows-1252. Raises EConvertError for
// bytes that are no text at all (NUL bytes).
QString DecodeSqlFile(const QByteArray& bytes, const QString& fileName);

}  // namespace SqlText
