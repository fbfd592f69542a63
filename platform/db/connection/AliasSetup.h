#pragma once

#include <QString>
#include <QStringList>

// The alias file of this user: the file named by $QUORVA_ALIASES, else Quorva/aliases.ini in
// the user's configuration folder ($XDG_CONFIG_HOME, ~/.config by default).
QString DefaultAliasFileName();

// Where the sample database may be, in the order looked at: beside the program (a build tree or
// a program unpacked in one folder), the share/quorva folder of the program's install prefix,
// then quorva/ in the system's data folders ($XDG_DATA_HOME, $XDG_DATA_DIRS).
QStringList SampleDatabaseCandidates(const QString& programFolder);
// The first candidate that is a file; empty when there is none.
QString FindSampleDatabase(const QStringList& candidates);

// Makes the session's aliases those of the user's alias file, with the sample database found
// from the running program's folder. Called once at start-up.
void InstallAliasFile();
