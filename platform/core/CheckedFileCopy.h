#pragma once

#include <QString>

// Copies a file through a checked save (see CheckedSaveFile.h): `to` is replaced only by a
// whole copy, on the disk. Failures raise EInOutError naming the file and the system's reason.
void CopyFileChecked(const QString& from, const QString& to);
