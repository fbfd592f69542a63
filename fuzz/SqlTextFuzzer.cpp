// Arbitrary bytes as an SQL file loaded into the editor and run: decoding either refuses the
// file or keeps every character, and what decides between running a query and changing data
// is consistent (letter case of the keywords aside, nothing else counts; dropping a table is
// a change) and sees the text the engine is given.
#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "SqlText.h"
#include "core/Exception.h"

namespace {

using fuzz::Require;

QString AsciiLower(QString text) {
    for (QChar& c : text)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    return text;
}

std::optional<QString> Decode(const QByteArray& bytes) {
    try {
        return SqlText::DecodeSqlFile(bytes, QStringLiteral("input.sql"));
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

void CheckDecoded(const QByteArray& bytes, const std::optional<QString>& text) {
    Require(text.has_value() == !bytes.contains('\0'), "a file was refused for no NUL byte");
    if (!text)
        return;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString asUtf8 = utf8.decode(bytes);
    if (!utf8.hasError()) {
        Require(*text == asUtf8, "UTF-8 was not read as UTF-8");
        return;
    }
    // One character a byte, the ASCII ones as they are.
    Require(text->size() == bytes.size(), "a Windows-1252 file lost or gained characters");
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (static_cast<unsigned char>(bytes[i]) < 0x80)
            Require(text->at(i).unicode() == static_cast<unsigned char>(bytes[i]),
                    "an ASCII byte changed");
}

void CheckClassification(const QString& raw) {
    const QString text = SqlText::EditorText(raw);
    Require(text.size() == raw.size() && !text.contains(QChar::ParagraphSeparator) &&
                !text.contains(QChar::LineSeparator),
            "the editor's text is not its lines");
    // The engine gets the lines joined again: the statement that was classified.
    Require(text.split(QLatin1Char('\n')).join(QLatin1Char('\n')) == text,
            "the statement run is not the one classified");

    const QString upper = SqlText::AsciiUpper(text);
    Require(upper.size() == text.size() && SqlText::AsciiUpper(upper) == upper,
            "upper case changed the length or is not settled");
    const bool changes = SqlText::IsChangeStatement(text);
    Require(SqlText::IsChangeStatement(upper) == changes &&
                SqlText::IsChangeStatement(AsciiLower(text)) == changes,
            "letter case changed whether a statement changes data");
    Require(!SqlText::DropsTable(text) || changes, "dropping a table is not a change");
    Require(SqlText::DropsTable(upper) == SqlText::DropsTable(text),
            "letter case changed whether a table is dropped");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QString> text = Decode(bytes);
    CheckDecoded(bytes, text);
    CheckClassification(text ? *text : QString::fromUtf8(bytes));
    return 0;
}
