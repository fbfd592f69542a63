#include "ColumnLayout.h"

#include "TextUtils.h"

namespace {
constexpr long double kMillimetresPerInch = 25.4L;
}

TLayoutItem ParseLayoutItem(const QString& item, long double defaultWidth) {
    QString text = item;
    if (text.isEmpty())
        text = QStringLiteral("<") + FloatToStr(defaultWidth);
    if (text.size() == 1 && QStringLiteral("<^>").contains(text[0]))
        text += FloatToStr(defaultWidth);

    TLayoutItem parsed;
    if (text[0] == QLatin1Char('<') || text[0] == QLatin1Char('>') || text[0] == QLatin1Char('^')) {
        parsed.alignment = text[0] == QLatin1Char('>')   ? taRightJustify
                           : text[0] == QLatin1Char('^') ? taCenter
                                                         : taLeftJustify;
        text.remove(0, 1);
    }
    parsed.width = StrToFloat(text).value_or(defaultWidth);
    return parsed;
}

QChar AlignmentChar(uint8_t alignment) {
    switch (alignment) {
        case taRightJustify:
            return QLatin1Char('>');
        case taCenter:
            return QLatin1Char('^');
        default:
            return QLatin1Char('<');
    }
}

QString NormalizeLayout(const QString& text, QChar separator, long double defaultWidth,
                        std::optional<TMeasureUnit> convertTo) {
    if (text.isEmpty())
        return {};
    QString result;
    for (const QString& item : SplitByChar(text, separator)) {
        TLayoutItem parsed = ParseLayoutItem(item, defaultWidth);
        if (convertTo == muMillimeters)
            parsed.width *= kMillimetresPerInch;
        if (convertTo == muInches)
            parsed.width /= kMillimetresPerInch;
        if (!result.isEmpty())
            result += separator;
        result += AlignmentChar(parsed.alignment) + FloatToStr(parsed.width).trimmed();
    }
    return result;
}
