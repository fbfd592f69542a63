#include "db/connection/OdbcDataSources.h"

#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPair>

#include "core/FileBytes.h"

// The files are read here by unixODBC's rules rather than through its API: unixODBC keeps the
// system folder for the life of the process and answers from a cache for 20 seconds, so it
// would not see ODBCSYSINI change, nor a file just written.
namespace {

struct IniSection {
    QString name;
    QList<QPair<QString, QString>> entries;
};

QList<IniSection> ReadIni(const QString& path) {
    QList<IniSection> sections;
    // A file that cannot be read lists nothing, as unixODBC treats it.
    const TFileBytes file = ReadFileBytes(path);
    for (const QString& text : QString::fromUtf8(file.bytes).split(QLatin1Char('\n'))) {
        const QString line = text.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) ||
            line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype end = line.indexOf(QLatin1Char(']'));
            sections.append({line.mid(1, end < 0 ? -1 : end - 1).trimmed(), {}});
        } else if (!sections.isEmpty()) {
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            sections.last().entries.append(
                {line.left(equals).trimmed(),
                 equals < 0 ? QString() : line.mid(equals + 1).trimmed()});
        }
    }
    return sections;
}

const IniSection* FindSection(const QList<IniSection>& sections, const QString& name) {
    for (const IniSection& section : sections)
        if (section.name.compare(name, Qt::CaseInsensitive) == 0)
            return &section;
    return nullptr;
}

QString Entry(const IniSection& section, const QString& key) {
    for (const auto& [name, value] : section.entries)
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

QString Environment(const char* name) {
    return qEnvironmentVariable(name);
}

QString SystemFolder() {
    const QString folder = Environment("ODBCSYSINI");
    return folder.isEmpty() ? QStringLiteral("/etc") : folder;
}

// unixODBC finds the user's odbc.ini in the home folder of the account, whatever $HOME says.
QString AccountHome() {
    const passwd* account = getpwuid(getuid());
    return account && account->pw_dir ? QFile::decodeName(account->pw_dir)
                                      : QStringLiteral("/home");
}

// User files first: a user's data source hides a system one of the same name.
QStringList OdbcIniFiles() {
    QString user = Environment("ODBCINI");
    if (user.isEmpty())
        user = QDir(AccountHome()).filePath(QStringLiteral(".odbc.ini"));
    return {user, QDir(SystemFolder()).filePath(QStringLiteral("odbc.ini"))};
}

QStringList OdbcInstIniFiles() {
    QString system = Environment("ODBCINSTINI");
    if (system.isEmpty())
        system = QStringLiteral("odbcinst.ini");
    return {QDir::home().filePath(QStringLiteral(".odbcinst.ini")),
            QDir(SystemFolder()).filePath(system)};
}

bool IsDataSourceSection(const QString& name) {
    return name.compare(QStringLiteral("ODBC"), Qt::CaseInsensitive) != 0 &&
           name.compare(QStringLiteral("ODBC Data Sources"), Qt::CaseInsensitive) != 0;
}

bool IsMdbToolsLibrary(const QString& path) {
    return QFileInfo(path).fileName().startsWith(QStringLiteral("libmdbodbc"), Qt::CaseInsensitive);
}

}  // namespace

QList<TOdbcDataSource> OdbcDataSources() {
    QList<TOdbcDataSource> sources;
    QStringList seen;
    for (const QString& file : OdbcIniFiles()) {
        for (const IniSection& section : ReadIni(file)) {
            if (!IsDataSourceSection(section.name) ||
                seen.contains(section.name, Qt::CaseInsensitive))
                continue;
            seen.append(section.name);
            sources.append({section.name, Entry(section, QStringLiteral("Driver")),
                            Entry(section, QStringLiteral("Description"))});
        }
    }
    return sources;
}

QList<QPair<QString, QString>> OdbcDataSourceAttributes(const QString& dataSource) {
    for (const QString& file : OdbcIniFiles()) {
        const QList<IniSection> sections = ReadIni(file);
        if (const IniSection* section = FindSection(sections, dataSource))
            return section->entries;
    }
    return {};
}

QString OdbcDataSourceAttribute(const QString& dataSource, const QString& attribute) {
    for (const auto& [name, value] : OdbcDataSourceAttributes(dataSource))
        if (name.compare(attribute, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

bool IsMdbToolsDriver(const QString& driver) {
    const QString name = driver.trimmed();
    if (name.isEmpty())
        return false;
    if (IsMdbToolsLibrary(name) ||
        name.compare(QStringLiteral("MDBTools"), Qt::CaseInsensitive) == 0 ||
        name.compare(QStringLiteral("MDB Tools"), Qt::CaseInsensitive) == 0)
        return true;
    // A driver registered under a name of the user's choosing.
    for (const QString& file : OdbcInstIniFiles()) {
        const QList<IniSection> sections = ReadIni(file);
        if (const IniSection* section = FindSection(sections, name))
            return IsMdbToolsLibrary(Entry(*section, QStringLiteral("Driver"))) ||
                   IsMdbToolsLibrary(Entry(*section, QStringLiteral("Driver64")));
    }
    return false;
}
