#include "PreviewGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "TextUtils.h"

namespace {
constexpr long double kMillimetresPerInch = 25.4L;

int SaturatedInt(int64_t value) {
    return int(std::clamp<int64_t>(value, std::numeric_limits<int>::min(),
                                   std::numeric_limits<int>::max()));
}
}  // namespace

int RoundToPixels(long double value) {
    if (const auto rounded = RoundToInt(value))
        return *rounded;
    if (std::isnan(value))
        return 0;
    return value > 0 ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
}

long double DpiRatio(int printerDpi, long double screenDpi) {
    if (!(screenDpi > 0))
        return 1;
    return printerDpi / screenDpi;
}

int LengthToScreenPixels(long double length, TMeasureUnit unit, long double screenDpi) {
    const long double inches = unit == muMillimeters ? length / kMillimetresPerInch : length;
    return RoundToPixels(inches * screenDpi);
}

int ZoomPixels(int pixels, int zoomPercent) {
    return RoundToPixels(static_cast<long double>(pixels) * zoomPercent / 100);
}

int ZoomedPaperPixels(int paperPixels, int zoomPercent, long double ratio) {
    const long double zoomed = static_cast<long double>(paperPixels) * zoomPercent / ratio / 100;
    if (!std::isfinite(zoomed))
        return ZoomPixels(paperPixels, zoomPercent);
    return RoundToPixels(zoomed);
}

int ScrollRange(int sheetPixels, unsigned shadowOffset) {
    return SaturatedInt(int64_t(sheetPixels) + 2 * int64_t(shadowOffset) + 2);
}

int CentredPosition(int range, int client) {
    return SaturatedInt((int64_t(range) - client) / 2);
}

QSize SurfaceSize(int horizontalRange, int verticalRange, QSize client) {
    return {std::clamp(std::max(horizontalRange, client.width()), 0, kMaxSurfaceSide),
            std::clamp(std::max(verticalRange, client.height()), 0, kMaxSurfaceSide)};
}

TSheetLayout LayOutSheet(QSize surface, const TSheetMeasures& measures) {
    TSheetLayout layout;
    TPreviewRect& r = layout.sheet;
    r.left = (int64_t(surface.width()) - measures.width) / 2;
    r.top = (int64_t(surface.height()) - measures.height) / 2;
    r.right = r.left + measures.width;
    r.bottom = r.top + measures.height;

    const int64_t s = measures.shadowOffset;
    layout.shadowRight = {r.right, r.top + s, r.right + s, r.bottom + s};
    layout.shadowBottom = {r.left + s, r.bottom, r.right, r.bottom + s};
    // One pixel past the sheet's outline, which takes the first row and column.
    layout.page = {r.left + measures.offsetLeft + 1, r.top + measures.offsetTop + 1, r.right + 1,
                   r.bottom + 1};
    layout.margins = {r.left + measures.marginLeft, r.top + measures.marginTop,
                      r.right - measures.marginRight, r.bottom - measures.marginBottom};
    return layout;
}
