#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "db/DbBackend.h"
#include "db/access/MdbApi.h"
#include "db/access/MdbFilter.h"
#include "db/access/MdbRowReader.h"

// Rows of one Access table, read through its own libmdb handle (libmdb keeps the current
// page in the handle, so two open results must not share one).
//
// SQL goes through libmdbsql, which understands one statement of the form
//   SELECT [TOP n [PERCENT]] * | column, ... | count(*) FROM table [WHERE condition] [LIMIT n]
// with names bare or in [brackets], conditions of the form column op literal (=, <>, <, >,
// <=, >=, LIKE, ILIKE, IS [NOT] NULL) joined by AND, OR and NOT, without parentheses, and
// literals 'quoted' or numeric. It has no ORDER BY, GROUP BY, DISTINCT, joins, aliases,
// expressions or functions. The WHERE clause is evaluated by TMdbFilter.
class TMdbCursor : public TResultCursor {
  public:
    // Raises EDatabaseError for anything but a SELECT, for SQL libmdbsql cannot parse, and for
    // unknown tables and columns.
    static std::unique_ptr<TResultCursor> Select(const QString& fileName, const QString& sql);
    // The whole table, or its first maxRecords rows when maxRecords > 0.
    static std::unique_ptr<TResultCursor> Table(const QString& fileName, const QString& table,
                                                int maxRecords);

    const TFieldDefs& Fields() const override { return fields_; }
    bool Fetch(TRowStore& rows, qsizetype maxRows) override;
    // mdbtools cannot write: every change is refused.
    TUpdateResolver UpdateTarget() const override;

  private:
    TMdbCursor() = default;
    void Bind(MdbHandle* mdb, MdbTableDef* table);
    std::int64_t CountRows();

    // Released bottom-up: the reader and filter before the table, the table before its handle.
    MdbSqlPtr sql_;
    MdbHandlePtr mdb_;
    MdbTablePtr ownTable_;
    MdbTableDef* table_ = nullptr;
    std::unique_ptr<TMdbRowReader> reader_;
    std::unique_ptr<TMdbFilter> filter_;

    TFieldDefs fields_;
    std::vector<int> columns_;
    bool count_ = false;
    bool countFromTempTable_ = false;
    qsizetype limit_ = -1;
    qsizetype delivered_ = 0;
    bool done_ = false;
};
