#pragma once

#include <QFont>

// Windows' MulDiv: a * b / c in 64 bits, rounded half away from zero.
int MulDiv(int a, int b, int c);

// The em height in pixels that a device of `dpi` pixels per inch gives the font's point size.
int FontPixelHeight(const QFont& font, int dpi);

// The font as a device of `dpi` pixels per inch draws it: sized in whole pixels, unhinted,
// without kerning and without optional shaping, so that a text's width is the sum of its
// characters' advances and does not depend on the device the page is played on.
QFont RealizeFont(const QFont& font, int dpi);
