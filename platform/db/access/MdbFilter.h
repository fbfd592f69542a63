#pragma once

#include <QString>
#include <memory>

#include "db/access/MdbApi.h"

class TMdbRowReader;

// The WHERE clause libmdbsql has parsed, evaluated here on typed values. libmdb 1.0's own
// test gets several cases wrong: IS [NOT] NULL never matches, Currency, Decimal and Binary
// conditions let every row through, a date is compared with the text of a literal, Byte values
// above 127 turn negative, and an unknown column counts as true.
//
// Comparisons follow SQL: a NULL value makes a comparison unknown, and NOT of unknown stays
// unknown, so only rows whose condition is true pass. Numbers compare as numbers (Yes/No as
// 1 or 0 against any non-zero or zero literal), dates as dates (literals "yyyy-mm-dd" or
// "m/d/yyyy", optionally with a time, or a day number), texts by the locale's collation with
// case, as libmdbsql does; LIKE takes % and _ as wildcards, ILIKE ignores case.
class TMdbFilter {
  public:
    // Takes the table's condition tree (the table then has none, so libmdb lets every row
    // through); raises EDatabaseError for a column that does not exist or a literal that
    // cannot be compared with its column. A table without a condition matches every row.
    explicit TMdbFilter(MdbTableDef* table);
    ~TMdbFilter();
    TMdbFilter(const TMdbFilter&) = delete;
    TMdbFilter& operator=(const TMdbFilter&) = delete;

    bool Matches(TMdbRowReader& row) const;

    struct Node;

  private:
    std::unique_ptr<Node> root_;
};
