#pragma once

#include <QLocale>
#include <QString>

// A number as the kit writes and reads it: "." stands for the system locale's decimal separator.
inline QString Dec(const char* text) {
    return QString::fromUtf8(text).replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}
