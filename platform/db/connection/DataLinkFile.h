#pragma once

#include <QString>

// The connection string a data link (.udl) file holds: the first line that is neither a
// section header ("[oledb]"), a comment (";") nor empty; empty when there is none. Files
// written on Windows (UTF-16 with a byte order mark) are read as well as UTF-8 ones. Raises
// EDatabaseError when the file cannot be read or is no regular file of a sensible size.
QString ReadDataLinkFile(const QString& path);
