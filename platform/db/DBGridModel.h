#pragma once

#include <QAbstractTableModel>
#include <QPointer>

#include "db/DBGridColumns.h"
#include "db/DataSet.h"

// The rows of a data grid's data set as a read-only Qt model, read from the packed rows only
// when the view asks for a cell. Memo and binary cells show "(MEMO)" and "(BLOB)".
class TDBGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit TDBGridModel(TDBGridColumns& columns, QObject* parent = nullptr);

    // Starts over with the data set's present state (opened, closed or another one).
    void Reset(TDataSet* dataSet);
    TDataSet* DataSet() const { return dataSet_; }
    // A column's looks changed.
    void ColumnChanged(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The text the grid itself shows for a cell.
    static QString CellText(const TField& field, qsizetype row);

  private:
    TDBGridColumns& columns_;
    QPointer<TDataSet> dataSet_;
};
