#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

#include "CustomVellox.h"
#include "Gradient.h"
#include "PreviewPaintBox.h"
#include "metafile/Metafile.h"

namespace {
// Edges this far out are off any surface, so clamping to them changes nothing visible while
// keeping the raster engine within its coordinate range.
constexpr int64_t kCoordinateLimit = 1 << 20;

int ClampCoordinate(int64_t value) {
    return int(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}

// A rectangle drawn as the preview's drawings are: filled with the brush, outlined with the
// pen along its inside, right and bottom edges exclusive, inverted corners put in order.
void DrawRectangle(QPainter& painter, const TPreviewRect& rect) {
    const int left = ClampCoordinate(std::min(rect.left, rect.right));
    const int right = ClampCoordinate(std::max(rect.left, rect.right));
    const int top = ClampCoordinate(std::min(rect.top, rect.bottom));
    const int bottom = ClampCoordinate(std::max(rect.top, rect.bottom));
    if (right <= left || bottom <= top)
        return;
    if (painter.brush().style() != Qt::NoBrush)
        painter.fillRect(QRect(left, top, right - left, bottom - top), painter.brush());
    if (painter.pen().style() != Qt::NoPen)
        painter.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

bool Drawable(const TPreviewRect& rect) {
    const auto inside = [](int64_t value) {
        return value >= -kCoordinateLimit && value <= kCoordinateLimit;
    };
    return rect.right > rect.left && rect.bottom > rect.top && inside(rect.left) &&
           inside(rect.right) && inside(rect.top) && inside(rect.bottom);
}
}  // namespace

void TCustomVellox::SetColor(TColor value) {
    if (value == color_)
        return;
    color_ = value;
    QPalette background = palette();
    background.setColor(QPalette::Window, ColorToRGB(value));
    setPalette(background);
    Invalidate();
}

long double TCustomVellox::ScreenDpi(TPreviewAxis axis) const {
    const bool horizontal = axis == TPreviewAxis::Horizontal;
    if (!creating_)
        return horizontal ? paintBox_->logicalDpiX() : paintBox_->logicalDpiY();
    // While constructing, the surface is not on a screen yet: the primary screen's nominal
    // resolution stands in.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 96;
    return horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
}

long double TCustomVellox::PrinterScreenRatio(TPreviewAxis axis) const {
    if (creating_)
        return 1;
    const TDeviceMetrics device = DeviceMetrics();
    if (!device.available)
        return 1;
    return DpiRatio(axis == TPreviewAxis::Horizontal ? device.dpiX : device.dpiY, ScreenDpi(axis));
}

int TCustomVellox::ScreenPixels(TPreviewAxis axis, long double length) const {
    return LengthToScreenPixels(length, measureUnit_, ScreenDpi(axis));
}

int TCustomVellox::ZoomedPixels(TPreviewAxis axis, long double length) const {
    return ZoomPixels(ScreenPixels(axis, length), zoomPercent_);
}

int TCustomVellox::PreviewPaperWidth() const {
    const TDeviceMetrics device = DeviceMetrics();
    if (!device.available)
        return ZoomedPixels(TPreviewAxis::Horizontal, PaperWidth());
    return ZoomedPaperPixels(device.paperWidth, zoomPercent_,
                             PrinterScreenRatio(TPreviewAxis::Horizontal));
}

int TCustomVellox::PreviewPaperHeight() const {
    const TDeviceMetrics device = DeviceMetrics();
    if (!device.available)
        return ZoomedPixels(TPreviewAxis::Vertical, PaperHeight());
    return ZoomedPaperPixels(device.paperHeight, zoomPercent_,
                             PrinterScreenRatio(TPreviewAxis::Vertical));
}

void TCustomVellox::PaintPreview(QPainter& painter) {
    const QRect surface = paintBox_->rect();
    if (gradientBackground_)
        DrawGradient(painter, surface, clBlack, color_, true);

    constexpr auto horizontal = TPreviewAxis::Horizontal;
    constexpr auto vertical = TPreviewAxis::Vertical;
    const TSheetLayout sheet = LayOutSheet(
        surface.size(),
        {PreviewPaperWidth(), PreviewPaperHeight(), shadowOffset_,
         ZoomedPixels(horizontal, OffsetLeft()), ZoomedPixels(vertical, OffsetTop()),
         ZoomedPixels(horizontal, marginLeft_), ZoomedPixels(vertical, marginTop_),
         ZoomedPixels(horizontal, marginRight_), ZoomedPixels(vertical, marginBottom_)});

    painter.setRenderHint(QPainter::Antialiasing, false);
    if (shadowOffset_ > 0) {
        const QColor shadow = ColorToRGB(shadowColor_);
        painter.setPen(shadow);
        painter.setBrush(shadow);
        DrawRectangle(painter, sheet.shadowRight);
        DrawRectangle(painter, sheet.shadowBottom);
    }
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    DrawRectangle(painter, sheet.sheet);

    // An inverted or far too large sheet shows without its page rather than a mirrored or
    // distorted one.
    if (pageNumber_ >= 1 && pageNumber_ <= PageCount() && Drawable(sheet.page)) {
        const TPreviewRect& page = sheet.page;
        Pages(pageNumber_)
            .Play(painter,
                  QRectF(page.left, page.top, page.right - page.left, page.bottom - page.top));
    }

    if (showMargins_) {
        painter.setPen(QPen(ColorToRGB(clSilver), 0, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        DrawRectangle(painter, sheet.margins);
    }
}

void TCustomVellox::UpdateScrollRanges() {
    horzRange_ = ScrollRange(PreviewPaperWidth(), shadowOffset_);
    vertRange_ = ScrollRange(PreviewPaperHeight(), shadowOffset_);
    FitSurface();
    if (creating_)
        return;

    const QSize client = viewport()->size();
    QScrollBar* horizontalBar = horizontalScrollBar();
    QScrollBar* verticalBar = verticalScrollBar();
    switch (zoomLocation_) {
        case zlTopLeft:
            horizontalBar->setValue(0);
            verticalBar->setValue(0);
            break;
        case zlTopCenter:
            horizontalBar->setValue(CentredPosition(horzRange_, client.width()));
            verticalBar->setValue(0);
            break;
        case zlCenter:
            horizontalBar->setValue(CentredPosition(horzRange_, client.width()));
            verticalBar->setValue(CentredPosition(vertRange_, client.height()));
            break;
    }
}

void TCustomVellox::FitSurface() {
    // The scroll area follows the surface's size once it is shown; the ranges are set here
    // as well so that a hidden kit keeps its scroll positions.
    const QSize client = viewport()->size();
    const QSize surface = SurfaceSize(horzRange_, vertRange_, client);
    paintBox_->resize(surface);
    horizontalScrollBar()->setRange(0, std::max(0, surface.width() - client.width()));
    verticalScrollBar()->setRange(0, std::max(0, surface.height() - client.height()));
}

bool TCustomVellox::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Resize && paintBox_)
        FitSurface();
    return QScrollArea::viewportEvent(event);
}

void TCustomVellox::Invalidate() {
    if (updateLock_ > 0)
        return;
    paintBox_->update();
}

void TCustomVellox::EndUpdate() {
    if (updateLock_ > 0)
        --updateLock_;
    if (updateLock_ == 0)
        Invalidate();
}

void TCustomVellox::Loaded() {
    loading_ = false;
    RefreshMetrics();
    ResetPageStore();
    UpdateScrollRanges();
    Invalidate();
}
