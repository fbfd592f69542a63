#include "NumberText.h"

#include <QRegularExpression>
#include <cmath>

namespace {
// Sign, integer part, fraction, exponent.
const QRegularExpression& PlainNumber() {
    static const QRegularExpression pattern(
        QStringLiteral("^-?(0|[1-9][0-9]*)(?:\\.([0-9]+))?([eE][-+]?[0-9]+)?$"));
    return pattern;
}

struct TParsed {
    double value = 0;
    bool exact = false;
};

std::optional<TParsed> Parse(QString text, const QString& decimalPoint) {
    if (!decimalPoint.isEmpty() && decimalPoint != QLatin1String("."))
        text.replace(decimalPoint, QLatin1String("."));
    const QRegularExpressionMatch match = PlainNumber().match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const double value = text.toDouble();
    if (!std::isfinite(value))
        return std::nullopt;
    const QString integer = match.captured(1);
    const QString fraction = match.captured(2);
    bool exact = false;
    if (fraction.isEmpty() && match.captured(3).isEmpty()) {
        // 2^53 = 9007199254740992: every integer up to it has a double of its own.
        static const QString kLargest = QStringLiteral("9007199254740992");
        exact = integer.size() < kLargest.size() ||
                (integer.size() == kLargest.size() && integer <= kLargest);
    } else {
        // Zeros at either end of the digits carry no value: "1.50000000000000000" is 1.5 whole.
        const QString digits = integer + fraction;
        qsizetype first = 0;
        qsizetype last = digits.size() - 1;
        while (first < last && digits[first] == u'0')
            ++first;
        while (last > first && digits[last] == u'0')
            --last;
        exact = last - first + 1 <= 15;
    }
    return TParsed{value, exact};
}
}  // namespace

std::optional<double> ExactNumber(QString text, const QString& decimalPoint) {
    const std::optional<TParsed> parsed = Parse(std::move(text), decimalPoint);
    return parsed && parsed->exact ? std::optional(parsed->value) : std::nullopt;
}

bool LosesDigitsAsNumber(QString text, const QString& decimalPoint) {
    const std::optional<TParsed> parsed = Parse(std::move(text), decimalPoint);
    return parsed && !parsed->exact;
}
