#include "DBGridPrt.h"

#include <QCoreApplication>
#include <algorithm>

#include "ColumnGroups.h"
#include "ProgramCounters.h"
#include "VelloxStrings.h"
#include "core/Exception.h"
#include "db/dataset/DataSet.h"
#include "db/dataset/Field.h"
#include "db/grid/DBGrid.h"
#include "ui/ModalSeam.h"

namespace {
const QString kNothingToPrint =
    QStringLiteral("No grid assigned to Rurovazi or none grid column available or visible!");

TAlignment AlignmentOf(Qt::Alignment alignment) {
    if (alignment & Qt::AlignRight)
        return taRightJustify;
    if (alignment & Qt::AlignHCenter)
        return taCenter;
    return taLeftJustify;
}

TColumnRec ColumnRecOf(const TColumn& column, int index) {
    TColumnRec record;
    record.Index = uint16_t(index);
    record.Visible = column.Visible();
    record.Width = column.Width() / 4;
    record.Title = column.Title().Caption();
    record.TitleAlignment = AlignmentOf(column.Title().Alignment());
    record.TitleFont = column.Title().Font();
    record.Alignment = AlignmentOf(column.Alignment());
    record.Font = column.Font();
    record.PixelWidth = column.Width();
    record.Field = column.Field();
    record.TitleFontColor = column.Title().FontColor();
    record.FontColor = column.FontColor();
    return record;
}
}  // namespace

std::vector<TColumnRec> TDBGridPrint::GridColumns() const {
    std::vector<TColumnRec> records;
    if (!grid_)
        return records;
    const TDBGridColumns& columns = grid_->Columns();
    for (int i = 0; i < columns.Count(); ++i)
        records.push_back(ColumnRecOf(columns.Items(i), i));
    return records;
}

TDBGridPrint::TDBGridPrint(QWidget* owner) : TCustomVellox(owner) {
    setObjectName(QStringLiteral("DBGridPrint"));
    SetOnTableLineColumn([this](QObject* sender, int column, TTableLineColumnInfo& info) {
        GetColumnInfo(sender, column, info);
    });
}

TDBGridPrint::~TDBGridPrint() {
    grid_ = nullptr;
    ColumnGroups.clear();
}

void TDBGridPrint::VelloxMessage(TVelloxMessage message) {
    switch (message) {
        case WM_PAGESTART:
            RepeatTitleRow();
            break;
        case WM_REGENERATE:
            BuildFromGrid();
            break;
        case WM_EXPORTSHEET:
            ExportToExcel();
            break;
    }
}

void TDBGridPrint::BuildFromGrid() {
    // A build while a run composes or prints would tear down what that run works on, its
    // progress window and its cursor included.
    RefuseWhileBusy();
    // Whatever happens, the preview repaints, the progress window goes and the cursor returns.
    struct TCleanup {
        TDBGridPrint& kit;
        ~TCleanup() {
            kit.EndUpdate();
            kit.UpdateProgress(VelloxStrings::Finish, {}, 0, 0, 0);
            Modal().SetCursor(crDefault);
        }
    } cleanup{*this};
    LoadSettings();
    SetZoomLocation(zlTopCenter);
    ClearContents();
    BuildHeaderFooter();
    Modal().SetCursor(crHourGlass);
    BeginUpdate();
    built_ = false;
    if (grid_)
        built_ = RenderGrid();
}

bool TDBGridPrint::RenderGrid() {
    TDataSet* dataSet = grid_ ? grid_->DataSet() : nullptr;
    const TDBGridColumns* columns = grid_ ? &grid_->Columns() : nullptr;
    bool wideEnough = false;
    for (int i = 0; columns && i < columns->Count(); ++i)
        wideEnough = wideEnough || columns->Width(i) > 5;
    if (!grid_ || !wideEnough || !dataSet || !dataSet->Active() || dataSet->RecordCount() < 1 ||
        dataSet->FieldCount() < 1) {
        Modal().ErrorBox(kNothingToPrint);
        return false;
    }

    ColumnGroups.clear();
    GroupWidthLimit = TextAreaWidth();
    GroupWidth = GroupWidthLimit * 1.1L;
    LastColumnGroup = -1;
    for (const TColumnRec& column : GridColumns())
        AddColumn(column, MeasureUnit());

    ColumnGroupNumber = 0;
    BeginDocument();
    try {
        for (CurrentColumnGroup = 0; CurrentColumnGroup <= LastColumnGroup; ++CurrentColumnGroup)
            RenderColumnGroup();
        NewLine();
        DiscardBarePageWithTitles();
        EndDocument();
    } catch (...) {
        // A stopped or failed document is not a document: no file, no success message.
        AbortRun();
        throw;
    }
    return true;
}

void TDBGridPrint::RenderColumnGroup() {
    ++ColumnGroupNumber;
    if (CurrentColumnGroup > 0) {
        // The last rows of the previous group may have filled their page exactly.
        DiscardBarePageWithTitles();
        // Every group numbers its own pages from 1; the new group writes its own title row
        // below, so the page start must not.
        DocumentPageNumber = 0;
        SuppressPageStart = true;
        try {
            NewPage();
        } catch (...) {
            SuppressPageStart = false;
            throw;
        }
        SuppressPageStart = false;
    }
    SetLineSpacing(lsSingleAndAHalf);
    const TColumnArray& group = ColumnGroups[size_t(CurrentColumnGroup)];
    SetColumnLayout(QString());
    for (size_t i = 1; i < group.size(); ++i)
        SetColumnLayout(ColumnLayout() + QLatin1Char('|'));
    WriteTitleRow(true);

    TDataSet& dataSet = *grid_->DataSet();
    SetExpectedPages(ExpectedPagesFor(dataSet.RecordCount(), LastColumnGroup));
    // One state of the rows, streamed; the progress window's Stop is heard meanwhile.
    dataSet.Walk(
        [&] {
            // Values are data: a bar, a brace or a macro name in them is printed as it is.
            const QStringList cells = GroupCells(group, true, MeasureUnit(), false, [&](size_t i) {
                const int field = group[i].Index;
                return field < dataSet.FieldCount() ? dataSet.Fields(field).DisplayText()
                                                    : QString();
            });
            WriteCells(cells);
            if (ExportingLines())
                Lines().append(cells.join(QLatin1Char('\t')));
            return !CancelRequested();
        },
        [] { QCoreApplication::processEvents(); });
    // A Stop after the last page start would otherwise leave a cut-off document that looks
    // complete.
    if (CancelRequested())
        throw ECancelPrinting(VelloxStrings::PrintingCancelled);
}

void TDBGridPrint::WriteTitleRow(bool leadingBlank) {
    GroupWidth = 0;
    const bool tableGrid = TableGrid();
    SetTableGrid(true);
    const TColumnArray& group = ColumnGroups[size_t(CurrentColumnGroup)];
    // Titles are the data's column names: a bar or a macro name in them is printed as it is.
    const QStringList cells = GroupCells(group, leadingBlank, MeasureUnit(), true,
                                         [&](size_t i) { return group[i].Title; });
    SetLineKind(1);
    try {
        WriteCells(cells);
    } catch (...) {
        SetTableGrid(tableGrid);
        SetLineKind(2);
        throw;
    }
    SetTableGrid(tableGrid);
    SetLineKind(2);
    SetLineSpacing(lsHalfSpace);
    NewLine();
    SetLineSpacing(lsSingleAndAHalf);
    if (ExportingLines())
        Lines().append(cells.join(QLatin1Char('\t')));
}

void TDBGridPrint::DiscardBarePageWithTitles() {
    if (DiscardBarePage() && ExportingLines())
        Lines().resize(std::min(Lines().size(), linesBeforePageTitles_));
}

void TDBGridPrint::RepeatTitleRow() {
    if (SuppressPageStart || PageNumber() == 1)
        return;
    if (CurrentColumnGroup < 0 || size_t(CurrentColumnGroup) >= ColumnGroups.size())
        return;
    linesBeforePageTitles_ = ExportingLines() ? Lines().size() : 0;
    WriteTitleRow(false);
}

void TDBGridPrint::GetColumnInfo(QObject*, int column, TTableLineColumnInfo& info) {
    if (!grid_ || CurrentColumnGroup < 0 || size_t(CurrentColumnGroup) >= ColumnGroups.size())
        return;
    const TColumnArray& group = ColumnGroups[size_t(CurrentColumnGroup)];
    if (column < 1 || size_t(column) > group.size())
        return;
    const TColumnRec& record = group[size_t(column - 1)];
    info.Width = ColumnWidthInUnits(record.Width, MeasureUnit());
    if (FitPrintToPage() && GroupWidth > 0 && GroupWidth < GroupWidthLimit)
        info.Width = info.Width * GroupWidthLimit / GroupWidth;
    info.Grid = TableGrid();
    const bool title = LineKind() == 1;
    if (PrintWYSIWYG()) {
        info.Alignment = title ? record.TitleAlignment : record.Alignment;
        SetFont(title ? record.TitleFont : record.Font);
    } else {
        QFont font = Font();
        font.setBold(title);
        SetFont(font);
    }
}
