#pragma once

#include <QString>

// A name as an SQL identifier in double quotes, inner quotes doubled: safe for any table name.
QString QuoteIdentifier(const QString& name);
