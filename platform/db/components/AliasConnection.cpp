#include "db/components/AliasConnection.h"

#include <QDir>

#include "core/Exception.h"
#include "db/connection/ConnectionString.h"

namespace {

const QString kDrivers = QStringLiteral("SQLITE, PGSQL, ODBC or ACCESS");

[[noreturn]] void Refuse(const TIniSection& alias, const QString& problem) {
    throw EDatabaseError(QStringLiteral("Alias \"%1\": %2").arg(alias.name, problem));
}

QString Required(const TIniSection& alias, const QString& driver, const QString& key) {
    const QString value = alias.Value(key).trimmed();
    if (value.isEmpty())
        Refuse(alias, QStringLiteral("the %1 driver needs %2=").arg(driver, key));
    return value;
}

QString FilePath(const TIniSection& alias, const QString& driver, const QString& folder) {
    QString path = Required(alias, driver, QStringLiteral("Path"));
    if (path.startsWith(QLatin1String("~/")))
        path = QDir::home().filePath(path.mid(2));
    return QDir::cleanPath(QDir(folder).absoluteFilePath(path));
}

// Copies an optional key under the name the connection string gives it.
void CopyIfSet(const TIniSection& alias, const QString& key, TConnectionString& connection,
               const QString& connectionKey) {
    if (alias.Has(key))
        connection.Set(connectionKey, alias.Value(key));
}

}  // namespace

QString AliasConnectionString(const TIniSection& alias, const QString& folder) {
    const QString driver = alias.Value(QStringLiteral("Driver")).trimmed().toUpper();
    TConnectionString connection;
    if (driver == QLatin1String("SQLITE") || driver == QLatin1String("ACCESS")) {
        // The Jet provider tells an Access file from an SQLite one by its header.
        connection.Set(QStringLiteral("Provider"), driver == QLatin1String("SQLITE")
                                                       ? QStringLiteral("SQLite")
                                                       : QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
        connection.Set(QStringLiteral("Data Source"), FilePath(alias, driver, folder));
    } else if (driver == QLatin1String("PGSQL")) {
        const QString database = Required(alias, driver, QStringLiteral("Database"));
        const QString port = alias.Value(QStringLiteral("Port")).trimmed();
        bool numeric = false;
        const int number = port.toInt(&numeric);
        if (!port.isEmpty() && (!numeric || number <= 0 || number > 65535))
            Refuse(alias, QStringLiteral("Port=%1 is no port number").arg(port));
        connection.Set(QStringLiteral("Provider"), QStringLiteral("PostgreSQL"));
        CopyIfSet(alias, QStringLiteral("Host"), connection, QStringLiteral("Host"));
        if (!port.isEmpty())
            connection.Set(QStringLiteral("Port"), port);
        connection.Set(QStringLiteral("Database"), database);
        CopyIfSet(alias, QStringLiteral("User"), connection, QStringLiteral("User ID"));
        CopyIfSet(alias, QStringLiteral("Password"), connection, QStringLiteral("Password"));
    } else if (driver == QLatin1String("ODBC")) {
        connection.Set(QStringLiteral("Provider"), QStringLiteral("MSDASQL.1"));
        connection.Set(QStringLiteral("Data Source"),
                       Required(alias, driver, QStringLiteral("DSN")));
        CopyIfSet(alias, QStringLiteral("Database"), connection, QStringLiteral("Initial Catalog"));
        CopyIfSet(alias, QStringLiteral("User"), connection, QStringLiteral("User ID"));
        CopyIfSet(alias, QStringLiteral("Password"), connection, QStringLiteral("Password"));
    } else if (driver.isEmpty()) {
        Refuse(alias, QStringLiteral("no Driver= given (use %1)").arg(kDrivers));
    } else {
        Refuse(alias, QStringLiteral("unknown driver \"%1\" (use %2)")
                          .arg(alias.Value(QStringLiteral("Driver")).trimmed(), kDrivers));
    }
    return connection.ToString();
}
