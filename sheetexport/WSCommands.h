#pragma once

#include <QFont>
#include <QString>
#include <cstdint>

// The macro command texts the worksheet sends. Text inside a quoted argument has its double
// quotes doubled, so no text can end the argument or add a command of its own.

QString MacroQuoted(const QString& text);

QString SelectCommand(int row, int col);
// A text starting with "=" (or with the apostrophe that marks text) gets an apostrophe in front:
// the cell holds the text as it is, never a formula. So does a number whose digits a double
// cannot all keep (a 17-digit id): it stays text rather than losing digits.
QString FormulaCommand(const QString& text);
QString ColumnWidthCommand(int width);
QString AlignmentCommand(uint8_t alignment);
// The spreadsheet's palette index nearest to a blue-green-red colour; 0 (automatic) for system
// colours.
int ExcelColorIndex(int32_t color);
QString FontCommand(const QFont& font, int32_t color);
QString RenameSheetCommand(const QString& oldName, const QString& newName);
QString SaveAsCommand(const QString& path, int saveType);

// A cell as the spreadsheet shows its place: row 7 of column 28 is "AB7".
QString CellName(int row, int col);

// The workbook a name saves to: its last extension replaced by ".XLS", as a full path against
// the current folder ("my.report.txt" gives ".../my.report.XLS").
QString WorkbookPath(const QString& name);
// The backup of a workbook: the same name with ".BAK".
QString BackupPath(const QString& workbookPath);
