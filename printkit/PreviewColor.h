#pragma once

#include <QColor>

#include "PrintTypes.h"

// Colours the preview paints with, beside the system colours of PrintTypes.h.
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clBtnFace = TColor(0x8000000F);

// A colour as red, green and blue. System colours come from the application's palette, so
// that they follow the desktop's theme as they follow the Windows scheme there; a system
// colour without a counterpart is black.
QColor ColorToRGB(TColor color);
