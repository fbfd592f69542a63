#include "Version.h"

#include <QCoreApplication>

#include "version/VersionResource.h"

QString GetFileVersionString(const QString& fileName) {
    const std::uint32_t size = GetFileVersionInfoSize(fileName);
    if (size == 0)
        return {};
    QByteArray block(size, '\0');
    if (!GetFileVersionInfo(fileName, block))
        return {};
    const TFixedFileInfo* info = VerQueryFixedFileInfo(block);
    if (!info)
        return {};
    return QStringLiteral("%1.%2.%3.%4")
        .arg(info->dwFileVersionMS >> 16)
        .arg(info->dwFileVersionMS & 0xFFFF)
        .arg(info->dwFileVersionLS >> 16)
        .arg(info->dwFileVersionLS & 0xFFFF);
}

QString GetVersionString() {
    // Argument 0 may be a bare name found on PATH; Qt resolves the real file.
    return GetFileVersionString(QCoreApplication::applicationFilePath());
}
