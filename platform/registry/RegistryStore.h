#pragma once

#include <QByteArray>
#include <QString>

#include "registry/RegDocument.h"

// The store of this user: the file the environment variable QUORVA_REGISTRY names, else
// "Quorva/registry.reg" in the user's configuration folder.
QString RegistryStorePath();

// The store of the machine, read under every user's own and never written: "Quorva/registry.reg"
// in the first of the XDG configuration folders (XDG_CONFIG_DIRS, else /etc/xdg) that has one,
// where a package installs it. Empty when none has.
QString MachineRegistryStorePath();

// A missing file is an empty store. Raises ERegistryException when the file cannot be read,
// is not a regular file, is larger than a store can sensibly be, or is not a registry export.
TRegDocument ReadRegistryStore(const QString& path);

// Replaces the file through a temporary file beside it, creating its folder; when anything
// fails the previous file stays and ERegistryException says why.
void WriteRegistryStore(const QString& path, const QByteArray& bytes);
