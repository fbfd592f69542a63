#include "GridText.h"

#include "GridTextThread.h"
#include "db/dataset/DataSet.h"

namespace GridText {

void WriteAllLines(TDataSet& dataSet, TTextFileWriter& file) {
    std::vector<TFieldType> types;
    for (int column = 0; column < dataSet.FieldCount(); ++column)
        types.push_back(dataSet.Fields(column).DataType());
    TGridTextThread lines(file, std::move(types));
    dataSet.WalkBatches(
        [&lines](const std::shared_ptr<const TRowStore>& rows, qsizetype first, qsizetype end) {
            lines.Add(rows, first, end);
            return true;
        });
    lines.Finish();
}

}  // namespace GridText
