#include "registry/Registry.h"

#include <QDebug>
#include <QStringDecoder>

#include "registry/RegKeyPath.h"
#include "registry/RegistryException.h"
#include "registry/RegistryStore.h"

namespace {
[[noreturn]] void InvalidDataType(const QString& name) {
    throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
}

QString StringData(const QByteArray& data) {
    QString text = QStringDecoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless)(
        QByteArrayView(data).first(data.size() & ~qsizetype(1)));
    const qsizetype terminator = text.indexOf(QChar(0));
    if (terminator >= 0)
        text.truncate(terminator);
    return text;
}
}  // namespace

TRegistry::TRegistry() : TRegistry(RegistryStorePath(), MachineRegistryStorePath()) {}

TRegistry::TRegistry(QString storePath) : storePath_(std::move(storePath)) {}

TRegistry::TRegistry(QString storePath, QString machineStorePath)
    : storePath_(std::move(storePath)), machineStorePath_(std::move(machineStorePath)) {}

TRegDocument TRegistry::MachineDocument() const {
    const bool layered = root_ == HKEY_CLASSES_ROOT || root_ == HKEY_LOCAL_MACHINE;
    return layered && !machineStorePath_.isEmpty() ? ReadRegistryStore(machineStorePath_)
                                                   : TRegDocument();
}

void TRegistry::SetRootKey(TRootKey root) {
    CloseKey();
    root_ = root;
}

std::optional<QString> TRegistry::Resolve(const QString& key) const {
    if (key.startsWith(QLatin1Char('\\')) || !currentPath_)
        return NormalizeKeyPath(key);
    return NormalizeKeyPath(*currentPath_ + QLatin1Char('\\') + key);
}

bool TRegistry::OpenKey(const QString& key, bool canCreate) {
    const std::optional<QString> path = Resolve(key);
    if (!path)
        return false;
    TRegDocument document = ReadRegistryStore(storePath_);
    TRegDocument machine = MachineDocument();
    if (!document.KeyExists(root_, *path) && !machine.KeyExists(root_, *path)) {
        if (!canCreate)
            return false;
        try {
            WriteRegistryStore(storePath_, document.WithKeyAdded(root_, *path));
        } catch (const ERegistryException& error) {
            qWarning().noquote() << error.Message();
            return false;
        }
    }
    currentPath_ = *path;
    document_ = std::move(document);
    machineDocument_ = std::move(machine);
    return true;
}

bool TRegistry::KeyExists(const QString& key) const {
    const std::optional<QString> path = Resolve(key);
    return path && (ReadRegistryStore(storePath_).KeyExists(root_, *path) ||
                    MachineDocument().KeyExists(root_, *path));
}

void TRegistry::CloseKey() {
    currentPath_.reset();
    document_ = TRegDocument();
    machineDocument_ = TRegDocument();
}

const TRegValue* TRegistry::Find(const QString& name) const {
    if (!currentPath_)
        return nullptr;
    const QString folded = name.toCaseFolded();
    for (const TRegDocument* document : {&document_, &machineDocument_}) {
        const TRegKeyEntry* entry = document->FindKey(root_, *currentPath_);
        if (!entry)
            continue;
        const auto found = entry->values.constFind(folded);
        if (found != entry->values.cend())
            return &found->value;
    }
    return nullptr;
}

bool TRegistry::ValueExists(const QString& name) const {
    return Find(name) != nullptr;
}

TRegDataType TRegistry::GetDataType(const QString& name) const {
    const TRegValue* value = Find(name);
    if (!value)
        return rdUnknown;
    switch (value->type) {
        case REG_SZ:
            return rdString;
        case REG_EXPAND_SZ:
            return rdExpandString;
        case REG_DWORD:
            return rdInteger;
        case REG_BINARY:
            return rdBinary;
        default:
            return rdUnknown;
    }
}

QString TRegistry::ReadString(const QString& name) const {
    const TRegValue* value = Find(name);
    if (!value)
        return {};
    if (value->type != REG_SZ && value->type != REG_EXPAND_SZ)
        InvalidDataType(name);
    return StringData(value->data);
}

int TRegistry::ReadInteger(const QString& name) const {
    const TRegValue* value = Find(name);
    if (!value)
        throw ERegistryException(QStringLiteral("Failed to get data for '%1'").arg(name));
    if (value->type != REG_DWORD || value->data.size() != 4)
        InvalidDataType(name);
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i)
        number = (number << 8) | uint8_t(value->data[i]);
    return int(number);
}
