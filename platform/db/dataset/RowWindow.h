#pragma once

#include <QVariantList>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "db/DbBackend.h"
#include "db/dataset/RowStore.h"

// The rows of a server-side result as a data set shows them. Pages of rows are read from the
// cursor when asked for and the least recently used pages are dropped beyond a budget of
// bytes, so memory stays bounded whatever the result's size and its rows' width. The data set's own
// changes (posted edits, new and deleted records) lie over the cursor's rows: the cursor shows the
// result as it was opened.
class TRowWindow {
  public:
    static constexpr qsizetype kPageRows = 512;
    // What the pages may hold together. Wide rows make short pages, so that a budget holds
    // several of them.
    static constexpr std::size_t kBudgetBytes = 8 << 20;
    static constexpr std::size_t kPagesInBudget = 16;

    TRowWindow(std::unique_ptr<TScrollCursor> cursor, int columnCount);

    TScrollCursor& Cursor() { return *cursor_; }
    // Reads the first page, `wait` running while the database works on it; true when the
    // result may hold more rows than it.
    bool ReadFirstPage(const std::function<void()>& wait);
    // The cursor's row count, once known (the count of the first page until then).
    void SetCursorRows(qsizetype rows);
    qsizetype RowCount() const { return shownRows_; }

    // Where a row's values are: a page of the cursor or the rows changed here. May read a page;
    // raises EDatabaseError when the cursor cannot.
    const TRowStore& StoreOf(qsizetype row, qsizetype& at);
    QVariantList RowValues(qsizetype row);
    void ReplaceRow(qsizetype row, const QVariantList& values);
    void InsertRow(qsizetype row, const QVariantList& values);
    void RemoveRow(qsizetype row);

    std::size_t MemoryUsed() const;

  private:
    // A run of shown rows: cursor rows from `first`, or one row of `changed_` at `first`.
    struct Piece {
        qsizetype first;
        qsizetype length;
        bool changed;
    };
    // The cursor rows asked for, from `first` on (fewer at the end of the result); a free slot
    // holds none.
    struct Page {
        bool held = false;
        qsizetype first = 0;
        qsizetype span = 0;
        TRowStore rows;
        std::size_t bytes = 0;
        std::uint64_t used = 0;
    };
    // The piece holding a shown row and the row's offset in it.
    std::size_t PieceOf(qsizetype row, qsizetype& offset) const;
    void SplitAt(qsizetype row);
    // The page holding a cursor row, read when no page holds it.
    const Page& PageOf(qsizetype cursorRow, const std::function<void()>& wait = {});
    // Makes room for a page of `bytes` and gives the slot it goes into.
    Page& FreeSlot(std::size_t bytes);

    std::unique_ptr<TScrollCursor> cursor_;
    int columnCount_;
    qsizetype cursorRows_ = 0;
    qsizetype shownRows_ = 0;
    std::vector<Piece> pieces_;
    // A deque: StoreOf hands out references into pages, which must stay where they are.
    std::deque<Page> pages_;
    qsizetype pageRows_ = kPageRows;
    std::size_t pageBytes_ = 0;
    std::uint64_t clock_ = 0;
    // New records and posted edits, with the cursor rows whose edits they hold.
    TRowStore changed_;
    std::unordered_map<qsizetype, qsizetype> edited_;
    // A row the cursor no longer has (the table shrank since the count): shown empty.
    TRowStore missing_;
};
