#pragma once

#include <QPointer>

#include "db/DBGrid.h"

#include "CustomVellox.h"

// The print kit specialised for a data grid: the grid's columns and the rows of its data set
// become the kit's table lines. A grid wider than the page is split into column groups, each
// composed as its own run of pages under its own title row; the title row repeats at the top
// of every further page, and each cell gets its column's width, alignment and font.
class TDBGridPrint : public TCustomVellox {
    Q_OBJECT

  public:
    explicit TDBGridPrint(QWidget* owner = nullptr);
    ~TDBGridPrint() override;

    // The grid printed; not owned, forgotten when it is destroyed.
    TDBGrid* AsgnDBGrid() const { return grid_; }
    void SetAsgnDBGrid(TDBGrid* grid) { grid_ = grid; }

    // Composes the whole document from the grid (also on the kit's regenerate message). A grid
    // without printable columns or rows gives one error message and an empty document.
    void BuildFromGrid();
    // Writes the current group's title row at the top of a continuation page.
    void RepeatTitleRow();
    // Width, alignment and font of cell `column` (from 1) of the line being written.
    void GetColumnInfo(QObject* sender, int column, TTableLineColumnInfo& info);

  protected:
    void VelloxMessage(TVelloxMessage message) override;

  private:
    void RenderGrid();
    void RenderColumnGroup();
    // Writes a title row of the current group (steps shared by the group's first page and its
    // continuation pages).
    void WriteTitleRow(bool leadingBlank);
    // Drops a page that holds only repeated titles, with their copy in the collected lines.
    void DiscardBarePageWithTitles();

    QPointer<TDBGrid> grid_;
    qsizetype linesBeforePageTitles_ = 0;
};
