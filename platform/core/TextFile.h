#pragma once

#include <QString>

// Writes `text` to `fileName` in the system's 8-bit code page, through a temporary file beside
// it that replaces the target only when complete: a failure never leaves a partial file in
// place of an old one. Failures raise EInOutError naming the file.
void SaveTextFile(const QString& fileName, const QString& text);
