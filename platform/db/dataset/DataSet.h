#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "db/DbBackend.h"
#include "db/dataset/CursorLocation.h"
#include "db/dataset/Field.h"
#include "db/dataset/RecordWriter.h"
#include "db/dataset/RowStore.h"

class TRowWindow;

// A place in a data set to come back to. Taken with GetBookmark, released with FreeBookmark.
class TBookmark {
  public:
    bool IsValid() const { return row_ >= 0; }

  private:
    friend class TDataSet;
    qsizetype row_ = -1;
    quint64 opening_ = 0;
};

// What a data set is doing: closed, browsing, changing its current record, or holding a new
// record not yet posted.
enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

// Rows of a query or table. Records are numbered from 1 (RecNo), rows from 0; RecordCount is
// exact and bookmarks work. User-interface thread only. The object name is the component name;
// the parent is the owner.
//
// With a server-side cursor (OpenScrollCursor gives one) the result stays in the database: the
// data set is open once the first page of rows is in (Opened), then counts the rows while the
// window keeps painting (Escape stops the count with EOperationCancelled and the data set
// closes), and signals the counted rows as one batch. Rows are read a page at a time as they
// are shown (see TRowWindow). The data set shows one state of the result at a time: after each
// of its own writes, and before it reads a page once another program's write made the cursor
// stale, it reads the whole result again (RowsReread) and keeps the user on the same record,
// found by its key where the result has one, else by its number.
//
// Otherwise every row is read into memory. Opening reads the result in batches. The data set
// is open once the first batch is in (Opened), then signals each further batch (RowsInserted)
// and OnFetchProgress runs; Open returns when every row is read, with Loading() true until
// then. Between batches the window paints; Escape there stops the loading with
// EOperationCancelled and the data set closes. Whoever handles those
// signals may let events run: a Close meanwhile stops the loading, and the Open under way then
// raises EDatabaseError; Open and changes are refused while loading.
//
// Changing records is done the way data sets have always done it: Edit or Insert/Append, set
// field values, Post (or Cancel); Delete removes the current record. Moving to another record
// posts a modified record first and drops an untouched one. Posting writes the change to the
// result's table by its key (see TRecordWriter) and takes back the row as the database then
// holds it; a failed Post leaves the record being edited, so the caller can correct or
// Cancel. Close drops a change not yet posted. While controls are disabled, moving through
// the records tells no one (CurrentChanged waits until EnableControls).
class TDataSet : public QObject {
    Q_OBJECT
  public:
    explicit TDataSet(QObject* owner = nullptr, const QString& name = {});
    ~TDataSet() override;

    bool Active() const { return active_; }
    void SetActive(bool active);
    // Does nothing when already open. Raises EDatabaseError and stays closed on failure.
    void Open();
    void Close();
    bool Loading() const { return loading_ != 0; }

    // Raises "Cannot perform this operation on a closed dataset" when closed.
    qsizetype RecordCount() const;
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    qsizetype RecNo() const { return current_ + 1; }
    // Moves to a record by number from 1.
    void SetRecNo(qsizetype recNo);

    TBookmark GetBookmark() const;
    // Raises EDatabaseError for a freed bookmark or one of another opening.
    void GotoBookmark(const TBookmark& bookmark);
    void FreeBookmark(TBookmark& bookmark) { bookmark = TBookmark(); }

    void DisableControls() { ++disableCount_; }
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    TDataSetState State() const { return state_; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // Open, fully read and not read-only. Whether the rows belong to one table with a key is
    // learnt when a change is posted.
    bool CanModify() const;
    // A field of the record being edited or inserted was given a value.
    bool Modified() const;
    // Starts changing the current record (an empty data set gets a new record instead).
    void Edit();
    // A new, empty record before the current one (Insert) or after the last one (Append).
    void Insert();
    void Append();
    void Post();
    void Cancel();
    // Deletes the current record; a new record not yet posted is cancelled instead.
    void Delete();
    // Deletes these records (rows from 0), all of them or, on failure, none.
    void DeleteRecords(QList<qsizetype> rows);
    // Posts a modified record, cancels an untouched one.
    void CheckBrowseMode();

    int FieldCount() const { return int(fields_.size()); }
    TField& Fields(int index) const;
    // Case-insensitive; raises "Field '%s' not found".
    TField& FieldByName(const QString& name) const;
    TField* FindField(const QString& name) const;
    void GetFieldNames(QStringList& list) const;

    // The values of a row (from 0) as read or last posted, a record being edited left out: the
    // store holding them and the row's place in it, valid until the next call. A server-side
    // result may read them from the database here (EDatabaseError when that fails).
    const TRowStore& StoredRow(qsizetype row, qsizetype& at) const;
    // Runs `each` once for every record of one state of the rows, from the first to the last,
    // with the fields reading that record meanwhile (the current record does not move); false
    // from `each` stops. A record being changed is settled first. A server-side result streams
    // past the row cache, read again first when it is stale. `wait` runs while the database
    // works; without it the busy wait runs and Escape ends the walk with EOperationCancelled.
    void Walk(const std::function<bool()>& each, const std::function<void()>& wait = {});
    // The same walk a batch at a time, for work done on another thread: `each` gets the rows
    // first..end (from 0, end excluded) of a store it may keep. A batch read from the database
    // is its own; a result held in memory lends its rows, which stay as they are until the
    // walk's caller next lets events run or changes the data set. The fields do not follow.
    using TBatchWalk = std::function<bool(const std::shared_ptr<const TRowStore>& rows,
                                          qsizetype first, qsizetype end)>;
    void WalkBatches(const TBatchWalk& each, const std::function<void()>& wait = {});
    // Whether the rows stay in the database (a server-side cursor) while the data set is open.
    bool ServerSide() const { return window_ != nullptr; }
    std::size_t MemoryUsed() const;
    // The row fields read: the one being drawn inside a TRowScope, the one a walk is at
    // (kWalkRow), else the current one; kNoRow when there is none.
    static constexpr qsizetype kNoRow = -1;
    static constexpr qsizetype kWalkRow = -2;
    qsizetype FieldRow() const {
        return scopeRow_ >= 0 ? scopeRow_ : walkStore_ ? kWalkRow : current_;
    }

    // Lets fields read another row for a while without moving the data set (a grid drawing
    // one cell); nothing is signalled.
    class TRowScope {
      public:
        TRowScope(TDataSet& dataSet, qsizetype row);
        ~TRowScope();
        TRowScope(const TRowScope&) = delete;
        TRowScope& operator=(const TRowScope&) = delete;

      private:
        TDataSet& dataSet_;
        qsizetype previous_;
    };

    // Reads the rows a scroll is about to show (first..last, from 0) under the busy wait,
    // reading the result again first when another program changed it; the grid then paints
    // them from the cache. Nothing for rows held already or a result held whole.
    void ReadShown(qsizetype first, qsizetype last);

    // Rows read per batch while opening.
    qsizetype FetchBatchSize() const { return batchSize_; }
    void SetFetchBatchSize(qsizetype rows) { batchSize_ = qMax<qsizetype>(1, rows); }
    std::function<void(qsizetype rowsSoFar)> OnFetchProgress;

  signals:
    void Opened();
    void Closed();
    // The current record moved (row from 0, -1 for none).
    void CurrentChanged(qsizetype row);
    void StateChanged(TDataSetState state);
    // Rows first..last come (a batch while loading, a new record) or go. "About to" comes
    // before the rows change, the other after; a batch while loading is signalled once read.
    void RowsAboutToBeInserted(qsizetype first, qsizetype last);
    void RowsInserted(qsizetype first, qsizetype last);
    void RowsAboutToBeRemoved(qsizetype first, qsizetype last);
    void RowsRemoved(qsizetype first, qsizetype last);
    // Values of one row changed (a field set, a post, a cancel).
    void RecordChanged(qsizetype row);
    // The result was read again: any row may hold other values (a change of the row count is
    // signalled before, at the end).
    void RowsReread();

  protected:
    // The result to read when opening.
    virtual std::unique_ptr<TResultCursor> OpenCursor() = 0;
    // The result as a server-side cursor; nothing (the default) reads it with OpenCursor.
    virtual std::unique_ptr<TScrollCursor> OpenScrollCursor() { return nullptr; }
    // The open database the data set reads from; raises EDatabaseError when there is none.
    virtual DbBackend& Engine() = 0;
    void CheckInactive() const;

  private:
    friend class TField;
    void OpenWindow(std::unique_ptr<TScrollCursor> cursor, quint64 load);
    void MakeFields(const TFieldDefs& defs, TUpdateResolver updateTarget);
    void StartBrowsing();
    void EndLoading(const TFieldDefs& defs);
    void ReadRows(TResultCursor& cursor, quint64 load);
    void ClearRows();
    qsizetype StoredRows() const;
    QVariantList StoredValues(qsizetype row) const;
    void ReplaceStored(qsizetype row, const QVariantList& values);
    void InsertStored(qsizetype row, const QVariantList& values);
    void RemoveStored(qsizetype row);
    // Reads a server-side result again and puts the current record on the row holding `key`
    // (when given and found) or on record number `near` + 1. Closes the data set when that
    // fails. `pumping` runs it under the busy wait; without, nothing else runs meanwhile (a
    // read asked for while the grid paints).
    void Reread(qsizetype near, const QVariantList& key, bool pumping);
    // Reads again when showing `row` needs a page and the cursor is stale.
    void Freshen(qsizetype row, bool pumping);
    // Reads the page of a row moved to under the busy wait, before the grid asks for it.
    void ReadAhead(qsizetype row);
    // The key values of a stored row, empty when the result has none or the row is not at hand.
    QVariantList KeyOfRow(qsizetype row);
    static void CheckLoad(const QPointer<TDataSet>& dataSet, quint64 load);
    void MoveTo(qsizetype row);
    void CheckModify() const;
    void SetState(TDataSetState state);
    void StartRecord(qsizetype row, const QVariantList& values, TDataSetState state);
    void InsertAt(qsizetype row);
    void RemoveRow(qsizetype row);
    void EndEdit();
    // Where a row's values are read: the edit buffer for the record being changed.
    const TRowStore& StoreOf(qsizetype row, qsizetype& at) const;
    void SetFieldValue(int index, const QVariant& value);

    bool active_ = false;
    TDataSetState state_ = dsInactive;
    TRowStore rows_;
    std::shared_ptr<TRowWindow> window_;  // the rows of a server-side cursor
    std::vector<std::unique_ptr<TField>> fields_;
    std::unique_ptr<TRecordWriter> writer_;
    qsizetype current_ = -1;
    qsizetype scopeRow_ = -1;
    bool bof_ = true, eof_ = true;
    int disableCount_ = 0;
    bool movedWhileDisabled_ = false;
    bool readOnly_ = false;
    qsizetype batchSize_ = 10000;
    // The batch a walk is in and its row there; none outside walks.
    const TRowStore* walkStore_ = nullptr;
    qsizetype walkAt_ = 0;
    // While the cursor reads for a walk, a new reading or a jump, rows it does not hold are not
    // read for the grid, which draws them again afterwards.
    bool cursorBusy_ = false;
    mutable bool drewUnread_ = false;
    TRowStore unreadRow_;  // what such a row draws: nothing
    quint64 opening_ = 0;  // tells bookmarks of an earlier opening apart
    quint64 loading_ = 0;  // the opening whose rows are being read; 0 when none

    // The record being edited or inserted: its values, which of them were set, and the same
    // values packed as one row for the fields to read.
    QVariantList buffer_;
    QList<bool> assigned_;
    TRowStore bufferRow_;
};
