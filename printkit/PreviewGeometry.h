#pragma once

#include <QSize>
#include <cstdint>

#include "PrintTypes.h"

// Screen arithmetic of the preview. Results round to the nearest pixel, halfway values to the
// even neighbour, and stop at the ends of the integer range instead of wrapping, so that no
// zoom, however wild, turns a sheet inside out or overflows.

enum class TPreviewAxis { Horizontal, Vertical };

int RoundToPixels(long double value);

// Printer pixels per screen pixel; 1 when the screen reports no resolution.
long double DpiRatio(int printerDpi, long double screenDpi);
// A length in measure units on a screen of `screenDpi` pixels per inch.
int LengthToScreenPixels(long double length, TMeasureUnit unit, long double screenDpi);
int ZoomPixels(int pixels, int zoomPercent);
// The printer's paper, `paperPixels` wide, on a screen `ratio` times coarser than the printer.
// A ratio that makes the division fail (0 from a printer without a resolution) leaves the
// paper only zoomed.
int ZoomedPaperPixels(int paperPixels, int zoomPercent, long double ratio);

// Room to scroll on one axis: the sheet with its shadow on both sides and a pixel each.
int ScrollRange(int sheetPixels, unsigned shadowOffset);
// The scroll position that puts the middle of `range` in the middle of `client`; the scroll
// bar itself keeps it inside its span.
int CentredPosition(int range, int client);
// The preview surface fills the larger of the ranges and the visible area, within bounds that
// keep it drawable whatever the zoom.
QSize SurfaceSize(int horizontalRange, int verticalRange, QSize client);
constexpr int kMaxSurfaceSide = 32767;

// A rectangle as the preview draws it: right and bottom edges exclusive; a zoom of 0 or below
// makes it empty or inverted.
struct TPreviewRect {
    int64_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const TPreviewRect&) const = default;
};

// What the sheet is drawn from, in (zoomed) screen pixels.
struct TSheetMeasures {
    int width = 0, height = 0;
    unsigned shadowOffset = 0;
    // The unprintable corner where the recorded page begins.
    int offsetLeft = 0, offsetTop = 0;
    int marginLeft = 0, marginTop = 0, marginRight = 0, marginBottom = 0;
};

// Where the parts of the sheet go on a surface: the sheet centred on it, its shadow to the
// right and below, the recorded page from the printable corner to the far edge, and the
// margins inside the sheet.
struct TSheetLayout {
    TPreviewRect sheet, shadowRight, shadowBottom, page, margins;
};

TSheetLayout LayOutSheet(QSize surface, const TSheetMeasures& measures);
