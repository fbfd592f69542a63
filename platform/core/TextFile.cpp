#include "core/TextFile.h"

#include <QDir>
#include <QSaveFile>

#include "core/Exception.h"

void SaveTextFile(const QString& fileName, const QString& text) {
    QSaveFile file(fileName);
    if (fileName.trimmed().isEmpty() || !file.open(QIODevice::WriteOnly))
        throw EInOutError(QStringLiteral("Cannot create file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    const QByteArray bytes = text.toLocal8Bit();
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw EInOutError(QStringLiteral("Cannot write to file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(fileName), file.errorString()));
}
