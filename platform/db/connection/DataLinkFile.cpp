#include "db/connection/DataLinkFile.h"

#include <QStringDecoder>
#include <QStringList>

#include "core/Exception.h"
#include "core/FileBytes.h"

namespace {
QString Decode(const QByteArray& bytes) {
    // The decoders drop a byte order mark; UTF-16 without one is told by its zero bytes.
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE)(bytes);
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE)(bytes);
    if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0')
        return QStringDecoder(QStringDecoder::Utf16LE)(bytes);
    return QStringDecoder(QStringDecoder::Utf8)(bytes);
}
}  // namespace

QString ReadDataLinkFile(const QString& path) {
    const TFileBytes file = ReadFileBytes(path);
    if (!file.failure.isEmpty())
        throw EDatabaseError(
            QStringLiteral("Cannot read data link file %1: %2").arg(path, file.failure));
    const QStringList lines = Decode(file.bytes).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString text = line.trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char('[')) ||
            text.startsWith(QLatin1Char(';')))
            continue;
        return text;
    }
    return {};
}
