#include "db/components/BDEQuery.h"

TQuery::TQuery(QObject* owner, const QString& name) : TCustomQuery(owner, name) {}
