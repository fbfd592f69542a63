#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/access/MdbApi.h"

class TRowStore;

// One decoded column value of the current row. Dates are ISO 8601 text and keep their OLE
// date in `number` for comparisons; Yes/No is the integer 1 or 0.
struct TMdbValue {
    enum class Kind { Null, Integer, Float, Text, Bytes };
    Kind kind = Kind::Null;
    std::int64_t integer = 0;
    double number = 0;
    std::string data;  // UTF-8 text or raw bytes
};

// Reads the row that mdb_fetch_row has just found straight from libmdb's page buffer, typed
// (libmdb's own bound columns give text only, cannot tell NULL from an empty text and cut
// memos at the bind size). Memo and OLE values are read in full from their value pages.
class TMdbRowReader {
  public:
    TMdbRowReader(MdbHandle* mdb, MdbTableDef* table);

    // Takes the row just fetched; raises EDatabaseError when its layout is unreadable.
    void Load();
    // Columns count from 0 in the table's order; each is decoded once per row, on first use.
    const TMdbValue& Value(int column);
    // One row of the given columns, in that order.
    void Append(TRowStore& rows, const std::vector<int>& columns);

  private:
    void Decode(int column, TMdbValue& value);
    bool ReadLongValue(const MdbField& field, std::string& out);
    void DecodeText(const char* bytes, std::size_t size, std::string& out);

    MdbHandle* mdb_;
    MdbTableDef* table_;
    std::vector<MdbField> cracked_;  // in libmdb's order
    std::vector<MdbField> fields_;   // by column
    std::vector<TMdbValue> values_;
    std::vector<char> decoded_;
    std::vector<char> textBuffer_;
};
