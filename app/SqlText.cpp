#include "SqlText.h"

#include <QStringDecoder>

#include "core/Exception.h"

namespace SqlText {

QString AsciiUpper(const QString& text) {
    QString upper = text;
    for (QChar& c : upper)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    return upper;
}

bool IsChangeStatement(const QString& text) {
    const QString upper = AsciiUpper(text);
    for (const char* word : {"INSERT", "DELETE", "UPDATE", "CREATE", "DROP"})
        if (upper.contains(QLatin1String(word)))
            return true;
    return false;
}

bool DropsTable(const QString& text) {
    return AsciiUpper(text).contains(QLatin1String("DROP TABLE"));
}

QString ElapsedText(qint64 milliseconds) {
    if (milliseconds >= 1000)
        return QStringLiteral("Time: %1s").arg(milliseconds / 1000);
    return QStringLiteral("Time: %1ms").arg(milliseconds);
}

int ColumnWidthLimit(int gridWidth, int columnCount) {
    if (columnCount <= 0)
        return 0;
    return std::max(gridWidth / columnCount, 100);
}

QString QuoteTableName(const QString& name, bool useADO, const QString& connectionString) {
    if (useADO && connectionString.contains(QLatin1String(".mdb"), Qt::CaseSensitive))
        return QLatin1Char('[') + name + QLatin1Char(']');
    return name;
}

QString EditorText(const QString& rawDocumentText) {
    QString text = rawDocumentText;
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    return text;
}

namespace {
// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
}  // namespace

QString DecodeSqlFile(const QByteArray& bytes, const QString& fileName) {
    if (bytes.contains('\0'))
        throw EConvertError(QStringLiteral("%1 is not a text file").arg(fileName));
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text.resize(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = byte >= 0x80 && byte < 0xA0 ? QChar(kCp1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

}  // namespace SqlText
