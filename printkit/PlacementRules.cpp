#include "PlacementRules.h"

#include <cmath>
#include <cstdint>
#include <limits>

int CellInset(int dpiX) {
    return 6 * (dpiX / 300);
}

int CellOffset(uint8_t alignment, int columnWidth, int textWidth, int inset) {
    int offset = 0;
    if (alignment == taRightJustify)
        offset = columnWidth - textWidth;
    if (alignment == taCenter && columnWidth != 0)
        offset = (columnWidth - textWidth) / 2;
    if (textWidth < columnWidth - inset) {
        if (alignment == taLeftJustify)
            offset += inset;
        if (alignment == taRightJustify)
            offset -= inset;
    }
    return offset;
}

int LinePenWidth(int dpi) {
    return 2 * (dpi / 300);
}

int LineHeightFor(TLineSpacing spacing, int fontHeight) {
    const int h = std::abs(fontHeight);
    switch (spacing) {
        case lsHalfSpace:
            return h / 2;
        case lsSingleSpace:
            return h;
        case lsSingleAndAHalf:
            return h + h / 2;
        case lsDoubleSpace:
            return 2 * h;
    }
    return h;
}

int FrameLift(TLineSpacing spacing, int externalLeading) {
    switch (spacing) {
        case lsHalfSpace:
            return externalLeading / 2;
        case lsSingleSpace:
            return externalLeading;
        case lsSingleAndAHalf:
            return int(std::nearbyint(1.5 * externalLeading));
        case lsDoubleSpace:
            return 2 * externalLeading;
    }
    return externalLeading;
}

int HeaderLineTop(std::optional<int> band, int lineHeight, std::optional<int> marginTop,
                  int topMarginPixels) {
    int64_t top = -100;
    if (band && marginTop) {
        const int64_t centred = (int64_t(*band) - lineHeight) / 2 - *marginTop;
        if (centred >= std::numeric_limits<int>::min() &&
            centred <= std::numeric_limits<int>::max()) {
            top = centred;
        }
    }
    if (topMarginPixels + top < 0)
        top = -int64_t(topMarginPixels);
    return int(top);
}
