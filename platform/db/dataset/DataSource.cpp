#include "db/dataset/DataSource.h"

TDataSource::TDataSource(QObject* owner, const QString& name) : QObject(owner) {
    setObjectName(name);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (dataSet == dataSet_)
        return;
    disconnect(destroyedWatch_);
    dataSet_ = dataSet;
    if (dataSet_)
        destroyedWatch_ = connect(dataSet_, &QObject::destroyed, this, [this] {
            dataSet_ = nullptr;
            emit DataSetChanged();
        });
    emit DataSetChanged();
}
