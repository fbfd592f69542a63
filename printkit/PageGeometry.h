#pragma once

#include <optional>

#include "PrintTypes.h"

// What the kit reads from the printer, in printer pixels. Without a printer the fallbacks
// apply: 300 pixels per inch, A4 paper in millimetres or Letter in inches, and an unprintable
// edge of 6 mm or 0.25 in.
struct TDeviceMetrics {
    bool available = false;
    int dpiX = 0, dpiY = 0;
    int paperWidth = 0, paperHeight = 0;
    int offsetX = 0, offsetY = 0;
};

// Paper geometry and conversions between measure units and printer pixels. Conversions to
// pixels round to the nearest integer, halfway values to the even neighbour.
class TPageGeometry {
  public:
    TPageGeometry(const TDeviceMetrics& device, TMeasureUnit unit) : device_(device), unit_(unit) {}

    // Nothing when the result is beyond the integer range.
    std::optional<int> TryUnitsToPixelsX(long double length) const;
    std::optional<int> TryUnitsToPixelsY(long double length) const;
    // Raise EInvalidOp where the Try forms give nothing.
    int UnitsToPixelsX(long double length) const;
    int UnitsToPixelsY(long double length) const;
    long double PixelsToUnitsX(long double pixels) const;
    long double PixelsToUnitsY(long double pixels) const;

    long double PaperWidth() const;
    long double PaperHeight() const;
    long double OffsetLeft() const;
    long double OffsetTop() const;
    // The unprintable edge on the far side is taken to be the same as on the near side.
    long double OffsetRight() const { return OffsetLeft(); }
    long double OffsetBottom() const { return OffsetTop(); }
    long double PrintableWidth() const { return PaperWidth() - OffsetLeft() - OffsetRight(); }
    long double PrintableHeight() const { return PaperHeight() - OffsetTop() - OffsetBottom(); }

    // Pixels per inch used for conversions (300 without a printer).
    int DpiX() const { return device_.available ? device_.dpiX : kFallbackDpi; }
    int DpiY() const { return device_.available ? device_.dpiY : kFallbackDpi; }

    static constexpr int kFallbackDpi = 300;

  private:
    std::optional<int> ToPixels(long double length, int dpi) const;
    long double ToUnits(long double pixels, int dpi) const;

    TDeviceMetrics device_;
    TMeasureUnit unit_;
};
