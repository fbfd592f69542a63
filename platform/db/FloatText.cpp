#include "db/FloatText.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

QString FloatToText(double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");

    // 15 significant digits, rounded once; the exponent decides the notation.
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    const bool negative = buffer[0] == '-';
    const char* mantissa = buffer + (negative ? 1 : 0);
    const char* e = std::strchr(mantissa, 'e');
    const int exponent = std::atoi(e + 1);
    QString digits;
    for (const char* p = mantissa; p < e; ++p)
        if (*p != '.')
            digits += QLatin1Char(*p);
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);

    const QString point = QLocale::system().decimalPoint();
    QString text;
    if (exponent >= 15 || std::fabs(value) < 0.00001) {
        text = digits.left(1);
        if (digits.size() > 1)
            text += point + digits.mid(1);
        text += QLatin1Char('E') + QString::number(exponent);
    } else if (exponent < 0) {
        text = QLatin1Char('0') + point + QString(-exponent - 1, QLatin1Char('0')) + digits;
    } else if (digits.size() <= exponent + 1) {
        text = digits + QString(exponent + 1 - digits.size(), QLatin1Char('0'));
    } else {
        text = digits.left(exponent + 1) + point + digits.mid(exponent + 1);
    }
    return negative ? QLatin1Char('-') + text : text;
}
