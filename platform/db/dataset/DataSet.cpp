#include "db/dataset/DataSet.h"

#include <QPointer>
#include <algorithm>
#include <optional>
#include <utility>

#include "core/Exception.h"
#include "db/dataset/RowWindow.h"
#include "ui/BusyWait.h"

namespace {

const QString kClosed = QStringLiteral("Cannot perform this operation on a closed dataset");
const QString kLoadingStopped =
    QStringLiteral("Loading the rows was stopped: the data set was closed meanwhile");

}  // namespace

TDataSet::TDataSet(QObject* owner, const QString& name) : QObject(owner) {
    setObjectName(name);
}

TDataSet::~TDataSet() = default;

void TDataSet::SetActive(bool active) {
    if (active)
        Open();
    else
        Close();
}

void TDataSet::Open() {
    if (loading_)
        throw EDatabaseError(QStringLiteral("Cannot open the data set while its rows are loading"));
    if (active_)
        return;
    const quint64 load = ++opening_;
    if (std::unique_ptr<TScrollCursor> scroll = OpenScrollCursor())
        return OpenWindow(std::move(scroll), load);
    std::unique_ptr<TResultCursor> cursor;
    bool more;
    try {
        cursor = OpenCursor();
        rows_.Reset(int(cursor->Fields().size()));
        MakeFields(cursor->Fields(), cursor->UpdateTarget());
        loading_ = load;
        more = cursor->Fetch(rows_, batchSize_);
    } catch (...) {
        loading_ = 0;
        ClearRows();
        throw;
    }
    StartBrowsing();

    const QPointer<TDataSet> alive(this);
    try {
        emit Opened();
        CheckLoad(alive, load);
        if (OnFetchProgress) {
            OnFetchProgress(rows_.RowCount());
            CheckLoad(alive, load);
        }
        if (more)
            ReadRows(*cursor, load);
    } catch (...) {
        // A failure of our own loading closes the data set; a stopped one is closed already.
        if (alive && loading_ == load)
            Close();
        throw;
    }
    EndLoading(cursor->Fields());
}

void TDataSet::OpenWindow(std::unique_ptr<TScrollCursor> cursor, quint64 load) {
    bool more;
    try {
        MakeFields(cursor->Fields(), cursor->UpdateTarget());
        TScrollCursor& scroll = *cursor;
        window_ = std::make_unique<TRowWindow>(std::move(cursor), FieldCount());
        loading_ = load;
        // The cursor stays alive through the read even if the data set closes meanwhile.
        const std::shared_ptr<TRowWindow> window = window_;
        const QPointer<TDataSet> alive(this);
        {
            TBusyWait busy([&scroll] { scroll.Interrupt(); });
            more = window->ReadFirstPage([&busy] { busy.Pump(); });
        }
        CheckLoad(alive, load);
    } catch (...) {
        loading_ = 0;
        ClearRows();
        throw;
    }
    StartBrowsing();

    const QPointer<TDataSet> alive(this);
    try {
        emit Opened();
        CheckLoad(alive, load);
        if (more) {
            // The cursor stays alive through the count even if the data set closes meanwhile.
            std::shared_ptr<TRowWindow> window = window_;
            qsizetype counted;
            {
                TScrollCursor& scroll = window->Cursor();
                TBusyWait busy([&scroll] { scroll.Interrupt(); });
                counted = scroll.Count([&busy] { busy.Pump(); });
            }
            CheckLoad(alive, load);
            if (window->Cursor().FirstRowsProvisional()) {
                window->DropPages();
                qsizetype at;
                window->StoreOf(0, at);
                emit RowsReread();
            }
            const qsizetype shown = StoredRows();
            if (counted > shown) {
                emit RowsAboutToBeInserted(shown, counted - 1);
                window_->SetCursorRows(counted);
                emit RowsInserted(shown, counted - 1);
            } else if (counted < shown) {
                // Rows went away between the first page and the count.
                emit RowsAboutToBeRemoved(counted, shown - 1);
                window_->SetCursorRows(counted);
                emit RowsRemoved(counted, shown - 1);
                current_ = counted > 0 ? 0 : -1;
                eof_ = counted == 0;
                emit CurrentChanged(current_);
            }
            CheckLoad(alive, load);
        }
        if (OnFetchProgress) {
            OnFetchProgress(StoredRows());
            CheckLoad(alive, load);
        }
    } catch (...) {
        if (alive && loading_ == load)
            Close();
        throw;
    }
    EndLoading(window_->Cursor().Fields());
}

void TDataSet::MakeFields(const TFieldDefs& defs, TUpdateResolver updateTarget) {
    for (int index = 0; index < defs.size(); ++index)
        fields_.push_back(std::make_unique<TField>(*this, index, defs[index]));
    unreadRow_.Reset(FieldCount());
    unreadRow_.AppendRow(QVariantList(FieldCount()));
    writer_ = std::make_unique<TRecordWriter>(Engine(), std::move(updateTarget));
}

void TDataSet::StartBrowsing() {
    active_ = true;
    current_ = StoredRows() > 0 ? 0 : -1;
    bof_ = true;
    eof_ = StoredRows() == 0;
    SetState(dsBrowse);
}

void TDataSet::EndLoading(const TFieldDefs& defs) {
    loading_ = 0;
    // Columns without a declared type learnt theirs from the rows read.
    for (int index = 0; index < FieldCount(); ++index)
        fields_[std::size_t(index)]->SetDef(defs[index]);
}

void TDataSet::ReadRows(TResultCursor& cursor, quint64 load) {
    const QPointer<TDataSet> alive(this);
    // Escape between two batches stops the loading; a batch itself is not interrupted.
    bool escaped = false;
    TBusyWait busy([&escaped] { escaped = true; });
    bool more = true;
    while (more) {
        const qsizetype first = rows_.RowCount();
        more = cursor.Fetch(rows_, batchSize_);
        const qsizetype last = rows_.RowCount() - 1;
        if (last >= first) {
            emit RowsAboutToBeInserted(first, last);
            emit RowsInserted(first, last);
            CheckLoad(alive, load);
        }
        if (OnFetchProgress) {
            OnFetchProgress(rows_.RowCount());
            CheckLoad(alive, load);
        }
        busy.Pump();
        CheckLoad(alive, load);
        if (escaped) {
            Close();
            throw EOperationCancelled(QStringLiteral("Cancelled"));
        }
    }
}

// Handlers of the loading signals may have closed (or even destroyed) the data set.
void TDataSet::CheckLoad(const QPointer<TDataSet>& dataSet, quint64 load) {
    if (!dataSet || dataSet->loading_ != load)
        throw EDatabaseError(kLoadingStopped);
}

void TDataSet::Close() {
    loading_ = 0;
    if (!active_)
        return;
    active_ = false;
    buffer_.clear();
    assigned_.clear();
    bufferRow_.Reset(0);
    SetState(dsInactive);
    ClearRows();
    current_ = -1;
    bof_ = eof_ = true;
    emit Closed();
}

void TDataSet::ClearRows() {
    fields_.clear();
    writer_.reset();
    rows_.Reset(0);
    window_.reset();
}

qsizetype TDataSet::StoredRows() const {
    return window_ ? window_->RowCount() : rows_.RowCount();
}

const TRowStore& TDataSet::StoredRow(qsizetype row, qsizetype& at) const {
    if (row == kWalkRow && walkStore_) {
        at = walkAt_;
        return *walkStore_;
    }
    if (!window_) {
        at = row;
        return rows_;
    }
    // Asked for while the grid paints: the result is read again with nothing else running.
    const_cast<TDataSet*>(this)->Freshen(row, false);
    if (row >= StoredRows() || (cursorBusy_ && window_->NeedsRead(row))) {
        // Drawn while the cursor is busy reading the result again or walking it, or gone in
        // that reading: the grid, told right after, draws it anew.
        drewUnread_ = true;
        at = 0;
        return unreadRow_;
    }
    return window_->StoreOf(row, at);
}

QVariantList TDataSet::StoredValues(qsizetype row) const {
    qsizetype at;
    return StoredRow(row, at).RowValues(at);
}

void TDataSet::ReplaceStored(qsizetype row, const QVariantList& values) {
    rows_.ReplaceRow(row, values);
}

// A server-side result holds no rows of its own but the new record being inserted.
void TDataSet::InsertStored(qsizetype row, const QVariantList& values) {
    if (window_)
        window_->InsertNewRow(row);
    else
        rows_.InsertRow(row, values);
}

void TDataSet::RemoveStored(qsizetype row) {
    if (window_)
        window_->DropNewRow();
    else
        rows_.RemoveRow(row);
}

void TDataSet::Freshen(qsizetype row, bool pumping) {
    if (!window_ || loading_ || cursorBusy_ || row < 0 || row >= StoredRows() ||
        !window_->NeedsRead(row) || !window_->Cursor().Stale())
        return;
    Reread(current_, KeyOfRow(current_), pumping);
}

QVariantList TDataSet::KeyOfRow(qsizetype row) {
    if (!writer_ || row < 0 || row >= StoredRows() || window_->NeedsRead(row))
        return {};
    return writer_->FindingKey(StoredValues(row));
}

void TDataSet::Reread(qsizetype near, const QVariantList& key, bool pumping) {
    const qsizetype before = StoredRows();
    qsizetype place = -1;
    std::shared_ptr<TRowWindow> window;
    // The old cursor goes first: an engine may read one state for all the cursors it has open.
    window_->CloseCursor();
    cursorBusy_ = true;
    try {
        std::unique_ptr<TScrollCursor> cursor = OpenScrollCursor();
        if (!cursor)
            throw EDatabaseError(QStringLiteral("The result can no longer be read again"));
        TScrollCursor& scroll = *cursor;
        window = std::make_shared<TRowWindow>(std::move(cursor), FieldCount());
        std::optional<TBusyWait> busy;
        std::function<void()> wait = [] {};
        if (pumping) {
            busy.emplace([&scroll] { scroll.Interrupt(); });
            wait = [&busy] { busy->Pump(); };
        }
        // Nothing is shown before the count here, so the count comes first: a result the
        // engine keeps while counting gives its first page from what it kept, without running
        // the statement once more.
        const qsizetype counted = scroll.Count(wait);
        if (window->ReadFirstPage(pumping ? wait : std::function<void()>()))
            window->SetCursorRows(counted);
        const qsizetype rows = window->RowCount();
        if (!key.isEmpty() && rows > 0) {
            const QList<int> columns = [this, &key] {
                QList<int> found;
                const TUpdateTarget* target = writer_ ? writer_->Resolved() : nullptr;
                if (target && target->Key.size() == key.size())
                    found = target->Key;
                return found;
            }();
            const auto holdsKey = [&columns, &key](const TRowStore& store, qsizetype at) {
                for (int index = 0; index < columns.size(); ++index)
                    if (store.Value(at, columns[index]) != key[index])
                        return false;
                return true;
            };
            // The record is near where it was unless its sort order changed, or at the end
            // when it is new or the database moved it there (PostgreSQL writes a changed row
            // anew, often at the end of the table); otherwise the whole result is searched.
            const qsizetype from = qMax<qsizetype>(0, near - TRowWindow::kPageRows);
            const qsizetype to = qMin(rows, near + TRowWindow::kPageRows + 1);
            const auto search = [&](qsizetype first, qsizetype end) {
                for (qsizetype row = first; !columns.isEmpty() && row < end && place < 0; ++row) {
                    qsizetype at;
                    const TRowStore& store = window->StoreOf(row, at, pumping ? wait : nullptr);
                    if (holdsKey(store, at))
                        place = row;
                }
            };
            search(from, to);
            search(qMax(to, rows - TRowWindow::kPageRows), rows);
            if (place < 0 && !columns.isEmpty() && pumping) {
                qsizetype row = 0;
                try {
                    scroll.Walk(
                        [&](TRowStore& batch) {
                            for (qsizetype at = 0; at < batch.RowCount(); ++at, ++row)
                                if (holdsKey(batch, at)) {
                                    place = row;
                                    return false;
                                }
                            return true;
                        },
                        wait);
                } catch (const EOperationCancelled&) {
                    // Escape gives up the search only: the record number stands.
                }
            }
        }
        if (place < 0)
            place = qMin(qMax<qsizetype>(near, 0), rows - 1);
    } catch (...) {
        // The old rows no longer are what the database holds: nothing is shown rather than them.
        cursorBusy_ = false;
        Close();
        throw;
    }
    cursorBusy_ = false;
    drewUnread_ = false;
    const qsizetype after = window->RowCount();
    if (after < before)
        emit RowsAboutToBeRemoved(after, before - 1);
    else if (after > before)
        emit RowsAboutToBeInserted(before, after - 1);
    window_ = std::move(window);
    if (after < before)
        emit RowsRemoved(after, before - 1);
    else if (after > before)
        emit RowsInserted(before, after - 1);
    current_ = place;
    bof_ = current_ <= 0;
    eof_ = current_ < 0;
    emit RowsReread();
    if (ControlsDisabled())
        movedWhileDisabled_ = true;
    else
        emit CurrentChanged(current_);
}

void TDataSet::ReadAhead(qsizetype row) {
    if (cursorBusy_ || loading_ || row < 0 || !window_->NeedsRead(row))
        return;
    const std::shared_ptr<TRowWindow> window = window_;
    TScrollCursor& scroll = window->Cursor();
    cursorBusy_ = true;
    drewUnread_ = false;
    try {
        TBusyWait busy([&scroll] { scroll.Interrupt(); });
        qsizetype at;
        window->StoreOf(row, at, [&busy] { busy.Pump(); });
    } catch (...) {
        cursorBusy_ = false;
        throw;
    }
    cursorBusy_ = false;
    if (std::exchange(drewUnread_, false))
        emit RowsReread();
}

void TDataSet::ReadShown(qsizetype first, qsizetype last) {
    for (qsizetype row = qMax<qsizetype>(0, first); window_ && row <= last && row < StoredRows();
         ++row)
        if (window_->NeedsRead(row)) {
            Freshen(row, true);
            ReadAhead(row);
        }
}

void TDataSet::Walk(const std::function<bool()>& each, const std::function<void()>& wait) {
    const QPointer<TDataSet> alive(this);
    WalkBatches(
        [&](const std::shared_ptr<const TRowStore>& rows, qsizetype first, qsizetype end) {
            for (qsizetype at = first; at < end; ++at) {
                walkStore_ = rows.get();
                walkAt_ = at;
                const bool more = each();
                // `each` may let events run, and a handler close the data set under the walk.
                if (!alive || !active_)
                    throw EDatabaseError(kClosed);
                if (!more)
                    return false;
            }
            walkStore_ = nullptr;
            return true;
        },
        wait);
}

void TDataSet::WalkBatches(const TBatchWalk& each, const std::function<void()>& wait) {
    RecordCount();
    CheckBrowseMode();
    const QPointer<TDataSet> alive(this);
    struct TWalking {
        const QPointer<TDataSet>& dataSet;
        ~TWalking() {
            if (!dataSet)
                return;
            dataSet->walkStore_ = nullptr;
            dataSet->cursorBusy_ = false;
        }
    } walking{alive};
    if (!window_) {
        // The rows are lent, not copied: nothing runs between these batches to change them.
        constexpr qsizetype kBatchRows = 4096;
        const std::shared_ptr<const TRowStore> rows(std::shared_ptr<const TRowStore>(), &rows_);
        for (qsizetype first = 0; first < rows_.RowCount(); first += kBatchRows) {
            if (!each(rows, first, std::min(first + kBatchRows, rows_.RowCount())))
                return;
            if (!alive || !active_)
                throw EDatabaseError(kClosed);
        }
        return;
    }
    if (window_->Cursor().Stale())
        Reread(current_, KeyOfRow(current_), true);
    cursorBusy_ = true;
    // The cursor stays alive through the walk even if the data set closes meanwhile.
    const std::shared_ptr<TRowWindow> window = window_;
    TScrollCursor& scroll = window->Cursor();
    std::optional<TBusyWait> busy;
    std::function<void()> pump = wait;
    if (!pump) {
        busy.emplace([&scroll] { scroll.Interrupt(); });
        pump = [&busy] { busy->Pump(); };
    }
    drewUnread_ = false;
    struct TRepaint {
        const QPointer<TDataSet>& dataSet;
        ~TRepaint() {
            if (dataSet && std::exchange(dataSet->drewUnread_, false))
                emit dataSet->RowsReread();
        }
    } repaint{alive};
    scroll.Walk(
        [&](TRowStore& batch) {
            const qsizetype count = batch.RowCount();
            if (!each(std::make_shared<const TRowStore>(std::move(batch)), 0, count))
                return false;
            pump();
            if (!alive || !active_)
                throw EDatabaseError(kClosed);
            return true;
        },
        pump);
}

std::size_t TDataSet::MemoryUsed() const {
    return rows_.MemoryUsed() + (window_ ? window_->MemoryUsed() : 0);
}

void TDataSet::CheckInactive() const {
    if (active_)
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
}

qsizetype TDataSet::RecordCount() const {
    if (!active_)
        throw EDatabaseError(kClosed);
    return StoredRows();
}

void TDataSet::MoveTo(qsizetype row) {
    if (window_ && row != current_) {
        Freshen(row, true);
        row = qMin(row, StoredRows() - 1);
        ReadAhead(row);
    }
    if (row == current_)
        return;
    current_ = row;
    if (ControlsDisabled())
        movedWhileDisabled_ = true;
    else
        emit CurrentChanged(current_);
}

void TDataSet::First() {
    RecordCount();
    CheckBrowseMode();
    bof_ = true;
    eof_ = StoredRows() == 0;
    MoveTo(eof_ ? -1 : 0);
}

void TDataSet::Last() {
    RecordCount();
    CheckBrowseMode();
    eof_ = true;
    bof_ = StoredRows() == 0;
    MoveTo(StoredRows() - 1);
}

void TDataSet::Next() {
    RecordCount();
    CheckBrowseMode();
    if (current_ + 1 < StoredRows()) {
        bof_ = false;
        MoveTo(current_ + 1);
    } else {
        eof_ = true;
    }
}

void TDataSet::Prior() {
    RecordCount();
    CheckBrowseMode();
    if (current_ > 0) {
        eof_ = false;
        MoveTo(current_ - 1);
    } else {
        bof_ = true;
    }
}

void TDataSet::SetRecNo(qsizetype recNo) {
    RecordCount();
    if (recNo != current_ + 1)
        CheckBrowseMode();
    if (recNo < 1 || recNo > RecordCount())
        throw EDatabaseError(QStringLiteral("Record not found"));
    bof_ = eof_ = false;
    MoveTo(recNo - 1);
}

TBookmark TDataSet::GetBookmark() const {
    TBookmark bookmark;
    if (active_) {
        bookmark.row_ = current_;
        bookmark.opening_ = opening_;
    }
    return bookmark;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
    if (active_)
        CheckBrowseMode();
    if (!bookmark.IsValid() || bookmark.opening_ != opening_ || bookmark.row_ >= RecordCount())
        throw EDatabaseError(QStringLiteral("Record not found"));
    SetRecNo(bookmark.row_ + 1);
}

void TDataSet::EnableControls() {
    if (disableCount_ == 0)
        return;
    if (--disableCount_ == 0 && movedWhileDisabled_) {
        movedWhileDisabled_ = false;
        emit CurrentChanged(current_);
    }
}

bool TDataSet::CanModify() const {
    return active_ && !loading_ && !readOnly_;
}

void TDataSet::CheckModify() const {
    if (!active_)
        throw EDatabaseError(kClosed);
    if (loading_)
        throw EDatabaseError(QStringLiteral("Cannot change records while the rows are loading"));
    if (readOnly_)
        throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
}

bool TDataSet::Modified() const {
    return assigned_.contains(true);
}

void TDataSet::SetState(TDataSetState state) {
    if (state == state_)
        return;
    state_ = state;
    emit StateChanged(state_);
}

void TDataSet::StartRecord(qsizetype row, const QVariantList& values, TDataSetState state) {
    buffer_ = values;
    assigned_ = QList<bool>(values.size(), false);
    bufferRow_.Reset(int(values.size()));
    bufferRow_.AppendRow(values);
    SetState(state);
    emit RecordChanged(row);
}

void TDataSet::Edit() {
    if (state_ == dsEdit || state_ == dsInsert)
        return;
    CheckModify();
    if (StoredRows() == 0)
        return Insert();
    StartRecord(current_, StoredValues(current_), dsEdit);
}

void TDataSet::Insert() {
    CheckModify();
    CheckBrowseMode();
    InsertAt(qMax<qsizetype>(current_, 0));
}

void TDataSet::Append() {
    CheckModify();
    CheckBrowseMode();
    InsertAt(StoredRows());
}

void TDataSet::InsertAt(qsizetype row) {
    const QVariantList empty(FieldCount());
    emit RowsAboutToBeInserted(row, row);
    InsertStored(row, empty);
    ++opening_;  // bookmarks count rows, which have moved
    emit RowsInserted(row, row);
    current_ = row;
    bof_ = eof_ = false;
    StartRecord(row, empty, dsInsert);
    emit CurrentChanged(current_);
}

void TDataSet::RemoveRow(qsizetype row) {
    emit RowsAboutToBeRemoved(row, row);
    RemoveStored(row);
    ++opening_;
    emit RowsRemoved(row, row);
}

void TDataSet::EndEdit() {
    buffer_.clear();
    assigned_.clear();
    bufferRow_.Reset(0);
    SetState(dsBrowse);
    emit RecordChanged(current_);
}

void TDataSet::Post() {
    if (state_ != dsEdit && state_ != dsInsert)
        return;
    if (state_ == dsEdit && !Modified())
        return EndEdit();
    CheckModify();
    QList<int> assigned;
    for (int index = 0; index < assigned_.size(); ++index)
        if (assigned_[index])
            assigned << index;
    const std::optional<QVariantList> stored =
        state_ == dsEdit ? writer_->Update(StoredValues(current_), buffer_, assigned)
                         : writer_->Insert(buffer_, assigned);
    if (window_) {
        // The new or changed row may stand elsewhere in the result now, and others with it.
        const QVariantList key = stored ? writer_->FindingKey(*stored) : QVariantList();
        EndEdit();
        return Reread(current_, key, true);
    }
    if (stored)
        ReplaceStored(current_, *stored);
    EndEdit();
    if (!stored) {
        // The database no longer holds the row (a trigger removed it).
        RemoveRow(current_);
        current_ = qMin(current_, StoredRows() - 1);
        emit CurrentChanged(current_);
    }
}

void TDataSet::Cancel() {
    if (state_ == dsEdit)
        return EndEdit();
    if (state_ != dsInsert)
        return;
    const qsizetype row = current_;
    buffer_.clear();
    assigned_.clear();
    bufferRow_.Reset(0);
    SetState(dsBrowse);
    RemoveRow(row);
    current_ = qMin(row, StoredRows() - 1);
    eof_ = current_ < 0;
    emit CurrentChanged(current_);
}

void TDataSet::CheckBrowseMode() {
    if (state_ != dsEdit && state_ != dsInsert)
        return;
    if (Modified())
        Post();
    else
        Cancel();
}

void TDataSet::Delete() {
    if (state_ == dsInsert)
        return Cancel();
    if (RecordCount() == 0)
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    DeleteRecords({current_});
}

void TDataSet::DeleteRecords(QList<qsizetype> rows) {
    RecordCount();
    if (state_ == dsInsert) {
        // The new record was never written: it only leaves the grid.
        const qsizetype inserted = current_;
        Cancel();
        rows.removeAll(inserted);
        for (qsizetype& row : rows)
            if (row > inserted)
                --row;
    } else if (state_ == dsEdit) {
        Cancel();
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty())
        return;
    CheckModify();
    if (rows.front() < 0 || rows.back() >= StoredRows())
        throw EDatabaseError(QStringLiteral("Record not found"));
    QList<QVariantList> values;
    for (const qsizetype row : rows)
        values << StoredValues(row);
    writer_->Delete(values);
    if (window_)
        return Reread(rows.front(), {}, true);
    for (auto row = rows.crbegin(); row != rows.crend(); ++row)
        RemoveRow(*row);
    current_ = qMin(rows.front(), StoredRows() - 1);
    bof_ = current_ <= 0;
    eof_ = current_ < 0;
    emit CurrentChanged(current_);
}

const TRowStore& TDataSet::StoreOf(qsizetype row, qsizetype& at) const {
    if ((state_ == dsEdit || state_ == dsInsert) && row == current_) {
        at = 0;
        return bufferRow_;
    }
    return StoredRow(row, at);
}

void TDataSet::SetFieldValue(int index, const QVariant& value) {
    if (state_ != dsEdit && state_ != dsInsert)
        throw EDatabaseError(QStringLiteral("Dataset not in edit or insert mode"));
    buffer_[index] = value;
    assigned_[index] = true;
    bufferRow_.Reset(FieldCount());
    bufferRow_.AppendRow(buffer_);
    emit RecordChanged(current_);
}

TField& TDataSet::Fields(int index) const {
    if (index < 0 || index >= FieldCount())
        throw EDatabaseError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return *fields_[std::size_t(index)];
}

TField* TDataSet::FindField(const QString& name) const {
    for (const auto& field : fields_)
        if (field->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return field.get();
    return nullptr;
}

TField& TDataSet::FieldByName(const QString& name) const {
    if (TField* field = FindField(name))
        return *field;
    throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
}

void TDataSet::GetFieldNames(QStringList& list) const {
    list.clear();
    for (const auto& field : fields_)
        list << field->FieldName();
}

TDataSet::TRowScope::TRowScope(TDataSet& dataSet, qsizetype row)
    : dataSet_(dataSet), previous_(dataSet.scopeRow_) {
    dataSet_.scopeRow_ = row;
}

TDataSet::TRowScope::~TRowScope() {
    dataSet_.scopeRow_ = previous_;
}
