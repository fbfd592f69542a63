#include "GridText.h"

#include "db/DataSet.h"

namespace GridText {

QString RecordToLine(const TDataSet& dataSet) {
    QString line;
    for (int i = 0; i < dataSet.FieldCount(); ++i) {
        if (i > 0)
            line += QLatin1Char('\t');
        line += dataSet.Fields(i).AsString();
    }
    return line;
}

QString AllLines(TDataSet& dataSet) {
    QString text;
    dataSet.First();
    while (!dataSet.Eof()) {
        text += RecordToLine(dataSet);
        text += QLatin1String("\r\n");
        dataSet.Next();
    }
    return text;
}

}  // namespace GridText
