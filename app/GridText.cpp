#include "GridText.h"

#include "core/TextFileWriter.h"
#include "db/dataset/CellTextWriter.h"
#include "db/dataset/DataSet.h"

namespace GridText {

void RecordToLine(const TDataSet& dataSet, const TCellTextWriter& cells, std::string& line) {
    // Stored rows: a walk settles any record being changed.
    qsizetype row;
    const TRowStore& rows = dataSet.StoredRow(dataSet.FieldRow(), row);
    for (int column = 0; column < dataSet.FieldCount(); ++column) {
        if (column > 0)
            line += '\t';
        cells.Append(line, rows, row, column, dataSet.Fields(column).DataType());
    }
}

void WriteAllLines(TDataSet& dataSet, TTextFileWriter& file) {
    const TCellTextWriter cells;
    dataSet.Walk([&] {
        std::string& line = file.Pending();
        RecordToLine(dataSet, cells, line);
        line += "\r\n";
        return true;
    });
}

}  // namespace GridText
