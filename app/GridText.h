#pragma once

#include <QString>

class TDataSet;

// The grid save's text: one line per record, no header, no quoting.
namespace GridText {

// The fields of the current record as text (a NULL empty), separated by TABs.
QString RecordToLine(const TDataSet& dataSet);

// Every record from the first, each line ended by CR LF. Leaves the data set at its end.
QString AllLines(TDataSet& dataSet);

}  // namespace GridText
