#include "db/dataset/RowWindow.h"

#include <algorithm>
#include <stdexcept>

TRowWindow::TRowWindow(std::unique_ptr<TScrollCursor> cursor, int columnCount)
    : cursor_(std::move(cursor)), columnCount_(columnCount) {
    changed_.Reset(columnCount_);
    missing_.Reset(columnCount_);
    missing_.AppendRow(QVariantList(columnCount_));
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
    SetCursorRows(rows);
    return rows == kPageRows;
}

void TRowWindow::SetCursorRows(qsizetype rows) {
    // Counting ends the opening, before any change could be made.
    cursorRows_ = rows;
    shownRows_ = rows;
    pieces_.clear();
    if (rows > 0)
        pieces_.push_back({0, rows, false});
}

std::size_t TRowWindow::PieceOf(qsizetype row, qsizetype& offset) const {
    if (row < 0 || row >= shownRows_)
        throw std::out_of_range("TRowWindow: row out of range");
    for (std::size_t index = 0; index < pieces_.size(); ++index) {
        if (row < pieces_[index].length) {
            offset = row;
            return index;
        }
        row -= pieces_[index].length;
    }
    throw std::out_of_range("TRowWindow: row out of range");
}

void TRowWindow::SplitAt(qsizetype row) {
    if (row >= shownRows_)
        return;
    qsizetype offset;
    const std::size_t index = PieceOf(row, offset);
    if (offset == 0)
        return;
    Piece& piece = pieces_[index];
    const Piece rest{piece.first + offset, piece.length - offset, false};
    piece.length = offset;
    pieces_.insert(pieces_.begin() + std::ptrdiff_t(index) + 1, rest);
}

const TRowWindow::Page& TRowWindow::PageOf(qsizetype cursorRow, const std::function<void()>& wait) {
    ++clock_;
    for (Page& page : pages_) {
        if (page.held && cursorRow >= page.first && cursorRow < page.first + page.span) {
            page.used = clock_;
            return page;
        }
    }
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

const TRowStore& TRowWindow::StoreOf(qsizetype row, qsizetype& at) {
    qsizetype offset;
    const Piece& piece = pieces_[PieceOf(row, offset)];
    if (piece.changed) {
        at = piece.first;
        return changed_;
    }
    const qsizetype cursorRow = piece.first + offset;
    if (const auto edit = edited_.find(cursorRow); edit != edited_.end()) {
        at = edit->second;
        return changed_;
    }
    const Page& page = PageOf(cursorRow);
    at = cursorRow - page.first;
    if (at < page.rows.RowCount())
        return page.rows;
    at = 0;
    return missing_;
}

QVariantList TRowWindow::RowValues(qsizetype row) {
    qsizetype at;
    return StoreOf(row, at).RowValues(at);
}

void TRowWindow::ReplaceRow(qsizetype row, const QVariantList& values) {
    qsizetype offset;
    const Piece& piece = pieces_[PieceOf(row, offset)];
    if (piece.changed) {
        changed_.ReplaceRow(piece.first, values);
        return;
    }
    const qsizetype cursorRow = piece.first + offset;
    if (const auto edit = edited_.find(cursorRow); edit != edited_.end()) {
        changed_.ReplaceRow(edit->second, values);
        return;
    }
    changed_.AppendRow(values);
    edited_[cursorRow] = changed_.RowCount() - 1;
}

void TRowWindow::InsertRow(qsizetype row, const QVariantList& values) {
    if (row < 0 || row > shownRows_)
        throw std::out_of_range("TRowWindow: row out of range");
    SplitAt(row);
    std::size_t index = pieces_.size();
    if (row < shownRows_) {
        qsizetype offset;
        index = PieceOf(row, offset);
    }
    changed_.AppendRow(values);
    pieces_.insert(pieces_.begin() + std::ptrdiff_t(index), {changed_.RowCount() - 1, 1, true});
    ++shownRows_;
}

void TRowWindow::RemoveRow(qsizetype row) {
    SplitAt(row);
    SplitAt(row + 1);
    qsizetype offset;
    const std::size_t index = PieceOf(row, offset);
    pieces_.erase(pieces_.begin() + std::ptrdiff_t(index));
    --shownRows_;
}

std::size_t TRowWindow::MemoryUsed() const {
    std::size_t used = changed_.MemoryUsed() + pieces_.capacity() * sizeof(Piece) +
                       edited_.size() * 2 * sizeof(qsizetype);
    return used + pageBytes_;
}
