#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "registry/RegFileParser.h"
#include "registry/RegFileText.h"

// One store file as read: its values, and its bytes kept as they are so that adding a key
// appends to them instead of rewriting what the user wrote.
class TRegDocument {
  public:
    // An empty store, as a missing file is.
    TRegDocument() = default;
    // Raises ERegistryException naming `origin` when the bytes are neither blank nor a registry
    // export.
    static TRegDocument FromBytes(const QByteArray& bytes, const QString& origin);

    const TRegContents& Contents() const { return contents_; }
    // A key exists when it has a section or lies above one that has (creating a key creates
    // the keys above it); the root itself always exists.
    bool KeyExists(TRootKey root, const QString& normalizedPath) const;
    // Nothing when the key has no section of its own.
    const TRegKeyEntry* FindKey(TRootKey root, const QString& normalizedPath) const;

    // The file with a section for the key after everything else, in the file's encoding and
    // line ends; a blank file becomes a new export. With `defaultValue` the section sets the
    // key's default value to that text. Raises ERegistryException when the file's encoding
    // cannot hold the key's name or value.
    QByteArray WithKeyAdded(TRootKey root, const QString& normalizedPath,
                            const std::optional<QString>& defaultValue = std::nullopt) const;

  private:
    QByteArray bytes_;
    TRegText text_;
    QString lineEnd_ = QStringLiteral("\n");
    bool blank_ = true;
    QString origin_;
    TRegContents contents_;
};
