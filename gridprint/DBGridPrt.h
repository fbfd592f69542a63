#pragma once

#include <QPointer>
#include <vector>

#include "db/grid/DBGrid.h"

#include "ColumnGroups.h"
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
    // Copies the grid into a new workbook of the spreadsheet program and saves it under
    // WSFileName (its extension replaced by ".XLS"); without a spreadsheet program the grid is
    // written as text to "Vellox.TXT" instead. Also the kit's export message.
    void ExportToExcel();

  protected:
    void VelloxMessage(TVelloxMessage message) override;

  private:
    // False when the grid had nothing to print (the message has been shown).
    bool RenderGrid();
    void RenderColumnGroup();
    // Writes a title row of the current group (steps shared by the group's first page and its
    // continuation pages).
    void WriteTitleRow(bool leadingBlank);
    // Drops a page that holds only repeated titles, with their copy in the collected lines.
    void DiscardBarePageWithTitles();

    // Every column of the grid, hidden ones too, in grid order.
    std::vector<TColumnRec> GridColumns() const;
    // The spreadsheet export's text fallback; false when nothing was written.
    bool ExportAsText();
    void WriteWorksheet(class TWorkSheet& sheet);
    void ExportProgress(int row);
    QPointer<TDBGrid> grid_;
    // Whether the last BuildFromGrid composed a whole document.
    bool built_ = false;
    qsizetype linesBeforePageTitles_ = 0;
};
