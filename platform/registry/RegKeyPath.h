#pragma once

#include <QString>
#include <optional>

#include "registry/RegistryTypes.h"

// Key paths are relative to a root, their components joined by backslashes, and compare
// case-insensitively, as in the Windows registry.

// "HKEY_CURRENT_USER" and its kind.
QString RootKeyName(TRootKey root);
// The root a section of a store file names: the full names, or the abbreviations HKCR, HKCU,
// HKLM, HKU and HKCC; any letter case.
std::optional<TRootKey> ParseRootKeyName(const QString& name);

// The path without a leading or trailing backslash; empty for the root itself. Nothing when a
// component is empty, longer than 255 characters, or holds a control character (which would
// break the line of the store file it is written on).
std::optional<QString> NormalizeKeyPath(const QString& path);

// What two keys compare equal by.
QString KeyIdentity(TRootKey root, const QString& normalizedPath);

// The section name of a key, as written between the brackets of a store file.
QString SectionName(TRootKey root, const QString& normalizedPath);
