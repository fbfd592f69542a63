#pragma once

#include <QString>

#include "SheetModel.h"

// Writes the sheet as an xlsx workbook under `path` (whatever its extension), through a
// checked save, so a failed save leaves an earlier file as it was and says why. Texts that read
// as numbers are stored as numbers when a double keeps all their digits, an apostrophe in front
// keeps a text as text, and a text starting with "=" is a formula. Returns the reason when it
// fails, else nothing.
QString WriteWorkbook(const TSheetModel& sheet, const QString& path);
