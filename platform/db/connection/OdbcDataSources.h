#pragma once

#include <QList>
#include <QPair>
#include <QString>

// ODBC data sources as unixODBC knows them: the user's odbc.ini ($ODBCINI, else .odbc.ini in
// the account's home folder, not $HOME) before the system's ($ODBCSYSINI/odbc.ini, else
// /etc/odbc.ini); drivers from ~/.odbcinst.ini and $ODBCSYSINI/odbcinst.ini ($ODBCINSTINI names
// another file there). The environment is read on every call, so a changed ODBCSYSINI counts
// at once.
struct TOdbcDataSource {
    QString Name;
    QString Driver;
    QString Description;
};

QList<TOdbcDataSource> OdbcDataSources();
// One attribute of a data source ("Database", "Driver", ...); empty when absent.
QString OdbcDataSourceAttribute(const QString& dataSource, const QString& attribute);
// All attributes of a data source, in the order of its section; empty when it is unknown.
QList<QPair<QString, QString>> OdbcDataSourceAttributes(const QString& dataSource);
// Whether a driver (name or library path) is the MDB Tools driver, which the program reads
// through mdbtools' own library instead.
bool IsMdbToolsDriver(const QString& driver);
