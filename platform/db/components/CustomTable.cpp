#include "db/components/CustomTable.h"

#include "core/Exception.h"

void TCustomTable::SetTableName(const QString& name) {
    if (name == tableName_)
        return;
    CheckInactive();
    tableName_ = name;
}

QString TCustomTable::CheckedTableName() const {
    if (tableName_.isEmpty())
        throw EDatabaseError(QStringLiteral("No table name given"));
    return tableName_;
}

void TCustomTable::GetFieldNames(QStringList& list) {
    if (Active())
        return TDataSet::GetFieldNames(list);
    list.clear();
    for (const TFieldDef& def : Engine().FieldDefs(CheckedTableName()))
        list << def.Name;
}

std::unique_ptr<TResultCursor> TCustomTable::OpenCursor() {
    return Engine().OpenTable(CheckedTableName(), maxRecords_);
}
