#pragma once

#include <QMap>
#include <QString>

#include "registry/RegistryTypes.h"

// The two formats of the registry's export text, told by their first line.
enum class TRegFormat { None, Regedit4, Version5 };

struct TRegNamedValue {
    QString name;  // empty for the default value ("@")
    TRegValue value;
};

struct TRegKeyEntry {
    TRootKey root = HKEY_CURRENT_USER;
    QString path;                          // normalized, in the spelling of its first section
    QMap<QString, TRegNamedValue> values;  // by case-folded name
};

struct TRegContents {
    TRegFormat format = TRegFormat::None;
    QMap<QString, TRegKeyEntry> keys;  // by KeyIdentity
};

// Reads export text leniently, so that one bad line costs at most that value: lines that are
// neither a section, a value, a comment (";") nor blank are skipped, and so are the values
// under a section that names no usable key. A section repeated later adds to the first, a
// value repeated replaces the earlier one (as importing the file would). Deletions ("[-Key]",
// "\"Name\"=-") are not applied: the store only reads what the file sets. Strings are kept
// as the registry holds them; "hex(2):" data is UTF-16LE in Version 5 text and 8-bit in
// REGEDIT4 text. Text whose first line is no export header yields nothing (format None).
TRegContents ParseRegText(const QString& text);

// The header of the format, as it stands on the first line.
QString RegFormatHeader(TRegFormat format);
