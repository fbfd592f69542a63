// Arbitrary bytes as the alias file: every alias it lists can be asked for, and the connection
// string an alias stands for is a valid one that carries the alias's values unchanged.
#include <QByteArray>
#include <QDir>
#include <QSet>
#include <QString>
#include <QStringDecoder>
#include <cstddef>
#include <cstdint>

#include "ConnectionStringCheck.h"
#include "db/connection/AliasFile.h"
#include "db/connection/IniSections.h"

namespace {

using fuzz::Require;

// Bounds the work one input can ask for.
constexpr int kMaxAliases = 16;

const TIniSection* FirstSection(const QList<TIniSection>& sections, const QString& name) {
    for (const TIniSection& section : sections)
        if (section.name.compare(name, Qt::CaseInsensitive) == 0)
            return &section;
    return nullptr;
}

// The value a key of the alias must arrive with under a key of the connection string.
void RequireCarried(const TIniSection& alias, const char* key, const TConnectionString& parsed,
                    const char* connectionKey, bool trimmed) {
    const QString name = QLatin1String(key), connectionName = QLatin1String(connectionKey);
    if (!alias.Has(name))
        return;
    const QString value = trimmed ? alias.Value(name).trimmed() : alias.Value(name);
    Require(parsed.Value(connectionName) == value, "an alias value changed on its way");
}

void CheckAlias(const TIniSection& alias, const QString& connection) {
    const std::optional<TConnectionString> parsed = fuzz::ParseConnectionString(connection);
    Require(parsed.has_value(), "an alias stands for text that is no connection string");
    fuzz::CheckConnectionString(*parsed);
    const QString driver = alias.Value(QStringLiteral("Driver")).trimmed().toUpper();
    const QString provider = parsed->Value(QStringLiteral("Provider"));
    if (driver == QLatin1String("SQLITE") || driver == QLatin1String("ACCESS")) {
        const QString path = parsed->Value(QStringLiteral("Data Source"));
        Require(QDir::isAbsolutePath(path) && QDir::cleanPath(path) == path,
                "a database file of an alias is no clean absolute path");
    } else if (driver == QLatin1String("PGSQL")) {
        Require(provider == QLatin1String("PostgreSQL"), "a PGSQL alias has another provider");
        RequireCarried(alias, "Database", *parsed, "Database", true);
        RequireCarried(alias, "Host", *parsed, "Host", false);
        RequireCarried(alias, "User", *parsed, "User ID", false);
        RequireCarried(alias, "Password", *parsed, "Password", false);
    } else {
        Require(driver == QLatin1String("ODBC"), "an alias of an unknown driver was opened");
        RequireCarried(alias, "DSN", *parsed, "Data Source", true);
        RequireCarried(alias, "Database", *parsed, "Initial Catalog", false);
        RequireCarried(alias, "User", *parsed, "User ID", false);
        RequireCarried(alias, "Password", *parsed, "Password", false);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = fuzz::ScratchFile(QStringLiteral("aliases.ini"));
    fuzz::WriteFile(path, bytes);
    const TAliasFile file(path, QStringLiteral("/usr/share/quorva/quorva-sample.sqlite"));

    QStringList names;
    try {
        names = file.AliasNames();
    } catch (const EDatabaseError&) {
        Require(false, "an alias file that exists could not be read");
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QList<TIniSection> sections = ParseIniSections(utf8(bytes));
    QSet<QString> folded;
    for (const QString& name : names) {
        Require(!name.isEmpty() && name == name.trimmed(), "an alias name is empty or not trimmed");
        Require(!folded.contains(name.toCaseFolded()), "an alias is listed twice");
        folded.insert(name.toCaseFolded());
    }

    int asked = 0;
    for (const QString& name : names) {
        if (++asked > kMaxAliases)
            break;
        const TIniSection* alias = FirstSection(sections, name);
        Require(alias != nullptr, "a listed alias has no section");
        std::optional<QString> connection;
        try {
            connection = file.ConnectionString(name);
        } catch (const EDatabaseError&) {
            continue;  // an alias with an unknown driver or without its keys
        }
        Require(connection.has_value(), "a listed alias cannot be found");
        CheckAlias(*alias, *connection);
    }
    const QString unknown = QStringLiteral("not an alias \u0001");
    if (!folded.contains(unknown.toCaseFolded()))
        Require(!file.ConnectionString(unknown), "an alias that is not listed was found");
    return 0;
}
