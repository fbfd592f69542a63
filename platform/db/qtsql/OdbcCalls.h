#pragma once

#include <QSet>
#include <QString>

class QSqlDriver;

// What an ODBC driver says about the SQL it reads (SQLGetInfo on the connection behind a QODBC
// driver).
struct TOdbcSqlRules {
    QString quote;              // the identifier quote character; empty when there is none
    bool foldsToUpper = false;  // bare names read as upper case (SQL_IC_UPPER)
    bool foldsToLower = false;  // bare names read as lower case (SQL_IC_LOWER)
    QSet<QString> keywords;     // the driver's own keywords beyond ODBC's, upper case
};

TOdbcSqlRules OdbcSqlRules(const QSqlDriver& driver);

// The number of result columns of `sql` as the driver describes it once prepared (SQLPrepare,
// SQLNumResultCols), without executing it; 0 for a statement without rows. Raises
// EDatabaseError with the driver's message when it refuses the text.
int OdbcResultColumns(const QSqlDriver& driver, const QString& sql);
