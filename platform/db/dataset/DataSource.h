#pragma once

#include <QObject>
#include <QPointer>

#include "db/dataset/DataSet.h"

// Connects data-aware controls to a data set. The object name is the component name.
class TDataSource : public QObject {
    Q_OBJECT
  public:
    explicit TDataSource(QObject* owner = nullptr, const QString& name = {});

    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);

  signals:
    // Another data set, none, or the data set was destroyed.
    void DataSetChanged();

  private:
    QPointer<TDataSet> dataSet_;
    QMetaObject::Connection destroyedWatch_;
};
