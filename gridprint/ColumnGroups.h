#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "PrintTypes.h"

class TField;

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
    // What the spreadsheet export needs besides: the width in screen pixels (-1 when hidden),
    // the column's own field (not owned; none for a column without one) and the colours of
    // the title's and the cells' fonts.
    int32_t PixelWidth = 0;
    TField* Field = nullptr;
    TColor TitleFontColor = clWindowText;
    TColor FontColor = clWindowText;
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

// The cells of a group's row: each column's text between blanks, a blank more in front of the
// first when `leadingBlank` and after the last, an empty text for a hidden or narrow column.
// Joined with "|" they make the row " A | B | C  ". `text(i)` gives the text of column i of
// the group; the widths of the printed columns are added to GroupWidth when `addWidths`.
template <typename Text>
QStringList GroupCells(const TColumnArray& group, bool leadingBlank, TMeasureUnit unit,
                       bool addWidths, Text&& text) {
    QStringList cells;
    cells.reserve(qsizetype(group.size()));
    for (size_t i = 0; i < group.size(); ++i) {
        const TColumnRec& column = group[i];
        QString cell =
            i == 0 ? (leadingBlank ? QStringLiteral(" ") : QString()) : QStringLiteral(" ");
        if (column.Width * 4 > 5 && column.Visible) {
            cell += text(i);
            if (addWidths)
                GroupWidth += ColumnWidthInUnits(column.Width, unit);
        }
        cell += i + 1 == group.size() ? QStringLiteral("  ") : QStringLiteral(" ");
        cells.append(cell);
    }
    return cells;
}

// The page total the composition progress shows: records div 55 plus a half, rounded half to
// even, at least 1; times the group count plus one when the grid is split.
int ExpectedPagesFor(long long recordCount, int lastColumnGroup);
