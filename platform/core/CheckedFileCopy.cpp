#include "core/CheckedFileCopy.h"

#include <QDir>
#include <QFile>
#include <string_view>

#include "core/CheckedSaveFile.h"
#include "core/Exception.h"

void CopyFileChecked(const QString& from, const QString& to) {
    constexpr qint64 kChunkBytes = 1 << 20;
    QFile source(from);
    const auto unreadable = [&source, &from] {
        return EInOutError(QStringLiteral("Cannot read file \"%1\". %2")
                               .arg(QDir::toNativeSeparators(from), source.errorString()));
    };
    if (!source.open(QIODevice::ReadOnly))
        throw unreadable();
    TCheckedSaveFile target(to);
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(kChunkBytes);
        if (source.error() != QFileDevice::NoError)
            throw unreadable();
        target.Write(std::string_view(chunk.constData(), std::size_t(chunk.size())));
    }
    target.Commit();
}
