#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

// Text a database holds whose bytes are not valid UTF-8 (SQLite takes any bytes as TEXT). It
// keeps those bytes, so that a row found by it is the row meant, and shows as UTF-8 with the
// replacement character where a byte is not. A QVariant of it converts to that shown QString.
struct TRawText {
    QByteArray Bytes;

    QString Shown() const { return QString::fromUtf8(Bytes); }
    bool operator==(const TRawText&) const = default;
};

Q_DECLARE_METATYPE(TRawText)
