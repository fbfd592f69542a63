#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

#include "db/connection/AliasFile.h"

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '{' << list.join(QStringLiteral(", ")).toStdString() << '}';
}

// An alias file in a temporary folder of its own, installed as the session's aliases for as
// long as the object lives. Until Write is called the file does not exist.
class ScopedAliasFile {
  public:
    explicit ScopedAliasFile(const QString& sampleDatabase = {})
        : path_(dir_.filePath(QStringLiteral("aliases.ini"))) {
        previous_ = SetAliasResolver(std::make_unique<TAliasFile>(path_, sampleDatabase));
    }
    ~ScopedAliasFile() { SetAliasResolver(std::move(previous_)); }

    void Write(const QByteArray& text) const {
        QFile file(path_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    const QString& Path() const { return path_; }
    QString Folder() const { return dir_.path(); }

  private:
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<TAliasResolver> previous_;
};

// A copy of a database file that a test may change.
inline QString CopyDatabase(const QTemporaryDir& dir, const QString& source,
                            const QString& name = QStringLiteral("copy.sqlite")) {
    const QString target = dir.filePath(name);
    QFile::remove(target);
    if (!QFile::copy(source, target))
        return {};
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}
