#pragma once

#include <QString>

// The file version of the running program ("0.5.5.0"), read from the version resource of the
// program file; empty when the file carries none.
QString GetVersionString();
// The same for any file.
QString GetFileVersionString(const QString& fileName);
