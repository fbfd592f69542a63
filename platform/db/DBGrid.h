#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QStyle>
#include <QTableView>
#include <functional>

#include "db/DBGridColumns.h"
#include "db/DataSource.h"

class TDBGridModel;

// A data grid: a table view over the data set of its data source, rebuilt when that data set
// opens or closes, following and moving its current record. Read-only unless told otherwise
// (editing through the grid is not offered yet). The object name is set by the owner.
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

    // Runs after the grid has drawn a cell itself (see TDBGridDelegate).
    std::function<void(QPainter& canvas, const QRect& rect, int column, TField& field,
                       QStyle::State state)>
        OnDrawColumnCell;

  private:
    void WatchDataSet();
    void Rebuild();
    void ShowColumn(int column);
    void FollowRecord(qsizetype row);
    void MoveRecord(const QModelIndex& current);

    QPointer<TDataSource> dataSource_;
    QPointer<TDataSet> watched_;
    QList<QMetaObject::Connection> watches_;
    QMetaObject::Connection sourceWatch_;
    TDBGridColumns columns_;
    TDBGridModel* model_;
    bool readOnly_ = true;
    bool following_ = false;
};
