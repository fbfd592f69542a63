#pragma once

#include <QString>

#include "db/connection/IniSections.h"

// The connection string that an alias section stands for, for the engines behind the session:
//   Driver=SQLITE or ACCESS   Path= (relative paths start at `folder`, "~/" at home)
//   Driver=PGSQL              Database=; Host=, Port=, User=, Password= as needed
//   Driver=ODBC               DSN=; Database=, User=, Password= as needed
// Raises EDatabaseError naming the alias and what is wrong with it.
QString AliasConnectionString(const TIniSection& alias, const QString& folder);
