#include "metafile/FontRealization.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

int MulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    const int64_t product = int64_t(a) * b;
    const int64_t magnitude = std::llabs(product);
    const int64_t divisor = std::llabs(int64_t(c));
    const int64_t quotient = (magnitude + divisor / 2) / divisor;
    return int((product < 0) != (c < 0) ? -quotient : quotient);
}

int FontPixelHeight(const QFont& font, int dpi) {
    if (font.pointSizeF() <= 0)
        return font.pixelSize();
    return int(std::lround(font.pointSizeF() * dpi / 72.0));
}

QFont RealizeFont(const QFont& font, int dpi) {
    QFont realized(font);
    realized.setPixelSize(qMax(1, FontPixelHeight(font, dpi)));
    realized.setHintingPreference(QFont::PreferNoHinting);
    realized.setKerning(false);
    realized.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::PreferNoShaping));
    return realized;
}
