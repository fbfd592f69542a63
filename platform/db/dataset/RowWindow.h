#pragma once

#include <QVariantList>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "db/DbBackend.h"
#include "db/dataset/RowStore.h"

// The rows of a server-side result as a data set shows them. Pages of rows are read from the
// cursor when asked for and the least recently used page is dropped, so memory stays bounded
// whatever the result's size. The data set's own changes (posted edits, new and deleted
// records) lie over the cursor's rows: the cursor shows the result as it was opened.
class TRowWindow {
  public:
    static constexpr qsizetype kPageRows = 512;
    static constexpr std::size_t kMaxPages = 64;

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
    struct Page {
        qsizetype index = -1;
        TRowStore rows;
        std::uint64_t used = 0;
    };
    // The piece holding a shown row and the row's offset in it.
    std::size_t PieceOf(qsizetype row, qsizetype& offset) const;
    void SplitAt(qsizetype row);
    const Page& PageOf(qsizetype index, const std::function<void()>& wait = {});

    std::unique_ptr<TScrollCursor> cursor_;
    int columnCount_;
    qsizetype cursorRows_ = 0;
    qsizetype shownRows_ = 0;
    std::vector<Piece> pieces_;
    std::vector<Page> pages_;
    std::uint64_t clock_ = 0;
    // New records and posted edits, with the cursor rows whose edits they hold.
    TRowStore changed_;
    std::unordered_map<qsizetype, qsizetype> edited_;
    // A row the cursor no longer has (the table shrank since the count): shown empty.
    TRowStore missing_;
};
