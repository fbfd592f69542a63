#include "db/connection/AliasSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "db/connection/AliasFile.h"

QString DefaultAliasFileName() {
    const QString named = qEnvironmentVariable("QUORVA_ALIASES");
    if (!named.isEmpty())
        return named;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quorva/aliases.ini");
}

QStringList SampleDatabaseCandidates(const QString& programFolder) {
    const QString file = QLatin1String(kSampleDatabaseFile);
    const QDir program(programFolder);
    QStringList candidates{
        program.filePath(file),
        QDir::cleanPath(program.filePath(QStringLiteral("../share/quorva/") + file))};
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        candidates << QDir(folder).filePath(QStringLiteral("quorva/") + file);
    candidates.removeDuplicates();
    return candidates;
}

QString FindSampleDatabase(const QStringList& candidates) {
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isFile())
            return candidate;
    return {};
}

void InstallAliasFile() {
    SetAliasResolver(std::make_unique<TAliasFile>(
        DefaultAliasFileName(),
        FindSampleDatabase(SampleDatabaseCandidates(QCoreApplication::applicationDirPath()))));
}
