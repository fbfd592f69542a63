#pragma once

#include <QChar>
#include <QString>
#include <optional>

#include "PrintTypes.h"

// One item of a column layout: an optional alignment character ("<" left, "^" centre,
// ">" right) and a width in measure units. A negative width marks a column without grid.
struct TLayoutItem {
    TAlignment alignment = taLeftJustify;
    long double width = 0;
};

// A missing or unreadable width becomes `defaultWidth`.
TLayoutItem ParseLayoutItem(const QString& item, long double defaultWidth);

// ">" for right, "^" for centre, "<" for anything else.
QChar AlignmentChar(uint8_t alignment);

// Every item with an explicit alignment character and width; with `convertTo`, widths are
// converted into that unit from the other one. An empty text is a layout without items.
QString NormalizeLayout(const QString& text, QChar separator, long double defaultWidth,
                        std::optional<TMeasureUnit> convertTo = std::nullopt);
