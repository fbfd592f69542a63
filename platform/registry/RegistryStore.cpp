#include "registry/RegistryStore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/CheckedSaveFile.h"
#include "core/FileBytes.h"
#include "registry/RegistryException.h"

namespace {
// Below a configuration folder.
const QString kStoreName = QStringLiteral("/Quorva/registry.reg");

[[noreturn]] void Refuse(const QString& path, const QString& reason) {
    throw ERegistryException(QStringLiteral("Cannot use registry file '%1': %2").arg(path, reason));
}
}  // namespace

QString RegistryStorePath() {
    const QString configured = qEnvironmentVariable("QUORVA_REGISTRY");
    if (!configured.isEmpty())
        return configured;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + kStoreName;
}

QString MachineRegistryStorePath() {
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        const QString path = folder + kStoreName;
        if (folder != user && QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

TRegDocument ReadRegistryStore(const QString& path) {
    if (!QFileInfo::exists(path))
        return {};
    const TFileBytes file = ReadFileBytes(path);
    if (!file.failure.isEmpty())
        Refuse(path, file.failure);
    return TRegDocument::FromBytes(file.bytes, path);
}

void WriteRegistryStore(const QString& path, const QByteArray& bytes) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        Refuse(path, QStringLiteral("cannot create the folder '%1'").arg(folder));
    try {
        TCheckedSaveFile file(path);
        file.Write(std::string_view(bytes.constData(), std::size_t(bytes.size())));
        file.Commit();
    } catch (const EInOutError& error) {
        // Already names the file and the reason.
        throw ERegistryException(error.Message());
    }
}
