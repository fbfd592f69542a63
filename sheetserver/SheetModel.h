#pragma once

#include <QString>
#include <map>
#include <optional>
#include <utility>

// How one cell looks; a font is set only once FORMAT.FONT named one.
struct TCellFormat {
    int horizontal = 1;  // 1 general, 2 left, 3 centre, 4 right
    int vertical = 3;    // 1 top, 2 centre, 3 bottom
    std::optional<QString> fontName;
    double fontSize = 11;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int colorIndex = 0;  // the spreadsheet palette's index; 0 automatic

    bool operator<(const TCellFormat& other) const;
};

struct TSheetCell {
    QString content;  // what FORMULA gave, apostrophe included
    TCellFormat format;
};

// The one workbook the server builds: one sheet, its cells by row and column (both from 1),
// the column widths in characters, and the selected cell.
struct TSheetModel {
    QString sheetName = QStringLiteral("Sheet1");
    std::map<std::pair<int, int>, TSheetCell> cells;
    std::map<int, double> columnWidths;
    int row = 1;
    int col = 1;

    TSheetCell& Selected() { return cells[{row, col}]; }
};
