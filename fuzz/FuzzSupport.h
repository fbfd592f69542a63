// What the fuzz targets share: a check that stops the run, and a scratch file for the readers
// that take a file name.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// A file of that name in a folder of its own, removed at exit; never a file of the user's.
inline QString ScratchFile(const QString& name) {
    static const QTemporaryDir folder;
    return folder.filePath(name);
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write a scratch file");
    Require(file.write(bytes) == bytes.size(), "cannot write a scratch file");
}

}  // namespace fuzz
