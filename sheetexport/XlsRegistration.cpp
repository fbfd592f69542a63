#include "XlsRegistration.h"

#include "registry/RegKeyPath.h"
#include "registry/Registry.h"
#include "registry/RegistryStore.h"

namespace {
const QString kDocumentType = QStringLiteral("Quorva.Workbook");
const QString kOpenCommand = QStringLiteral("\\shell\\open\\command");

QString DefaultValue(TRegistry& registry, const QString& key) {
    QString value;
    if (!key.isEmpty() && registry.OpenKey(key, false))
        value = registry.ReadString(QString());
    registry.CloseKey();
    return value;
}
}  // namespace

QString XlsOpenCommand(TRegistry& registry) {
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    const QString documentType = DefaultValue(registry, QStringLiteral(".XLS"));
    return documentType.isEmpty() ? QString() : DefaultValue(registry, documentType + kOpenCommand);
}

bool RegisterXlsHandler(const QString& storePath, const QString& command) {
    TRegistry registry(storePath);
    if (!XlsOpenCommand(registry).isEmpty())
        return false;
    const QByteArray withType = ReadRegistryStore(storePath).WithKeyAdded(
        HKEY_CLASSES_ROOT, *NormalizeKeyPath(QStringLiteral(".XLS")), kDocumentType);
    const QByteArray withCommand =
        TRegDocument::FromBytes(withType, storePath)
            .WithKeyAdded(HKEY_CLASSES_ROOT, *NormalizeKeyPath(kDocumentType + kOpenCommand),
                          command);
    WriteRegistryStore(storePath, withCommand);
    return true;
}
