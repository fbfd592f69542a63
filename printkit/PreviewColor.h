#pragma once

#include "PrintTypes.h"
#include "ui/Color.h"

// Colours the preview paints with, beside the system colours of PrintTypes.h.
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clBtnFace = TColor(0x8000000F);
