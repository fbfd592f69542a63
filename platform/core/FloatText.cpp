#include "core/FloatText.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace {
constexpr int kSignificantDigits = 15;

QString DecimalSeparator() {
    return QLocale::system().decimalPoint();
}
}  // namespace

namespace {

// The general format of FloatToStr into `out`, for double and long double alike.
template <typename Float>
void AppendGeneral(std::string& out, Float value, std::string_view separator) {
    if (std::isnan(value) || std::isinf(value) || value == 0) {
        out.append(std::isnan(value) ? "NAN" : value == 0 ? "0" : value < 0 ? "-INF" : "INF");
        return;
    }

    char scientific[64];
    const auto converted =
        std::to_chars(scientific, scientific + sizeof scientific, std::fabs(value),
                      std::chars_format::scientific, kSignificantDigits - 1);
    const std::string_view text(scientific, std::size_t(converted.ptr - scientific));
    const std::size_t e = text.find('e');
    char digits[kSignificantDigits + 1];
    std::size_t count = 0;
    for (std::size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            digits[count++] = text[i];
    while (count > 1 && digits[count - 1] == '0')
        --count;
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                    exponent);

    if (value < 0)
        out.push_back('-');
    const std::string_view significant(digits, count);
    const int decimalPosition = exponent + 1;  // digits before the separator
    if (decimalPosition > kSignificantDigits || decimalPosition < -3) {
        out.push_back(digits[0]);
        if (count > 1)
            out.append(separator).append(significant.substr(1));
        char written[8];
        out.push_back('E');
        out.append(written, std::to_chars(written, written + sizeof written, exponent).ptr);
    } else if (decimalPosition <= 0) {
        out.push_back('0');
        out.append(separator).append(std::size_t(-decimalPosition), '0').append(significant);
    } else if (int(count) <= decimalPosition) {
        out.append(significant).append(std::size_t(decimalPosition) - count, '0');
    } else {
        out.append(significant.substr(0, std::size_t(decimalPosition)))
            .append(separator)
            .append(significant.substr(std::size_t(decimalPosition)));
    }
}

}  // namespace

QString FloatToStr(long double value) {
    std::string text;
    AppendGeneral(text, value, DecimalSeparator().toStdString());
    return QString::fromStdString(text);
}

void AppendFloatText(std::string& utf8, double value, std::string_view decimalSeparator) {
    AppendGeneral(utf8, value, decimalSeparator);
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
