#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Encodings a store file may come in: UTF-16 as Windows exports it (with a byte order mark),
// UTF-8 with or without one, and 8-bit text that is not UTF-8 (an older export in a Windows
// code page), read byte for byte as Latin-1; text added to such a file is written the same way.
enum class TRegEncoding { Utf8, Utf16LE, Utf16BE, Latin1 };

struct TRegText {
    QString text;
    TRegEncoding encoding = TRegEncoding::Utf8;
    // The last byte of a UTF-16 file cut short in the middle of a character.
    bool oddTrailingByte = false;
};

TRegText DecodeRegBytes(const QByteArray& bytes);

// Text to append to a file of that encoding, without a byte order mark. Nothing when the
// encoding cannot hold every character of the text.
std::optional<QByteArray> EncodeRegText(const QString& text, TRegEncoding encoding);

// 8-bit string data: UTF-8 when it is valid UTF-8, else Latin-1. Zero bytes are kept.
QString Decode8Bit(const QByteArray& bytes);
