#include <QFile>
#include <QFileInfo>

#include "core/Exception.h"
#include "db/access/AccessBackend.h"
#include "db/DbBackend.h"
#include "db/connection/OdbcConnectionText.h"
#include "db/connection/OdbcDataSources.h"
#include "db/qtsql/QtSqlBackend.h"
#include "db/sqlite/SqliteBackend.h"

namespace {

bool Is(const QString& value, const char* name) {
    return value.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// The first of several keys that has a value.
QString FirstOf(const TConnectionString& params, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        const QString value = params.Value(QLatin1String(key)).trimmed();
        if (!value.isEmpty())
            return value;
    }
    return {};
}

// A password is taken as given, blanks and all; an empty "Password=" is an empty password.
QString PasswordOf(const TConnectionString& params) {
    return params.Has(QStringLiteral("Password")) ? params.Value(QStringLiteral("Password"))
                                                  : params.Value(QStringLiteral("PWD"));
}

std::unique_ptr<DbBackend> FileBackend(const QString& fileName) {
    if (fileName.isEmpty())
        throw EDatabaseError(QStringLiteral("No database file given (Data Source)"));
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile())
        throw EDatabaseError(QStringLiteral("Database file not found: %1").arg(fileName));
    if (!file.open(QIODevice::ReadOnly))
        throw EDatabaseError(
            QStringLiteral("Cannot read %1: %2").arg(fileName, file.errorString()));
    const QByteArray header = file.read(32);
    if (header.startsWith(QByteArray("SQLite format 3\0", 16)))
        return std::make_unique<SqliteBackend>(fileName);
    const QByteArray signature = header.mid(4, 15);
    if (signature == "Standard Jet DB" || signature == "Standard ACE DB")
        return CreateAccessBackend(fileName);
    throw EDatabaseError(QStringLiteral("%1 is not a database").arg(fileName));
}

std::unique_ptr<DbBackend> PostgresBackend(const TConnectionString& params) {
    TQtSqlTarget target;
    target.driver = QStringLiteral("QPSQL");
    target.host = FirstOf(params, {"Host", "Server"});
    const QString port = FirstOf(params, {"Port"});
    if (!port.isEmpty()) {
        bool ok = false;
        target.port = port.toInt(&ok);
        if (!ok || target.port <= 0)
            throw EDatabaseError(QStringLiteral("Invalid port number: %1").arg(port));
    }
    target.databaseName = FirstOf(params, {"Database", "Initial Catalog"});
    target.userName = FirstOf(params, {"User ID", "User", "UID"});
    target.password = PasswordOf(params);
    return std::make_unique<QtSqlBackend>(target);
}

// Keys read here, or ADO's own, which never reach the ODBC driver as they stand.
bool IsAdoKey(const QString& key) {
    for (const char* name :
         {"Provider", "Data Source", "DSN", "Initial Catalog", "User ID", "UID", "Password", "PWD",
          "Persist Security Info", "Extended Properties", "Mode"})
        if (Is(key, name))
            return true;
    return false;
}

// ODBC users write "DSN=", "UID=" and "PWD="; ADO's own names come first when both are given.
std::unique_ptr<DbBackend> OdbcBackend(const TConnectionString& params) {
    const QString dataSource = FirstOf(params, {"Data Source", "DSN"});
    const QString catalog = params.Value(QStringLiteral("Initial Catalog")).trimmed();
    const QString extended = params.Value(QStringLiteral("Extended Properties")).trimmed();
    QList<QPair<QString, QString>> passThrough;
    for (const auto& [key, value] : params.Items())
        if (!IsAdoKey(key))
            passThrough.append({key, value});
    if (dataSource.isEmpty() && passThrough.isEmpty() && extended.isEmpty())
        throw EDatabaseError(QStringLiteral("No ODBC data source given (DSN or Data Source)"));

    if (!dataSource.isEmpty()) {
        bool known = false;
        for (const TOdbcDataSource& source : OdbcDataSources())
            known = known || source.Name.compare(dataSource, Qt::CaseInsensitive) == 0;
        if (!known)
            throw EDatabaseError(QStringLiteral("ODBC data source '%1' not found").arg(dataSource));
        // Qt's ODBC driver crashes on the MDB Tools driver; its files go to mdbtools directly.
        if (IsMdbToolsDriver(OdbcDataSourceAttribute(dataSource, QStringLiteral("Driver")))) {
            const QString file =
                catalog.isEmpty() ? OdbcDataSourceAttribute(dataSource, QStringLiteral("Database"))
                                  : catalog;
            if (file.isEmpty())
                throw EDatabaseError(
                    QStringLiteral("ODBC data source '%1' names no database file").arg(dataSource));
            return CreateAccessBackend(file);
        }
    }
    TQtSqlTarget target;
    target.driver = QStringLiteral("QODBC");
    target.userName = FirstOf(params, {"User ID", "UID"});
    target.password = PasswordOf(params);
    if (passThrough.isEmpty() && extended.isEmpty()) {
        // A data source by name alone goes through unixODBC's plain connect.
        target.databaseName = dataSource;
        if (!catalog.isEmpty())
            target.connectOptions = QStringLiteral("SQL_ATTR_CURRENT_CATALOG=") + catalog;
        return std::make_unique<QtSqlBackend>(target);
    }
    // Qt's ODBC driver takes the name as a connection string only when it holds DRIVER= or
    // SERVER= (else it puts "DSN=" before it): the data source's own settings go to the driver
    // with its DRIVER=, the string's keys in place of the settings they name.
    QList<QPair<QString, QString>> keys;
    if (!dataSource.isEmpty())
        keys = OdbcDataSourceAttributes(dataSource);
    if (!catalog.isEmpty())
        passThrough.prepend({QStringLiteral("DATABASE"), catalog});
    for (const auto& [key, value] : passThrough) {
        keys.removeIf([&](const QPair<QString, QString>& item) {
            return item.first.compare(key, Qt::CaseInsensitive) == 0;
        });
        keys.append({key, value});
    }
    QStringList odbc;
    if (!keys.isEmpty())
        odbc << OdbcConnectionText(keys);
    if (!extended.isEmpty())
        odbc << extended;
    target.databaseName = odbc.join(QLatin1Char(';'));
    return std::make_unique<QtSqlBackend>(target);
}

}  // namespace

std::unique_ptr<DbBackend> CreateBackend(const TConnectionString& params) {
    const QString provider = params.Value(QStringLiteral("Provider")).trimmed();
    // As in ADO, a string without a provider is meant for the ODBC provider.
    if (provider.isEmpty())
        return OdbcBackend(params);
    if (Is(provider, "SQLite")) {
        const QString file = params.Value(QStringLiteral("Data Source")).trimmed();
        if (file.isEmpty())
            throw EDatabaseError(QStringLiteral("No database file given (Data Source)"));
        return std::make_unique<SqliteBackend>(file);
    }
    if (Is(provider, "PostgreSQL"))
        return PostgresBackend(params);
    if (Is(provider, "MSDASQL.1") || Is(provider, "MSDASQL"))
        return OdbcBackend(params);
    if (Is(provider, "Microsoft.Jet.OLEDB.4.0"))
        return FileBackend(params.Value(QStringLiteral("Data Source")).trimmed());
    if (Is(provider, "MSDAORA.1") || Is(provider, "MSDAORA"))
        return OdbcBackend(params);
    throw EDatabaseError(QStringLiteral("Provider cannot be found: %1").arg(provider));
}
