#include "metafile/FontMeasure.h"

#include <cmath>

namespace {
constexpr qreal kUnknown = -1;
}

TFontMeasure::TFontMeasure(const QFont& realized) : font_(realized), metrics_(realized) {
    advances_.fill(kUnknown);
}

int TFontMeasure::TextWidth(QStringView text) const {
    qreal width = 0;
    for (const QChar ch : text) {
        const char16_t code = ch.unicode() < 0x20 ? u' ' : ch.unicode();
        if (code >= kCachedCharacters)
            return qRound(metrics_.horizontalAdvance(DrawableText(text)));
        qreal& advance = advances_[code];
        if (advance == kUnknown)
            advance = metrics_.horizontalAdvance(QChar(code));
        width += advance;
    }
    return qRound(width);
}

QString DrawableText(QStringView text) {
    QString drawable = text.toString();
    for (QChar& ch : drawable) {
        if (ch.unicode() < 0x20)
            ch = QLatin1Char(' ');
    }
    return drawable;
}
