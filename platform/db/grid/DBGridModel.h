#pragma once

#include <exception>

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

#include "db/grid/DBGridColumns.h"
#include "db/dataset/DataSet.h"

// The rows of a data grid's data set as a Qt model, read from the packed rows only when the
// view asks for a cell. Memo and binary cells show "(MEMO)" and "(BLOB)". The model follows
// the data set's rows as they arrive, come and go; it counts only rows it was told of, so a
// view never sees a row before it is announced. While editable, cells other than binary ones
// take typed text into the data set's record (starting an edit); the grid posts it.
class TDBGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit TDBGridModel(TDBGridColumns& columns, QObject* parent = nullptr);

    // Starts over with the data set's present state (opened, closed or another one).
    void Reset(TDataSet* dataSet);
    TDataSet* DataSet() const { return dataSet_; }
    // A column's looks changed.
    void ColumnChanged(int column);
    bool Editable() const { return editable_; }
    void SetEditable(bool editable);

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

  private:
    void Watch();
    void ReadFailed(const std::exception& error) const;
    void TakeText(int row, TField& field, const QString& text);

    TDBGridColumns& columns_;
    QPointer<TDataSet> dataSet_;
    QList<QMetaObject::Connection> watches_;
    int rows_ = 0;
    bool editable_ = false;
    mutable bool readFailing_ = false;
};
