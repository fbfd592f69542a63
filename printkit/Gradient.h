#pragma once

#include "PrintTypes.h"

class QPainter;
class QRect;

// Fills `rect` with one-pixel strips from `color1` to `color2`: rows from top to bottom when
// `vertical`, columns from left to right otherwise. The first strip has `color1`, the last
// `color2`; a rectangle one strip deep (or less) is left alone. Only strips inside the
// painter's clip are drawn, so a tall surface costs what is exposed of it.
void DrawGradient(QPainter& canvas, const QRect& rect, TColor color1, TColor color2, bool vertical);
