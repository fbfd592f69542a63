#pragma once

#include <QList>
#include <QString>

#include "db/connection/AliasResolver.h"
#include "db/connection/IniSections.h"

// The alias of the bundled sample database and the name of its file.
inline constexpr char kSampleAlias[] = "QuorvaSample";
inline constexpr char kSampleDatabaseFile[] = "quorva-sample.sqlite";

// Aliases from a per-user INI file, one section per alias (AliasConnection.h tells the keys).
// The file is read afresh whenever names or an alias are asked for, and never written. While
// it does not exist, the one alias is kSampleAlias for the sample database. Of sections with
// the same name (compared case-insensitively) the first counts.
class TAliasFile : public TAliasResolver {
  public:
    // An empty `sampleDatabase` means it was not found; opening its alias then says so.
    TAliasFile(QString fileName, QString sampleDatabase);

    const QString& FileName() const { return fileName_; }
    // Both raise EDatabaseError when the file exists but cannot be read or is no regular file
    // of a sensible size; ConnectionString also
    // for an alias whose driver is unknown or whose keys are incomplete.
    QStringList AliasNames() const override;
    std::optional<QString> ConnectionString(const QString& alias) const override;

  private:
    QList<TIniSection> Aliases() const;

    QString fileName_;
    QString sampleDatabase_;
};
