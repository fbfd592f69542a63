#pragma once

#include <cstdint>
#include <optional>

#include "PrintTypes.h"

// Pixel rules of page composition that scale with the printer's resolution.

// Gap between a cell's text and its column edge: 6 pixels per whole 300 dpi (0 below).
int CellInset(int dpiX);

// Where the text starts inside its column, inset included: left-aligned text moves right and
// right-aligned text left by the inset when it has room; centred text never moves.
int CellOffset(uint8_t alignment, int columnWidth, int textWidth, int inset);

// Pen width of grid and border lines: 2 pixels per whole 300 dpi (0 draws one pixel wide).
int LinePenWidth(int dpi);

// Height of one line from the em height of its font.
int LineHeightFor(TLineSpacing spacing, int fontHeight);

// How far grid lines sit above the top of their text, from the font's external leading.
int FrameLift(TLineSpacing spacing, int externalLeading);

// Top of the header line relative to the top margin: centred in the band between the paper's
// top edge and the top border (`band` pixels high), and never above the printable area. A
// band shorter than the line is a negative difference, halved as such. Lengths that could not
// be converted put the header at -100 before that limit.
int HeaderLineTop(std::optional<int> band, int lineHeight, std::optional<int> marginTop,
                  int topMarginPixels);
