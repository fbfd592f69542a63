#pragma once

#include <QString>

// Directory part of a path, with its trailing "/"; empty for a bare file name.
QString ExtractFilePath(const QString& path);
// The path without its directory part.
QString ExtractFileName(const QString& path);
