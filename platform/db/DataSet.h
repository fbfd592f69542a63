#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "db/DbBackend.h"
#include "db/Field.h"
#include "db/RowStore.h"

// A place in a data set to come back to. Taken with GetBookmark, released with FreeBookmark.
class TBookmark {
  public:
    bool IsValid() const { return row_ >= 0; }

  private:
    friend class TDataSet;
    qsizetype row_ = -1;
    quint64 opening_ = 0;
};

// Rows of a query or table, all kept in memory so that RecordCount is exact and bookmarks
// work. Records are numbered from 1 (RecNo), rows from 0. Opening reads the result in
// batches; OnFetchProgress runs after each one. While controls are disabled, moving through
// the records tells no one (CurrentChanged waits until EnableControls). User-interface
// thread only. The object name is the component name; the parent is the owner.
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

    int FieldCount() const { return int(fields_.size()); }
    TField& Fields(int index) const;
    // Case-insensitive; raises "Field '%s' not found".
    TField& FieldByName(const QString& name) const;
    TField* FindField(const QString& name) const;
    void GetFieldNames(QStringList& list) const;

    const TRowStore& Rows() const { return rows_; }
    // The row fields read: the one being drawn inside a TRowScope, else the current one; -1
    // when there is none.
    qsizetype FieldRow() const { return scopeRow_ >= 0 ? scopeRow_ : current_; }

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

    // Rows read per batch while opening.
    qsizetype FetchBatchSize() const { return batchSize_; }
    void SetFetchBatchSize(qsizetype rows) { batchSize_ = qMax<qsizetype>(1, rows); }
    std::function<void(qsizetype rowsSoFar)> OnFetchProgress;

  signals:
    void Opened();
    void Closed();
    // The current record moved (row from 0, -1 for none).
    void CurrentChanged(qsizetype row);

  protected:
    // The result to read when opening.
    virtual std::unique_ptr<TResultCursor> OpenCursor() = 0;
    void CheckInactive() const;

  private:
    void MoveTo(qsizetype row);

    bool active_ = false;
    TRowStore rows_;
    std::vector<std::unique_ptr<TField>> fields_;
    qsizetype current_ = -1;
    qsizetype scopeRow_ = -1;
    bool bof_ = true, eof_ = true;
    int disableCount_ = 0;
    bool movedWhileDisabled_ = false;
    qsizetype batchSize_ = 10000;
    quint64 opening_ = 0;  // tells bookmarks of an earlier opening apart
};
