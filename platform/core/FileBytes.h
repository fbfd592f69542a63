#pragma once

#include <QByteArray>
#include <QString>

// Far above any settings, alias, data link or SQL file a person writes; keeps a wrong name (a
// disk image, a device) from being read whole into memory.
inline constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

// What reading a file named by the user or the environment gave: its bytes, or why not.
struct TFileBytes {
    QByteArray bytes;
    QString failure;  // empty when the bytes were read
};

// Reads a regular file of at most kMaxFileBytes. Anything else (a FIFO, a device, a folder, a
// larger file) is refused at once with the reason, never waited on or read without end.
TFileBytes ReadFileBytes(const QString& path);
