#pragma once

#include <string>

#include "db/dataset/FieldType.h"
#include "db/dataset/RowStore.h"

// Appends cells' text, exactly as CellText gives it, in UTF-8 to a byte buffer: numbers and
// plain text without a round trip through QString, for writing a million rows quickly. The
// locale's decimal separator is taken once, when the writer is made.
class TCellTextWriter {
  public:
    TCellTextWriter();
    void Append(std::string& utf8, const TRowStore& rows, qsizetype row, int column,
                TFieldType type) const;

  private:
    std::string decimalSeparator_;
};
