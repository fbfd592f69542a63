#pragma once

#include <QStringList>

#include "db/dataset/DataSet.h"

// What the ADO table and the alias table share: all rows of one table by name (or the first
// MaxRecords), and its field names from the definition alone.
class TCustomTable : public TDataSet {
    Q_OBJECT
  public:
    using TDataSet::TDataSet;

    QString TableName() const { return tableName_; }
    // Only while closed; raises EDatabaseError on an open table.
    void SetTableName(const QString& name);
    // At most this many records are read; 0 reads all.
    int MaxRecords() const { return maxRecords_; }
    void SetMaxRecords(int count) { maxRecords_ = qMax(0, count); }

    // Field names in table order. A closed table stays closed: only its definition is read.
    void GetFieldNames(QStringList& list);

  protected:
    std::unique_ptr<TResultCursor> OpenCursor() override;
    // The table's name, refused when there is none.
    QString CheckedTableName() const;

  private:
    QString tableName_;
    int maxRecords_ = 0;
};
