#pragma once

#include <QString>

// A text as the workbook format stores it: the format reads "_xHHHH_" as the character HHHH,
// so such a run in the text gets its "_" written as "_x005F_". The format holds at most 32,767
// characters in a cell, counted in the stored form; a longer text is cut, never in the middle
// of a character or of an escape.
QString XlsxCellText(const QString& text);
