#include "db/connection/AliasFile.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

#include "core/Exception.h"
#include "core/FileBytes.h"
#include "db/components/AliasConnection.h"

TAliasFile::TAliasFile(QString fileName, QString sampleDatabase)
    : fileName_(std::move(fileName)), sampleDatabase_(std::move(sampleDatabase)) {}

QStringList TAliasFile::AliasNames() const {
    QStringList names;
    for (const TIniSection& alias : Aliases())
        names << alias.name;
    return names;
}

std::optional<QString> TAliasFile::ConnectionString(const QString& name) const {
    for (const TIniSection& alias : Aliases()) {
        if (alias.name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (!QFileInfo::exists(fileName_) && sampleDatabase_.isEmpty())
            throw EDatabaseError(
                QStringLiteral("Alias \"%1\": the sample database %2 is not installed beside the "
                               "program nor in its share/quorva folder")
                    .arg(alias.name, QLatin1String(kSampleDatabaseFile)));
        return AliasConnectionString(alias, QFileInfo(fileName_).absolutePath());
    }
    return std::nullopt;
}

QList<TIniSection> TAliasFile::Aliases() const {
    if (!QFileInfo::exists(fileName_))
        return {{QLatin1String(kSampleAlias),
                 {{QStringLiteral("Driver"), QStringLiteral("SQLITE")},
                  {QStringLiteral("Path"), sampleDatabase_}}}};

    const TFileBytes file = ReadFileBytes(fileName_);
    if (!file.failure.isEmpty())
        throw EDatabaseError(
            QStringLiteral("Cannot read the alias file %1: %2").arg(fileName_, file.failure));

    QStringDecoder utf8(QStringDecoder::Utf8);
    QList<TIniSection> aliases;
    for (TIniSection& section : ParseIniSections(utf8(file.bytes))) {
        const bool repeated = std::any_of(aliases.begin(), aliases.end(), [&](const auto& seen) {
            return seen.name.compare(section.name, Qt::CaseInsensitive) == 0;
        });
        if (!repeated)
            aliases.append(std::move(section));
    }
    return aliases;
}
