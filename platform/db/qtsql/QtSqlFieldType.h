#pragma once

#include <QSqlField>
#include <QString>

#include "db/dataset/FieldDef.h"

// The field a Qt SQL driver column stands for. QPSQL reports PostgreSQL type ids and QODBC
// ODBC SQL types, with lengths in characters; other drivers go by the value type.
TFieldDef FieldDefFromSqlField(const QSqlField& field, const QString& driverName);
