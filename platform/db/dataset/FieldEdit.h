#pragma once

#include <QString>
#include <QVariant>

#include "db/dataset/FieldDef.h"
#include "db/dataset/RowStore.h"

// Text typed into a cell and back. The text an editor starts from is what the grid shows,
// except that dates and times are written the ISO 8601 way ("2024-01-31", "13:05:00",
// "2024-01-31 13:05:00.123456"), so that nothing is lost or misread on the way back.
QString CellEditText(const TRowStore& rows, qsizetype row, int column, TFieldType type);

// A QDate, QTime or QDateTime as SQL reads it, by its own fields and without a zone:
// "2024-01-31", "13:05:00", "2024-01-31 13:05:00.250"; milliseconds when there are any or
// when `finer` digits of the fraction follow them. Empty for other values.
QString SqlDateTimeText(const QVariant& value, const QString& finer = {});

// The value a field of `def` takes for typed text: an integer, a double, a bool, a QDate, a
// QTime or a QDateTime for those types, the text itself otherwise. Empty text is NULL for every
// type (a grid shows NULL as empty, so what the user sees is what is stored). Dates and times
// are read in ISO 8601 or in the system locale's short and long formats, numbers with a dot or
// the locale's separator. A time finer than milliseconds and an exact decimal are given as
// text in the form SQL reads, with every digit typed. Raises EConvertError naming the field
// for text of the wrong kind.
QVariant FieldValueFromText(const QString& text, const TFieldDef& def);
