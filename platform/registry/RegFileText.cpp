#include "registry/RegFileText.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>

namespace {
std::optional<QString> StrictUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}
}  // namespace

TRegText DecodeRegBytes(const QByteArray& bytes) {
    TRegText result;
    const bool utf16le =
        bytes.startsWith("\xFF\xFE") || (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0');
    const bool utf16be = !utf16le && bytes.startsWith("\xFE\xFF");
    if (utf16le || utf16be) {
        result.encoding = utf16le ? TRegEncoding::Utf16LE : TRegEncoding::Utf16BE;
        const qsizetype bom = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ? 2 : 0;
        result.oddTrailingByte = bytes.size() % 2 != 0;
        const QByteArrayView units =
            QByteArrayView(bytes).sliced(bom).first((bytes.size() - bom) & ~qsizetype(1));
        QStringDecoder decoder(utf16le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
        result.text = decoder(units);
        return result;
    }
    const QByteArrayView body =
        QByteArrayView(bytes).sliced(bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0);
    if (std::optional<QString> text = StrictUtf8(body)) {
        result.text = *text;
    } else {
        result.encoding = TRegEncoding::Latin1;
        result.text = QString::fromLatin1(body);
    }
    return result;
}

std::optional<QByteArray> EncodeRegText(const QString& text, TRegEncoding encoding) {
    switch (encoding) {
        case TRegEncoding::Utf16LE:
            return QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::Stateless)
                .encode(text);
        case TRegEncoding::Utf16BE:
            return QStringEncoder(QStringEncoder::Utf16BE, QStringEncoder::Flag::Stateless)
                .encode(text);
        case TRegEncoding::Latin1:
            for (QChar ch : text) {
                if (ch.unicode() > 0xFF)
                    return std::nullopt;
            }
            return text.toLatin1();
        case TRegEncoding::Utf8:
            break;
    }
    return text.toUtf8();
}

QString Decode8Bit(const QByteArray& bytes) {
    return StrictUtf8(bytes).value_or(QString::fromLatin1(bytes));
}
