#pragma once

#include <QFont>
#include <QString>
#include <cstdint>
#include <vector>

#include "PrintTypes.h"

// One grid column as the adapter prints it. `Width` is the column's width in screen pixels
// divided by 4, read as millimetres; a hidden column reports -1 pixels and so gets 0.
struct TColumnRec {
    uint16_t Index = 0;
    bool Visible = true;
    int32_t Width = 0;
    QString Title;
    TAlignment TitleAlignment = taLeftJustify;
    QFont TitleFont;
    TAlignment Alignment = taLeftJustify;
    QFont Font;
};

// One column group: the columns printed side by side on the same pages.
using TColumnArray = std::vector<TColumnRec>;

// The column groups of the current document and the running widths used to build them; one
// copy per program, like the kit's counters (ProgramCounters.h), since only one adapter
// composes at a time.
extern std::vector<TColumnArray> ColumnGroups;
extern int CurrentColumnGroup;
extern long double GroupWidth;
extern long double GroupWidthLimit;

// A column width of w millimetres in the kit's measure unit.
long double ColumnWidthInUnits(int32_t width, TMeasureUnit unit);

// Appends a column to the last group, opening a new group when it does not fit in what is
// left of the width limit (a column wider than the limit gets a group of its own).
void AddColumn(const TColumnRec& column, TMeasureUnit unit);

// The text row of a group: a blank first when `leadingBlank`, then each column's text and
// " | ", an empty text for a hidden or narrow column, and the last bar removed (the row ends
// in two blanks). `text(i)` gives the text of column i of the group; the widths of the printed
// columns are added to GroupWidth when `addWidths`.
template <typename Text>
QString GroupRow(const TColumnArray& group, bool leadingBlank, TMeasureUnit unit, bool addWidths,
                 Text&& text) {
    QString row = leadingBlank ? QStringLiteral(" ") : QString();
    for (size_t i = 0; i < group.size(); ++i) {
        const TColumnRec& column = group[i];
        if (column.Width * 4 > 5 && column.Visible) {
            row += text(i);
            if (addWidths)
                GroupWidth += ColumnWidthInUnits(column.Width, unit);
        }
        row += QStringLiteral(" | ");
    }
    if (row.size() >= 2)
        row.remove(row.size() - 2, 1);
    return row;
}

// The page total the composition progress shows: records div 55 plus a half, rounded half to
// even, at least 1; times the group count plus one when the grid is split.
int ExpectedPagesFor(long long recordCount, int lastColumnGroup);
