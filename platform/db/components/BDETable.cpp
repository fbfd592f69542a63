#include "db/components/BDETable.h"

TTable::TTable(QObject* owner, const QString& name) : TCustomTable(owner, name) {}
