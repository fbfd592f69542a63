#pragma once

#include <QColor>
#include <cstdint>

// Colours as 32-bit blue-green-red values (red in the low byte); negative values name system
// colours by their Windows number in the low byte.
using TColor = int32_t;
// The text colour of windows and grids: the theme's, and the spreadsheet's automatic colour.
constexpr TColor clWindowText = TColor(0x80000008);

// A colour as red, green and blue. System colours come from the application's palette, so
// that they follow the desktop's theme as they follow the Windows scheme there; a system
// colour without a counterpart is black.
QColor ColorToRGB(TColor color);
