#pragma once

#include <QFont>
#include <QString>
#include <cstdint>

// One worksheet cell as the export hands it over.
struct TWSExportRec {
    int32_t Row = 1;    // from 1
    int32_t Col = 1;    // from 1
    int32_t Width = 0;  // column width in characters; 0 or less leaves the width alone
    QString Text;
    uint8_t Alignment = 0;        // 0 left, 1 right, 2 centre (the print kit's TAlignment)
    const QFont* Font = nullptr;  // not owned; sent only when the worksheet formats cells
    int32_t FontColor = 0;        // the font's colour, blue-green-red, negative for system colours
};
