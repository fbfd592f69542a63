#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>

#include "ui/Color.h"

// Units of every length of the kit; one inch is 25.4 mm.
enum TMeasureUnit { muInches, muMillimeters };

enum TLineSpacing { lsHalfSpace, lsSingleSpace, lsSingleAndAHalf, lsDoubleSpace };

enum TPageBorder { pbTop, pbBottom, pbLeft, pbRight };

// A set of page borders, stored as one byte with bit n for the border of ordinal n.
class TPageBorders {
  public:
    TPageBorders() = default;
    TPageBorders(std::initializer_list<TPageBorder> borders) {
        for (TPageBorder border : borders)
            Include(border);
    }

    bool Contains(TPageBorder border) const { return bits_ & (1u << border); }
    void Include(TPageBorder border) { bits_ = uint8_t(bits_ | (1u << border)); }
    bool IsEmpty() const { return bits_ == 0; }
    bool operator==(const TPageBorders&) const = default;

  private:
    uint8_t bits_ = 0;
};

enum TZoomLocation { zlTopLeft, zlTopCenter, zlCenter };

// Text alignment; a layout item holds its alignment as this number (0 left, 1 right, 2 centre).
enum TAlignment : uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

// What a position of the header or footer shows.
enum THFItem { hfEmpty = 0, hfDate = 1, hfPageNr = 2, hfTime = 3, hfText = 4 };

constexpr TColor clBtnShadow = TColor(0x80000010);

// One cell of a body line as the column hook sees it; the width is in measure units.
struct TTableLineColumnInfo {
    QString Text;
    long double Width = 0;
    uint8_t Alignment = taLeftJustify;
    bool Grid = false;
};

using TNotifyEvent = std::function<void(QObject* Sender)>;
// Called for each column (numbered from 1) of the first physical line of a body line.
using TTableLineColumnEvent =
    std::function<void(QObject* Sender, int Column, TTableLineColumnInfo& Info)>;
