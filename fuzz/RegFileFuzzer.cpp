// Arbitrary bytes as a store file, read the two ways the program reads one: as a document in
// memory and through TRegistry over a scratch file. Besides what the sanitizers catch, it
// checks what callers rely on: every key read can be opened with its values, only string
// values read as strings, and a key added to the file is there when the file is read again,
// after every byte that was there before.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "registry/RegDocument.h"
#include "registry/RegFileText.h"
#include "registry/RegKeyPath.h"
#include "registry/Registry.h"
#include "registry/RegistryException.h"

namespace {
// Bounds the work one input can ask for; the parser itself sees the whole input.
constexpr int kMaxKeys = 8;
constexpr int kMaxValues = 8;
// The tail of the input also names a key to add, so that key names get fuzzed too.
constexpr qsizetype kKeyNameBytes = 24;

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "RegFileFuzzer: %s\n", what);
        std::abort();
    }
}

// Only ever this file: the user's store is never named, and no key is opened for creation.
const QString& ScratchStore() {
    static const QTemporaryDir folder;
    static const QString path = folder.filePath(QStringLiteral("registry.reg"));
    return path;
}

std::optional<TRegDocument> Read(const QByteArray& bytes) {
    try {
        return TRegDocument::FromBytes(bytes, QStringLiteral("input"));
    } catch (const ERegistryException&) {
        return std::nullopt;
    }
}

void CheckKeyAdded(const QByteArray& bytes, const TRegDocument& document, TRootKey root,
                   const QString& path) {
    QByteArray added;
    try {
        added = document.WithKeyAdded(root, path);
    } catch (const ERegistryException&) {
        return;  // a name the file's character set cannot hold
    }
    const std::optional<TRegDocument> reread = Read(added);
    Require(reread.has_value(), "a file with a key added is no longer a registry file");
    Require(reread->FindKey(root, path), "an added key is missing when the file is read again");
    for (const TRegKeyEntry& key : document.Contents().keys)
        Require(reread->KeyExists(key.root, key.path), "adding a key lost another key");
    // A blank file is started afresh; any other keeps its bytes but a cut-off UTF-16 unit.
    if (document.Contents().format != TRegFormat::None) {
        const QByteArray kept =
            bytes.left(bytes.size() - (DecodeRegBytes(bytes).oddTrailingByte ? 1 : 0));
        Require(added.startsWith(kept), "adding a key changed the bytes before it");
    }
}

void CheckKeysAdded(const QByteArray& bytes, const TRegDocument& document) {
    CheckKeyAdded(bytes, document, HKEY_CURRENT_USER, QStringLiteral("Software\\Quorva"));
    CheckKeyAdded(bytes, document, HKEY_CLASSES_ROOT, QStringLiteral(".xls\\表"));
    const QString tail = QString::fromUtf8(bytes.right(kKeyNameBytes));
    if (const std::optional<QString> path = NormalizeKeyPath(tail))
        CheckKeyAdded(bytes, document, HKEY_CURRENT_USER, *path);
}

void CheckValue(const TRegistry& registry, const TRegNamedValue& value) {
    Require(registry.ValueExists(value.name), "a value read from the file does not exist");
    const TRegDataType type = registry.GetDataType(value.name);
    const bool text = value.value.type == REG_SZ || value.value.type == REG_EXPAND_SZ;
    Require(text == (type == rdString || type == rdExpandString), "a value has the wrong type");
    try {
        registry.ReadString(value.name);
        Require(text, "a value that is no string was read as one");
    } catch (const ERegistryException&) {
        Require(!text, "a string value could not be read");
    }
    try {
        registry.ReadInteger(value.name);
        Require(value.value.type == REG_DWORD, "a value that is no DWORD was read as one");
    } catch (const ERegistryException&) {
    }
}

// A name the key has no value under reads as missing.
void CheckMissingValue(const TRegistry& registry, const TRegKeyEntry& key) {
    const QString name = QStringLiteral("Missing");
    if (key.values.contains(name.toCaseFolded()))
        return;
    Require(!registry.ValueExists(name) && registry.GetDataType(name) == rdUnknown &&
                registry.ReadString(name).isEmpty(),
            "a missing value was found");
    try {
        registry.ReadInteger(name);
        Require(false, "a missing value was read as a DWORD");
    } catch (const ERegistryException&) {
    }
}

void CheckRegistry(const QByteArray& bytes, const TRegDocument& document) {
    QFile file(ScratchStore());
    Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the scratch file");
    Require(file.write(bytes) == bytes.size(), "cannot write the scratch file");
    file.close();

    TRegistry registry(ScratchStore());
    int keys = 0;
    for (const TRegKeyEntry& key : document.Contents().keys) {
        if (++keys > kMaxKeys)
            break;
        registry.SetRootKey(key.root);
        Require(!registry.ValueExists(QString()), "a value was found with no key open");
        Require(registry.KeyExists(QLatin1Char('\\') + key.path), "a key read does not exist");
        Require(registry.OpenKey(QLatin1Char('\\') + key.path, false),
                "a key read cannot be opened");
        int values = 0;
        for (const TRegNamedValue& value : key.values) {
            if (++values > kMaxValues)
                break;
            CheckValue(registry, value);
        }
        CheckMissingValue(registry, key);
        // Paths relative to the open key.
        registry.KeyExists(QStringLiteral("Sub"));
        registry.OpenKey(QStringLiteral("Sub"), false);

        // The key above exists too, with the values of its own section only.
        const qsizetype cut = key.path.lastIndexOf(QLatin1Char('\\'));
        if (cut > 0) {
            const QString above = key.path.left(cut);
            Require(registry.OpenKey(QLatin1Char('\\') + above, false),
                    "the key above a key read cannot be opened");
            const TRegKeyEntry* entry = document.FindKey(key.root, above);
            Require(registry.ValueExists(QString()) == (entry && entry->values.contains(QString())),
                    "the key above a key read has the wrong default value");
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<TRegDocument> document = Read(bytes);
    if (!document)
        return 0;
    CheckKeysAdded(bytes, *document);
    CheckRegistry(bytes, *document);
    return 0;
}
