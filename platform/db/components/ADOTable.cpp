#include "db/components/ADOTable.h"

TADOTable::TADOTable(QObject* owner, const QString& name) : TCustomTable(owner, name) {}
