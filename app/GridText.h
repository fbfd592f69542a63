#pragma once

#include <string>

class TCellTextWriter;
class TDataSet;
class TTextFileWriter;

// The grid save's text: one line per record, no header, no quoting.
namespace GridText {

// Appends the fields of the current record as text (a NULL empty), separated by TABs, in
// UTF-8. The data set must not be changing a record.
void RecordToLine(const TDataSet& dataSet, const TCellTextWriter& cells, std::string& line);

// Every record of one state of the rows, from the first, each line ended by CR LF, written as
// it is read. The current record stays where it was; Escape stops a long read of the database.
void WriteAllLines(TDataSet& dataSet, TTextFileWriter& file);

}  // namespace GridText
