#include "TextUtils.h"

#include <cmath>
#include <limits>

QStringList SplitByChar(const QString& text, QChar separator) {
    QStringList pieces;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == separator) {
            pieces << text.mid(start, i - start);
            start = i + 1;
        }
    }
    pieces << text.mid(start);
    return pieces;
}

QString ReplaceAll(const QString& pattern, const QString& replacement, const QString& text) {
    if (pattern.isEmpty())
        return text;
    QString result;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(pattern); at >= 0; at = text.indexOf(pattern, from)) {
        result += QStringView(text).mid(from, at - from);
        result += replacement;
        from = at + pattern.size();
    }
    result += QStringView(text).mid(from);
    return result;
}

QString TrimToLastBlank(const QString& text) {
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (text[i].unicode() < 33)
            return text.left(i + 1);
    }
    return text;
}

std::optional<int> RoundToInt(long double value) {
    // Beyond this range (or not a number) the result cannot be an int; inside it the
    // default rounding mode rounds halfway values to even.
    if (!(value > std::numeric_limits<int>::min() - 1.0L &&
          value < std::numeric_limits<int>::max() + 1.0L)) {
        return std::nullopt;
    }
    const long long rounded = std::llrint(value);
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return int(rounded);
}
