#pragma once

#include <QString>
#include <QVariant>

#include "db/dataset/FieldType.h"
#include "db/dataset/RowStore.h"

class TDateTimeFormat;

// A stored cell as a field of `type` shows it: NULL empty, integers in decimal, floats by
// FloatToStr, exact decimals (ftBCD text) with every digit but trailing zeros and the locale's
// separator, dates and times (ISO text in the store) by the system locale's TDateTimeFormat
// with every digit of their fraction of a second, Booleans "True"/"False", text and memo in
// full. Text a date or decimal field cannot read stays as is.
QString CellText(const TRowStore& rows, qsizetype row, int column, TFieldType type);
// The same with the locale's formats and decimal separator taken once by the caller: nothing
// here asks the system locale, so it may run away from the user-interface thread.
QString CellText(const TRowStore& rows, qsizetype row, int column, TFieldType type,
                 const TDateTimeFormat& dates, const QString& decimalPoint);

// The cell as a value of the field's type: QDate, QTime, QDateTime and bool for those types,
// otherwise as stored (null QVariant for NULL).
QVariant CellValue(const TRowStore& rows, qsizetype row, int column, TFieldType type);

// Cuts the fraction of a second of a time in ISO text to the milliseconds Qt's types hold and
// returns the digits cut off, trailing zeros dropped: "10:20:30.123456" becomes "10:20:30.123"
// and gives "456". Other text stays as it is and gives nothing.
QString CutFinerDigits(QString& text);
