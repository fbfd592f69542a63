#pragma once

#include <QAbstractItemDelegate>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <functional>

#include "db/dataset/DataSource.h"
#include "db/grid/DBGridColumns.h"

class TDBGridModel;

// A data grid: a table view over the data set of its data source, rebuilt when that data set
// opens or closes, following and moving its current record. The object name is set by the
// owner.
//
// Read-only unless told otherwise. An editable grid changes the data set's records the way
// data grids always have: typing or F2 or a double click edits a cell, Insert adds a record
// before the current one and Down on the last row one at the end, Delete (or Ctrl+Delete)
// deletes the selected rows after asking "Delete record?" (or "Delete all selected
// records?"). Enter, and leaving the row, post the record; Esc cancels it (a new record not
// yet posted disappears), and so does focus leaving the grid for another control while the
// new record is untouched. A refused post is reported in the error box and the record goes
// back to what the database holds. Memo cells and long or multi-line text are edited in a
// text box where Enter starts a new line; binary cells are not editable.
//
// While its data set loads a large result, the grid shows the first rows at once and lets
// pending events other than user input run every so often, so that the window repaints.
//
// Of a result with more rows than its model's window, the view holds only the window; a scroll
// bar of the grid's own, in place of the view's, runs over all the rows and moves the window
// as the user scrolls, types or the data set moves.
class TRowScrollBar;

class TDBGrid : public QTableView {
    Q_OBJECT
  public:
    explicit TDBGrid(QWidget* parent = nullptr);
    ~TDBGrid() override;

    TDataSource* DataSource() const { return dataSource_; }
    void SetDataSource(TDataSource* dataSource);
    // The data set shown, through the data source; may be null.
    TDataSet* DataSet() const;

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);

    TDBGridColumns& Columns() { return columns_; }
    const TDBGridColumns& Columns() const { return columns_; }
    TDBGridModel& Model() const { return *model_; }
    // The bar over all the rows, shown while the result is larger than the view's window.
    QScrollBar* RowBar() const;

    // Runs after the grid has drawn a cell itself (see TDBGridDelegate).
    std::function<void(QPainter& canvas, const QRect& rect, int column, TField& field,
                       QStyle::State state)>
        OnDrawColumnCell;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void WatchDataSet();
    void Rebuild();
    void ShowColumn(int column);
    void FollowRecord(qsizetype row);
    void MoveRecord(const QModelIndex& current);
    bool Editing() const;
    // Posts a modified record; a refused one is cancelled before the error goes on.
    void PostRecord();
    // Leaving the row: posts a modified record, drops an untouched one.
    void LeaveRecord();
    bool HandleEditKey(QKeyEvent* event);
    void DeleteSelectedRecords();
    QList<qsizetype> SelectedRows() const;
    void KeepResponsive(bool now);
    // Shows the rows from `top` on, moving the model's window when they near its edge.
    void ShowRowsFrom(qsizetype top);
    void UpdateRowBar();
    // The current record's cell again, after the window had left it behind.
    void RestoreCurrent();

    QPointer<TDataSource> dataSource_;
    QPointer<TDataSet> watched_;
    QList<QMetaObject::Connection> watches_;
    QMetaObject::Connection sourceWatch_;
    TDBGridColumns columns_;
    TDBGridModel* model_;
    bool readOnly_ = true;
    bool following_ = false;
    QElapsedTimer sinceEvents_;
    QPointer<TRowScrollBar> rowBar_;
    bool scrolling_ = false;
    int currentColumn_ = 0;
};
