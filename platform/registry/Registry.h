#pragma once

#include <QString>
#include <optional>

#include "registry/RegDocument.h"
#include "registry/RegistryTypes.h"

// The registry as the program uses it: a root, one open key at a time, typed values. It is
// kept in a store file (RegistryStorePath()) that is read whenever a key is opened; only
// creating a key writes to it. Under HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE a machine's
// store lies under the user's, as the machine's classes do on Windows: a key of either store
// exists, and a value the user's key lacks is read from the machine's; the machine's store is
// never written. The values of the open key are those of the files as they were when the key
// was opened. One thread at a time; the store has no lock against another process creating a
// key in the same moment.
class TRegistry {
  public:
    // On the user's store, the machine's (MachineRegistryStorePath()) under it.
    TRegistry();
    // On one store alone.
    explicit TRegistry(QString storePath);
    // On a store with another under it (empty: none).
    TRegistry(QString storePath, QString machineStorePath);
    ~TRegistry() { CloseKey(); }

    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    const QString& StorePath() const { return storePath_; }
    TRootKey RootKey() const { return root_; }
    // Closes the open key.
    void SetRootKey(TRootKey root);

    // A key path is relative to the open key, or to the root when it starts with a backslash
    // or no key is open. OpenKey creates a missing key when `canCreate` is set; it is false
    // (and the open key stays) when the key is missing and not created, when the path is not
    // a usable key name, or when the store cannot be written. A store that cannot be read
    // raises ERegistryException.
    bool OpenKey(const QString& key, bool canCreate);
    bool KeyExists(const QString& key) const;
    void CloseKey();
    bool HasCurrentKey() const { return currentPath_.has_value(); }
    // Below the root; empty when no key is open.
    QString CurrentPath() const { return currentPath_.value_or(QString()); }

    // Values of the open key (none when no key is open). Names compare case-insensitively;
    // the empty name is the key's default value.
    bool ValueExists(const QString& name) const;
    // rdUnknown when the value is missing.
    TRegDataType GetDataType(const QString& name) const;
    // The text of a string or of an expandable string (not expanded); empty when the value is
    // missing. Any other type raises ERegistryException "Invalid data type for '<name>'".
    QString ReadString(const QString& name) const;
    // A DWORD value; ERegistryException when it is missing or of another type.
    int ReadInteger(const QString& name) const;

  private:
    std::optional<QString> Resolve(const QString& key) const;
    const TRegValue* Find(const QString& name) const;
    // The machine's store where the root lies over it, else an empty one.
    TRegDocument MachineDocument() const;

    QString storePath_;
    QString machineStorePath_;
    TRootKey root_ = HKEY_CURRENT_USER;
    std::optional<QString> currentPath_;
    TRegDocument document_;
    TRegDocument machineDocument_;
};
