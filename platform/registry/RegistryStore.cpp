#include "registry/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

#include "registry/RegistryException.h"

namespace {
// Far above any store of settings; keeps a wrong path (a disk image, a device) from being
// read whole into memory.
constexpr qint64 kMaxStoreSize = 64 * 1024 * 1024;

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
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    if (!info.isFile())
        Refuse(path, QStringLiteral("not a regular file"));
    if (info.size() > kMaxStoreSize)
        Refuse(path, QStringLiteral("larger than %1 bytes").arg(kMaxStoreSize));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Refuse(path, file.errorString());
    // As much as the file held a moment ago, and the rest only when it has grown since: a
    // buffer the size of the limit would be set aside (and kept) for every small store.
    QByteArray bytes = file.read(std::min(info.size(), kMaxStoreSize) + 1);
    if (bytes.size() > info.size() && bytes.size() <= kMaxStoreSize)
        bytes += file.read(kMaxStoreSize + 1 - bytes.size());
    if (file.error() != QFileDevice::NoError)
        Refuse(path, file.errorString());
    if (bytes.size() > kMaxStoreSize)
        Refuse(path, QStringLiteral("larger than %1 bytes").arg(kMaxStoreSize));
    return TRegDocument::FromBytes(bytes, path);
}

void WriteRegistryStore(const QString& path, const QByteArray& bytes) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        Refuse(path, QStringLiteral("cannot create the folder '%1'").arg(folder));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        Refuse(path, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.commit())
        Refuse(path, file.errorString());
}
