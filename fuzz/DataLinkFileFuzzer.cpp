// Arbitrary bytes as a data link (.udl) file: the line the reader takes must be one it may
// take, the same text saved as Windows saves it (UTF-16 with a byte order mark) must give the
// same line, and the line goes on to the connection string parser as a connection would.
#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cstddef>
#include <cstdint>

#include "ConnectionStringCheck.h"
#include "db/connection/DataLinkFile.h"

namespace {

using fuzz::Require;

QString Read(const QByteArray& bytes) {
    const QString path = fuzz::ScratchFile(QStringLiteral("link.udl"));
    fuzz::WriteFile(path, bytes);
    try {
        return ReadDataLinkFile(path);
    } catch (const EDatabaseError&) {
        Require(false, "a data link file that exists could not be read");
    }
    return {};
}

// UTF-8 the reader takes for UTF-8: no byte order mark of UTF-16, no zero second byte.
bool ReadAsUtf8(const QByteArray& bytes) {
    return !bytes.startsWith("\xFF\xFE") && !bytes.startsWith("\xFE\xFF") &&
           !(bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0');
}

void CheckSameAsUtf16(const QByteArray& bytes, const QString& line) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError() || !ReadAsUtf8(bytes))
        return;
    for (const auto encoding : {QStringEncoder::Utf16LE, QStringEncoder::Utf16BE}) {
        QStringEncoder encoder(encoding, QStringEncoder::Flag::WriteBom);
        const QByteArray utf16 = encoder.encode(text);
        Require(Read(utf16) == line, "the same file in UTF-16 gives another line");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString line = Read(bytes);
    Require(line == line.trimmed() && !line.contains(QLatin1Char('\n')),
            "the connection line is not one trimmed line");
    Require(!line.startsWith(QLatin1Char('[')) && !line.startsWith(QLatin1Char(';')),
            "a section header or a comment was taken for the connection line");
    CheckSameAsUtf16(bytes, line);
    if (const std::optional<TConnectionString> parsed = fuzz::ParseConnectionString(line))
        fuzz::CheckConnectionString(*parsed);
    return 0;
}
