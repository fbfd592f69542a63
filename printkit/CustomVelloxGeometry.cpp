#include <cmath>
#include <cstdint>
#include <limits>

#include "CustomVellox.h"
#include "PlacementRules.h"
#include "VelloxStrings.h"
#include "core/Exception.h"
#include "metafile/MetafileCanvas.h"

namespace {
constexpr long double kMillimetresPerInch = 25.4L;

// A pixel count from a sum that may leave the integer range: 0 then, as for a range error.
int PixelsOrZero(int64_t pixels) {
    if (pixels < std::numeric_limits<int>::min() || pixels > std::numeric_limits<int>::max())
        return 0;
    return int(pixels);
}
}  // namespace

TDeviceMetrics TCustomVellox::DeviceMetrics() const {
    if (!printer_->Available())
        return {};
    try {
        TDeviceMetrics device;
        device.dpiX = printer_->GetDeviceCaps(LOGPIXELSX);
        device.dpiY = printer_->GetDeviceCaps(LOGPIXELSY);
        device.paperWidth = printer_->GetDeviceCaps(PHYSICALWIDTH);
        device.paperHeight = printer_->GetDeviceCaps(PHYSICALHEIGHT);
        device.offsetX = printer_->GetDeviceCaps(PHYSICALOFFSETX);
        device.offsetY = printer_->GetDeviceCaps(PHYSICALOFFSETY);
        device.available = true;
        return device;
    } catch (const EPrinter&) {
        return {};
    }
}

int TCustomVellox::LeftMarginPixels() const {
    const TPageGeometry geometry = Geometry();
    return geometry.UnitsToPixelsX(marginLeft_ - geometry.OffsetLeft());
}

int TCustomVellox::RightMarginPixels() const {
    const TPageGeometry geometry = Geometry();
    return geometry.UnitsToPixelsX(marginRight_ - geometry.OffsetRight());
}

int TCustomVellox::TopMarginPixels() const {
    const TPageGeometry geometry = Geometry();
    return geometry.UnitsToPixelsY(marginTop_ - geometry.OffsetTop());
}

int TCustomVellox::BottomMarginPixels() const {
    const TPageGeometry geometry = Geometry();
    return geometry.UnitsToPixelsY(marginBottom_ - geometry.OffsetBottom());
}

int TCustomVellox::TextAreaWidthPixels() const {
    const TPageGeometry geometry = Geometry();
    const auto printable = geometry.TryUnitsToPixelsX(geometry.PrintableWidth());
    const auto left = geometry.TryUnitsToPixelsX(marginLeft_ - geometry.OffsetLeft());
    const auto right = geometry.TryUnitsToPixelsX(marginRight_ - geometry.OffsetRight());
    if (!printable || !left || !right)
        return 0;
    return PixelsOrZero(int64_t(*printable) - *left - *right);
}

int TCustomVellox::TextAreaHeightPixels() const {
    return TextAreaHeightPixels(Geometry());
}

int TCustomVellox::TextAreaHeightPixels(const TPageGeometry& geometry) const {
    const auto printable = geometry.TryUnitsToPixelsY(geometry.PrintableHeight());
    const auto top = geometry.TryUnitsToPixelsY(marginTop_ - geometry.OffsetTop());
    const auto bottom = geometry.TryUnitsToPixelsY(marginBottom_ - geometry.OffsetBottom());
    if (!printable || !top || !bottom)
        return 0;
    return PixelsOrZero(int64_t(*printable) - *top - *bottom);
}

void TCustomVellox::StoreMargin(long double& margin, long double value, long double low,
                                long double high, const QString& refusal) {
    if (IsPrinting())
        throw EPagePrinter(refusal);
    // A value that is not a number is taken as below the paper.
    if (!(value >= low)) {
        margin = low;
    } else if (value > high) {
        margin = high;
    } else {
        margin = value;
    }
    Invalidate();
}

void TCustomVellox::SetMarginTop(long double value) {
    const TPageGeometry geometry = Geometry();
    StoreMargin(marginTop_, value, geometry.OffsetTop(),
                geometry.PaperHeight() - geometry.OffsetBottom(),
                VelloxStrings::TopMarginWhilePrinting);
}

void TCustomVellox::SetMarginBottom(long double value) {
    const TPageGeometry geometry = Geometry();
    StoreMargin(marginBottom_, value, geometry.OffsetBottom(),
                geometry.PaperHeight() - geometry.OffsetTop(),
                VelloxStrings::BottomMarginWhilePrinting);
}

void TCustomVellox::SetMarginLeft(long double value) {
    const TPageGeometry geometry = Geometry();
    StoreMargin(marginLeft_, value, geometry.OffsetLeft(),
                geometry.PaperWidth() - geometry.OffsetRight(),
                VelloxStrings::LeftMarginWhilePrinting);
}

void TCustomVellox::SetMarginRight(long double value) {
    const TPageGeometry geometry = Geometry();
    StoreMargin(marginRight_, value, geometry.OffsetRight(),
                geometry.PaperWidth() - geometry.OffsetLeft(),
                VelloxStrings::RightMarginWhilePrinting);
}

void TCustomVellox::SetMeasureUnit(TMeasureUnit value) {
    if (value == measureUnit_)
        return;
    // Refused before anything is stored, so that unit and lengths never disagree.
    if (IsPrinting())
        throw EPagePrinter(VelloxStrings::TopMarginWhilePrinting);
    measureUnit_ = value;
    if (creating_)
        return;

    const auto convert = [value](long double length) {
        return value == muMillimeters ? length * kMillimetresPerInch : length / kMillimetresPerInch;
    };
    SetMarginTop(convert(marginTop_));
    SetMarginBottom(convert(marginBottom_));
    SetMarginLeft(convert(marginLeft_));
    SetMarginRight(convert(marginRight_));
    pageBorderOffset_ = convert(pageBorderOffset_);
    defaultColumnWidth_ = convert(defaultColumnWidth_);
    RefreshMetrics();
    if (footerLine_.isEmpty())
        footerLayout_ = NormalizeLayout(footerLayout_, true);
    if (headerLine_.isEmpty())
        headerLayout_ = NormalizeLayout(headerLayout_, true);
    columnLayout_ = NormalizeLayout(columnLayout_, true);
}

TPrinterOrientation TCustomVellox::Orientation() const {
    try {
        return printer_->Orientation();
    } catch (const EPrinter&) {
        return poPortrait;
    }
}

void TCustomVellox::SetOrientation(TPrinterOrientation value) {
    if (IsPrinting())
        throw EPagePrinter(VelloxStrings::OrientationWhilePrinting);
    try {
        printer_->SetOrientation(value);
    } catch (const EPrinter&) {
        // Without a printer the paper stays portrait.
    }
    UpdateScrollRanges();
    Invalidate();
}

void TCustomVellox::SetLineSpacing(TLineSpacing value) {
    lineSpacing_ = value;
    lineHeight_ = LineHeightFor(lineSpacing_, pageCanvas_->FontHeight());
}

void TCustomVellox::SetFont(const QFont& value) {
    if (value == font_ && pageCanvas_->Font() == value)
        return;
    font_ = value;
    FontChanged();
}

void TCustomVellox::FontChanged() {
    pageCanvas_->SetFont(font_);
    RefreshPrinterFont();
    ReadTextMetrics();
    lineHeight_ = LineHeightFor(lineSpacing_, pageCanvas_->FontHeight());
}

void TCustomVellox::ReadTextMetrics() {
    externalLeading_ = 0;
    if (!printer_->Available())
        return;
    try {
        externalLeading_ = printer_->TextMetrics(pageCanvas_->Font()).externalLeading;
    } catch (const EPrinter&) {
        // No printer context, no leading.
    }
}

void TCustomVellox::RefreshPrinterFont() {
    pageCanvas_->SetFontResolution(PrinterDpiY());
}

void TCustomVellox::RefreshMetrics() {
    if (!IsPrinting()) {
        SetMarginTop(marginTop_);
        SetMarginBottom(marginBottom_);
        SetMarginLeft(marginLeft_);
        SetMarginRight(marginRight_);
    }
    ReadTextMetrics();
    RefreshPrinterFont();
    SetLineSpacing(lineSpacing_);
    if (!headerLine_.isEmpty())
        SetHeaderLine(headerLine_);
    if (!footerLine_.isEmpty())
        SetFooterLine(footerLine_);
}
