#pragma once

#include <exception>

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

#include "db/dataset/DataSet.h"
#include "db/grid/DBGridColumns.h"

// The rows of a data grid's data set as a Qt model, read from the packed rows only when the
// view asks for a cell. Memo and binary cells show "(MEMO)" and "(BLOB)". The model follows
// the data set's rows as they arrive, come and go; it counts only rows it was told of, so a
// view never sees a row before it is announced. While editable, cells other than binary ones
// take typed text into the data set's record (starting an edit); the grid posts it.
//
// A view keeps bookkeeping for every row of its model (8 bytes a row in its header: 400 MB for
// 50 million rows, and the time to build it before the count shows). So the model shows the
// view a window of at most kWindowRows consecutive rows of the data set; model row r is data
// set row FirstRow() + r. The grid moves the window as the user scrolls and keeps a scroll bar
// of its own over all the rows.
class TDBGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int kWindowRows = 100000;
    // Rows kept in the window on either side of what is shown, where there are.
    static constexpr int kWindowMargin = 2000;

    explicit TDBGridModel(TDBGridColumns& columns, QObject* parent = nullptr);

    // Starts over with the data set's present state (opened, closed or another one).
    void Reset(TDataSet* dataSet);
    TDataSet* DataSet() const { return dataSet_; }
    // A column's looks changed.
    void ColumnChanged(int column);
    bool Editable() const { return editable_; }
    void SetEditable(bool editable);

    // All rows of the data set the model was told of.
    qsizetype Rows() const { return count_; }
    // The data set's row shown as model row 0.
    qsizetype FirstRow() const { return base_; }
    // Not every row is in the window.
    bool Windowed() const { return count_ > span_; }
    qsizetype DataRow(int modelRow) const { return base_ + modelRow; }
    // The model row of a data set's row; -1 outside the window.
    int ModelRow(qsizetype row) const;
    // Moves the window so that it holds the rows first..last and a margin around them, where
    // the data set has them; true when it moved. Persistent indexes (the current cell, the
    // selection) follow their rows and are dropped when their rows leave the window.
    bool Reach(qsizetype first, qsizetype last);
    // Moves the window to start at `first`, or as near as the rows allow.
    void MoveWindow(qsizetype first);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Typed text into a cell; a refused value is reported in the error box and leaves the
    // record as it was.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The text the grid itself shows for a cell: placeholders for memo and binary fields, and
    // of a long text its first thousand characters (more never fit a cell).
    static QString CellText(const TField& field, qsizetype row);
    // The field shown in a column; null when there is none.
    TField* FieldOf(int column) const;
    // Reading a shown row failed (a server-side result whose connection broke): the data set
    // is about to be closed, with the error shown once.
    bool ReadFailing() const { return readFailing_; }

  signals:
    // The count of rows or the window over them changed.
    void WindowChanged();
    // Rows were announced and taken in (while a data set loads, the grid lets the window paint).
    void RowsCounted();

  private:
    void Watch();
    void RowsComing(qsizetype first, qsizetype last);
    void RowsCame(qsizetype first, qsizetype last);
    void RowsLeaving(qsizetype first, qsizetype last);
    void RowsLeft(qsizetype first, qsizetype last);
    // After rows left, takes rows beside the window back in to fill it.
    void Refill();
    void ReadFailed(const std::exception& error) const;
    void TakeText(qsizetype row, TField& field, const QString& text);

    TDBGridColumns& columns_;
    QPointer<TDataSet> dataSet_;
    QList<QMetaObject::Connection> watches_;
    qsizetype count_ = 0;
    qsizetype base_ = 0;
    int span_ = 0;
    // Model rows announced by RowsComing/RowsLeaving, to end in RowsCame/RowsLeft.
    int pendingRows_ = 0;
    bool editable_ = false;
    mutable bool readFailing_ = false;
};
