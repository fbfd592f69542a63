#include "db/components/ADOQuery.h"

TADOQuery::TADOQuery(QObject* owner, const QString& name) : TCustomQuery(owner, name) {}
