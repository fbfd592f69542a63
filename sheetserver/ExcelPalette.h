#pragma once

#include <cstdint>

// The colour (0xRRGGBB) of an index of the spreadsheet's standard 56-colour palette, 1 to 56.
uint32_t ExcelPaletteColor(int index);
