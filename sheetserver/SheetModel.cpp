#include "SheetModel.h"

#include <tuple>

bool TCellFormat::operator<(const TCellFormat& other) const {
    const auto key = [](const TCellFormat& f) {
        return std::tie(f.horizontal, f.vertical, f.fontName, f.fontSize, f.bold, f.italic,
                        f.underline, f.strikeOut, f.colorIndex);
    };
    return key(*this) < key(other);
}
