#include "core/FloatText.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <string>

namespace {
constexpr int kSignificantDigits = 15;

QString DecimalSeparator() {
    return QLocale::system().decimalPoint();
}
}  // namespace

QString FloatToStr(long double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");

    char buffer[64];
    const auto converted = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                         std::chars_format::scientific, kSignificantDigits - 1);
    const std::string scientific(buffer, converted.ptr);
    const size_t e = scientific.find('e');
    std::string digits = scientific.substr(0, 1) + scientific.substr(2, e - 2);
    const int exponent = std::stoi(scientific.substr(e + 1));
    digits.erase(digits.find_last_not_of('0') + 1);

    const QString separator = DecimalSeparator();
    QString text = value < 0 ? QStringLiteral("-") : QString();
    const int decimalPosition = exponent + 1;  // digits before the separator
    if (decimalPosition > kSignificantDigits || decimalPosition < -3) {
        text += QLatin1Char(digits[0]);
        if (digits.size() > 1)
            text += separator + QString::fromLatin1(digits.substr(1));
        text += QStringLiteral("E%1").arg(exponent);
    } else if (decimalPosition <= 0) {
        text += QStringLiteral("0") + separator + QString(-decimalPosition, QLatin1Char('0')) +
                QString::fromLatin1(digits);
    } else {
        if (int(digits.size()) < decimalPosition)
            digits.append(decimalPosition - digits.size(), '0');
        text += QString::fromLatin1(digits.substr(0, decimalPosition));
        if (int(digits.size()) > decimalPosition) {
            text += separator + QString::fromLatin1(digits.substr(decimalPosition));
        }
    }
    return text;
}

std::optional<long double> StrToFloat(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= ' ')
        ++begin;
    while (end > begin && text[end - 1].unicode() <= ' ')
        --end;

    const QString separator = DecimalSeparator();
    std::string number;
    bool negative = false, mantissaDigits = false, exponentDigits = false;
    bool inFraction = false, inExponent = false;
    qsizetype i = begin;
    if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    while (i < end) {
        const QChar ch = text[i];
        if (ch.isDigit() && ch.unicode() < 128) {
            number += char(ch.unicode());
            (inExponent ? exponentDigits : mantissaDigits) = true;
            ++i;
        } else if (!inFraction && !inExponent && QStringView(text).mid(i).startsWith(separator)) {
            number += '.';
            inFraction = true;
            i += separator.size();
        } else if (!inExponent && mantissaDigits &&
                   (ch == QLatin1Char('e') || ch == QLatin1Char('E'))) {
            number += 'e';
            inExponent = true;
            ++i;
            if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
                number += char(text[i].unicode());
                ++i;
            }
        } else {
            return std::nullopt;
        }
    }
    if (!mantissaDigits || (inExponent && !exponentDigits))
        return std::nullopt;

    long double value = 0;
    const auto parsed = std::from_chars(number.data(), number.data() + number.size(), value);
    if (parsed.ec != std::errc() || parsed.ptr != number.data() + number.size())
        return std::nullopt;
    return negative ? -value : value;
}
