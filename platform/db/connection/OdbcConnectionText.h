#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The connection string an ODBC driver manager reads, "KEY=value;KEY={value}": a value holding
// ";", a brace or blanks at either end goes in braces with every "}" doubled, and the driver's
// name always does. A value that is already in braces, as ODBC users write driver names
// ("Driver={PostgreSQL Unicode}"), is taken as written rather than braced twice.
QString OdbcConnectionText(const QList<QPair<QString, QString>>& keys);

// Whether a value is one braced ODBC value: "{", then text whose "}" are doubled, then "}".
bool IsBracedOdbcValue(const QString& value);
