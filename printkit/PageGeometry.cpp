#include "PageGeometry.h"

#include "InvalidOp.h"
#include "TextUtils.h"
#include "VelloxStrings.h"

namespace {
constexpr long double kMillimetresPerInch = 25.4L;
}

std::optional<int> TPageGeometry::ToPixels(long double length, int dpi) const {
    if (unit_ == muMillimeters)
        length /= kMillimetresPerInch;
    return RoundToInt(length * dpi);
}

long double TPageGeometry::ToUnits(long double pixels, int dpi) const {
    long double inches = pixels / (dpi == 0 ? kFallbackDpi : dpi);
    return unit_ == muMillimeters ? inches * kMillimetresPerInch : inches;
}

std::optional<int> TPageGeometry::TryUnitsToPixelsX(long double length) const {
    return ToPixels(length, DpiX());
}

std::optional<int> TPageGeometry::TryUnitsToPixelsY(long double length) const {
    return ToPixels(length, DpiY());
}

int TPageGeometry::UnitsToPixelsX(long double length) const {
    if (const auto pixels = TryUnitsToPixelsX(length))
        return *pixels;
    throw EInvalidOp(VelloxStrings::InvalidFloatOperation);
}

int TPageGeometry::UnitsToPixelsY(long double length) const {
    if (const auto pixels = TryUnitsToPixelsY(length))
        return *pixels;
    throw EInvalidOp(VelloxStrings::InvalidFloatOperation);
}

long double TPageGeometry::PixelsToUnitsX(long double pixels) const {
    return ToUnits(pixels, DpiX());
}

long double TPageGeometry::PixelsToUnitsY(long double pixels) const {
    return ToUnits(pixels, DpiY());
}

long double TPageGeometry::PaperWidth() const {
    if (!device_.available)
        return unit_ == muMillimeters ? 210 : 8.5L;
    return PixelsToUnitsX(device_.paperWidth);
}

long double TPageGeometry::PaperHeight() const {
    if (!device_.available)
        return unit_ == muMillimeters ? 297 : 11;
    return PixelsToUnitsY(device_.paperHeight);
}

long double TPageGeometry::OffsetLeft() const {
    if (!device_.available)
        return unit_ == muMillimeters ? 6 : 0.25L;
    return PixelsToUnitsX(device_.offsetX);
}

long double TPageGeometry::OffsetTop() const {
    if (!device_.available)
        return unit_ == muMillimeters ? 6 : 0.25L;
    return PixelsToUnitsY(device_.offsetY);
}
