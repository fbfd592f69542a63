#include "db/dataset/RowWindow.h"

#include <algorithm>
#include <stdexcept>

#include "core/Exception.h"

TRowWindow::TRowWindow(std::unique_ptr<TScrollCursor> cursor, int columnCount)
    : cursor_(std::move(cursor)), columnCount_(columnCount) {
    newRow_.Reset(columnCount_);
    newRow_.AppendRow(QVariantList(columnCount_));
}

bool TRowWindow::ReadFirstPage(const std::function<void()>& wait) {
    const Page& first = PageOf(0, wait);
    const qsizetype rows = first.rows.RowCount();
    // Later pages are as long as the budget holds kPagesInBudget of pages of such rows.
    if (rows > 0) {
        const std::size_t rowBytes = std::max<std::size_t>(1, first.bytes / std::size_t(rows));
        pageRows_ = qsizetype(std::clamp<std::size_t>(kBudgetBytes / kPagesInBudget / rowBytes, 1,
                                                      std::size_t(kPageRows)));
    }
    cursorRows_ = rows;
    return rows == kPageRows;
}

TRowWindow::Page* TRowWindow::HeldPage(qsizetype cursorRow) {
    for (Page& page : pages_)
        if (page.held && cursorRow >= page.first && cursorRow < page.first + page.span)
            return &page;
    return nullptr;
}

bool TRowWindow::NeedsRead(qsizetype row) const {
    if (pending_ >= 0 && row >= pending_) {
        if (row == pending_)
            return false;
        --row;
    }
    return !const_cast<TRowWindow*>(this)->HeldPage(row);
}

const TRowWindow::Page& TRowWindow::PageOf(qsizetype cursorRow, const std::function<void()>& wait) {
    ++clock_;
    if (Page* held = HeldPage(cursorRow)) {
        held->used = clock_;
        return *held;
    }
    if (!cursor_)
        throw EDatabaseError(QStringLiteral("The result is being read again"));
    const qsizetype first = cursorRow - cursorRow % pageRows_;
    const qsizetype span = first == 0 ? kPageRows : pageRows_;
    TRowStore rows;
    rows.Reset(columnCount_);
    if (wait)
        cursor_->ReadWaiting(first, span, rows, wait);
    else
        cursor_->Read(first, span, rows);
    const std::size_t bytes = rows.MemoryUsed();
    Page& slot = FreeSlot(bytes);
    slot.held = true;
    slot.first = first;
    slot.span = span;
    slot.rows = std::move(rows);
    slot.bytes = bytes;
    slot.used = clock_;
    pageBytes_ += bytes;
    return slot;
}

TRowWindow::Page& TRowWindow::FreeSlot(std::size_t bytes) {
    // The least recently used pages go until the new one fits; a page alone may exceed the
    // budget (the first page, of rows wider than the budget allows).
    while (pageBytes_ + bytes > kBudgetBytes) {
        Page* oldest = nullptr;
        for (Page& page : pages_)
            if (page.held && (!oldest || page.used < oldest->used))
                oldest = &page;
        if (!oldest)
            break;
        pageBytes_ -= oldest->bytes;
        oldest->held = false;
        oldest->rows = TRowStore();
        oldest->bytes = 0;
    }
    for (Page& page : pages_)
        if (!page.held)
            return page;
    return pages_.emplace_back();
}

const TRowStore& TRowWindow::StoreOf(qsizetype row, qsizetype& at,
                                     const std::function<void()>& wait) {
    if (row < 0 || row >= RowCount())
        throw std::out_of_range("TRowWindow: row out of range");
    if (pending_ >= 0 && row >= pending_) {
        if (row == pending_) {
            at = 0;
            return newRow_;
        }
        --row;
    }
    const Page& page = PageOf(row, wait);
    at = row - page.first;
    if (at >= page.rows.RowCount())
        throw EDatabaseError(
            QStringLiteral("Record %1 can no longer be read: the result has fewer rows")
                .arg(row + 1));
    return page.rows;
}

QVariantList TRowWindow::RowValues(qsizetype row) {
    qsizetype at;
    return StoreOf(row, at).RowValues(at);
}

void TRowWindow::InsertNewRow(qsizetype row) {
    if (row < 0 || row > RowCount() || pending_ >= 0)
        throw std::out_of_range("TRowWindow: row out of range");
    pending_ = row;
}

std::size_t TRowWindow::MemoryUsed() const {
    return newRow_.MemoryUsed() + pageBytes_;
}
