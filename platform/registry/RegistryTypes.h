#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// The top-level keys, with the handle values Windows gives them.
enum TRootKey : uint32_t {
    HKEY_CLASSES_ROOT = 0x80000000,
    HKEY_CURRENT_USER = 0x80000001,
    HKEY_LOCAL_MACHINE = 0x80000002,
    HKEY_USERS = 0x80000003,
    HKEY_CURRENT_CONFIG = 0x80000005,
};

// Registry value types as Windows numbers them; a store may hold any other number too.
enum TRegValueType : uint32_t {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_MULTI_SZ = 7,
    REG_QWORD = 11,
};

// What a caller learns of a value's type; every type not listed is rdUnknown.
enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

// A value as the registry holds it: strings as UTF-16LE with their terminating zero, a DWORD
// as four little-endian bytes, anything else as the bytes it was given.
struct TRegValue {
    uint32_t type = REG_NONE;
    QByteArray data;

    bool operator==(const TRegValue&) const = default;
};
