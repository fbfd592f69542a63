#pragma once

#include <QVariantList>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "db/DbBackend.h"
#include "db/dataset/RowStore.h"

// The rows of a server-side result as a data set shows them: one state of the result, read a
// page at a time from the cursor when asked for; the least recently used pages are dropped
// beyond a budget of bytes, so memory stays bounded whatever the result's size and its rows'
// width. A new record not yet posted stands among them; everything else shown comes from the
// cursor, and a row the cursor cannot give is an error, never an empty line. The data set
// reads the whole result again after its own writes (a new window over a new cursor).
class TRowWindow {
  public:
    static constexpr qsizetype kPageRows = 512;
    // What the pages may hold together. Wide rows make short pages, so that a budget holds
    // several of them.
    static constexpr std::size_t kBudgetBytes = 8 << 20;
    static constexpr std::size_t kPagesInBudget = 16;

    TRowWindow(std::unique_ptr<TScrollCursor> cursor, int columnCount);

    TScrollCursor& Cursor() { return *cursor_; }
    // Lets go of the cursor (the result is being read again); only the pages held can be
    // shown from then on.
    void CloseCursor() { cursor_.reset(); }
    // Reads the first page, `wait` running while the database works on it; true when the
    // result may hold more rows than it.
    bool ReadFirstPage(const std::function<void()>& wait);
    // The cursor's row count, once known (the count of the first page until then).
    void SetCursorRows(qsizetype rows) { cursorRows_ = rows; }
    // Forgets the pages read: they are read again when shown.
    void DropPages() {
        for (Page& page : pages_)
            page.held = false;
    }
    qsizetype RowCount() const { return cursorRows_ + (pending_ >= 0 ? 1 : 0); }
    // Whether showing `row` needs a page read from the cursor.
    bool NeedsRead(qsizetype row) const;

    // Where a row's values are. May read a page, `wait` running meanwhile when given; raises
    // EDatabaseError when the cursor cannot give the row.
    const TRowStore& StoreOf(qsizetype row, qsizetype& at, const std::function<void()>& wait = {});
    QVariantList RowValues(qsizetype row);
    // An empty new record before `row` (RowCount() appends), shown until DropNewRow.
    void InsertNewRow(qsizetype row);
    void DropNewRow() { pending_ = -1; }

    std::size_t MemoryUsed() const;

  private:
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
    Page* HeldPage(qsizetype cursorRow);
    // The page holding a cursor row, read when no page holds it.
    const Page& PageOf(qsizetype cursorRow, const std::function<void()>& wait = {});
    // Makes room for a page of `bytes` and gives the slot it goes into.
    Page& FreeSlot(std::size_t bytes);

    std::unique_ptr<TScrollCursor> cursor_;
    int columnCount_;
    qsizetype cursorRows_ = 0;
    // A deque: StoreOf hands out references into pages, which must stay where they are.
    std::deque<Page> pages_;
    qsizetype pageRows_ = kPageRows;
    std::size_t pageBytes_ = 0;
    std::uint64_t clock_ = 0;
    // The new record's place and its (empty) values; -1 when there is none.
    qsizetype pending_ = -1;
    TRowStore newRow_;
};
