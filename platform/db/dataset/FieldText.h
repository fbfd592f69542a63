#pragma once

#include <QString>
#include <QVariant>

#include "db/dataset/FieldType.h"
#include "db/dataset/RowStore.h"

// A stored cell as a field of `type` shows it: NULL empty, integers in decimal, floats by
// FloatToStr, dates and times (ISO text in the store) by the system locale's TDateTimeFormat,
// Booleans "True"/"False", text and memo in full.
// Text a date field cannot read stays as is.
QString CellText(const TRowStore& rows, qsizetype row, int column, TFieldType type);

// The cell as a value of the field's type: QDate, QTime, QDateTime and bool for those types,
// otherwise as stored (null QVariant for NULL).
QVariant CellValue(const TRowStore& rows, qsizetype row, int column, TFieldType type);
