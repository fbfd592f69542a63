#pragma once

class TDataSet;
class TTextFileWriter;

// The grid save's text: one line per record, no header, no quoting.
namespace GridText {

// Every record of one state of the rows, from the first, the fields of each as text (a NULL
// empty) separated by TABs, in UTF-8, each line ended by CR LF. The lines are made and written
// on a second thread while the walk reads on; the call returns once all of them are written,
// or raises with that thread stopped. The current record stays where it was; Escape stops a
// long read of the database.
void WriteAllLines(TDataSet& dataSet, TTextFileWriter& file);

}  // namespace GridText
