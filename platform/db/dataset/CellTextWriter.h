#pragma once

#include <QString>
#include <string>
#include <unordered_map>

#include "db/dataset/DateTimeFormat.h"
#include "db/dataset/FieldType.h"
#include "db/dataset/RowStore.h"

// Appends cells' text, exactly as CellText gives it, in UTF-8 to a byte buffer: numbers and
// plain text without a round trip through QString, for writing a million rows quickly. The
// locale's decimal separator and date formats are taken once, when the writer is made, so a
// writer made on the user-interface thread may then work on another. Used on one thread at a
// time (it keeps the text of cells it has shown).
class TCellTextWriter {
  public:
    TCellTextWriter();
    void Append(std::string& utf8, const TRowStore& rows, qsizetype row, int column,
                TFieldType type) const;

  private:
    void AppendShown(std::string& utf8, const TRowStore& rows, qsizetype row, int column,
                     TFieldType type) const;

    TDateTimeFormat dates_;
    QString decimalPoint_;
    std::string decimalSeparator_;
    // Dates and the like repeat down a column, and the locale's formatting is slow: what the
    // last few thousand shown were, by their type and stored text.
    mutable std::unordered_map<std::string, std::string> shown_;
};
