// The grid copied into a workbook of the spreadsheet program.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <algorithm>

#include "DBGridPrt.h"
#include "DdePause.h"
#include "VelloxStrings.h"
#include "WSCommands.h"
#include "WSUnit.h"
#include "core/Exception.h"
#include "db/dataset/DataSet.h"
#include "db/dataset/Field.h"
#include "ui/ModalSeam.h"

namespace {
// The pause after every row gives the spreadsheet program time to catch up: per grid column,
// twice that when fonts and alignments go with every cell.
constexpr int kPausePerColumnMs = 2;
constexpr int kFormattedFactor = 2;

const QString kNoSpreadsheet = QStringLiteral(
    "MS Excel not found or not available.\rExport was written to file \"Vellox.TXT\"");
const QString kExporting = QStringLiteral("Exporting to Excel");
const QString kRowPrefix = QStringLiteral("Row ");
const QString kCellsCut =
    QStringLiteral("Cells cut to the spreadsheet's %1 characters: %2, the first at %3.");

// The name without its last extension, its folder kept ("my.report.txt" gives "my.report").
QString WithoutExtension(const QString& name) {
    const QString suffix = QFileInfo(name).suffix();
    return suffix.isEmpty() ? name : name.left(name.size() - suffix.size() - 1);
}

bool Exported(const TColumnRec& column) {
    return column.PixelWidth * 4 > 5 && column.Visible;
}
}  // namespace

void TDBGridPrint::ExportToExcel() {
    ClearCancelRequest();
    // An overflow of an earlier export must not silence this one.
    TWorkSheet::TransferAborted = false;
    Modal().SetCursor(crHourGlass);
    if (!LocateExcel()) {
        if (ExportAsText())
            Modal().ShowMessage(kNoSpreadsheet);
        return;
    }

    std::exception_ptr firstError;
    {
        TWorkSheet sheet(this);
        // A Stop that gives up the wait for a silent program is a Stop like any other.
        const auto step = [&](const auto& action) {
            try {
                action();
            } catch (...) {
                if (!firstError) {
                    firstError = sheet.Stopped() ? std::make_exception_ptr(ECancelPrinting(
                                                       VelloxStrings::PrintingCancelled))
                                                 : std::current_exception();
                }
            }
        };
        sheet.SetFormatCells(PrintWYSIWYG());
        sheet.SetStopCheck([this] { return CancelRequested(); });
        if (!WSFileName().isEmpty())
            SetWSFileName(WithoutExtension(WSFileName()));
        step([&] {
            if (sheet.Connect())
                WriteWorksheet(sheet);
        });
        // Each finishing step runs whatever happened before it; the first failure is reported.
        // WSFileName has lost its extension already; what is left of its name must stay.
        step([&] {
            sheet.SaveAndFinish(WSFileName().isEmpty() ? QString()
                                                       : WSFileName() + QStringLiteral(".XLS"));
        });
        step([&] { sheet.Disconnect(); });
        step([&] { UpdateProgress(VelloxStrings::Finish, {}, 0, 0, 0); });
        if (sheet.Saved() && sheet.CutCells() > 0) {
            const auto [row, col] = sheet.FirstCutCell();
            Modal().ShowMessage(kCellsCut.arg(TWorkSheet::kMaxCellText)
                                    .arg(sheet.CutCells())
                                    .arg(CellName(row, col)));
        }
    }
    Modal().SetCursor(crDefault);
    if (firstError)
        std::rethrow_exception(firstError);
}

bool TDBGridPrint::ExportAsText() {
    // The grid goes to the text file through a composition of its own; the kit's own settings
    // come back afterwards, so that the next print prints.
    const bool printToFile = PrintToFile();
    const QString fileName = WSFileName();
    struct TRestore {
        TDBGridPrint& kit;
        bool printToFile;
        QString fileName;
        ~TRestore() {
            try {
                kit.SetPrintToFile(printToFile);
                kit.SetWSFileName(fileName);
            } catch (...) {
                // Refused only while a run is open, which the build has closed.
            }
        }
    } restore{*this, printToFile, fileName};
    SetPrintToFile(true);
    SetWSFileName(ProposedTextFileName(QCoreApplication::applicationDirPath(), QDir::homePath()));
    BuildFromGrid();
    return built_;
}

void TDBGridPrint::WriteWorksheet(TWorkSheet& sheet) {
    // The sheet is named after the workbook's file, without its folder.
    sheet.NewWorkbook(QFileInfo(WSFileName()).fileName());
    const std::vector<TColumnRec> columns = GridColumns();
    for (size_t i = 0; i < columns.size(); ++i) {
        const TColumnRec& column = columns[i];
        if (Exported(column)) {
            sheet.WriteCell({1, int32_t(i) + 1, column.PixelWidth / 6, column.Title,
                             column.TitleAlignment, &column.TitleFont, column.TitleFontColor});
        }
    }
    TDataSet* dataSet = grid_ ? grid_->DataSet() : nullptr;
    if (!dataSet)
        return;

    SetExpectedPages(int(std::clamp<qsizetype>(dataSet->RecordCount(), 1, 1 << 30)));
    int pause = int(columns.size()) * kPausePerColumnMs * (PrintWYSIWYG() ? kFormattedFactor : 1);
    if (DdePause > pause)
        pause = DdePause;
    else
        DdePause = uint16_t(std::min(pause, 0xFFFF));

    int row = 2;
    QElapsedTimer paced;
    paced.start();
    qint64 rowsSent = 0;
    // One state of the rows, streamed; the progress window's Stop is heard meanwhile.
    dataSet->Walk(
        [&] {
            for (size_t i = 0; i < columns.size(); ++i) {
                const TColumnRec& column = columns[i];
                if (Exported(column)) {
                    sheet.WriteCell({row, int32_t(i) + 1, -1,
                                     column.Field ? column.Field->DisplayText() : QString(),
                                     column.Alignment, &column.Font, column.FontColor});
                }
            }
            ExportProgress(row);
            // Row k waits until k pauses after the first: the time the rows take and the system
            // waking late do not add up on top of the pauses.
            const qint64 wait = ++rowsSent * pause - paced.elapsed();
            if (wait > 0)
                QThread::msleep(unsigned(wait));
            if (TWorkSheet::TransferAborted || CancelRequested())
                return false;
            ++row;
            return true;
        },
        [] { QCoreApplication::processEvents(); });
}

void TDBGridPrint::ExportProgress(int row) {
    if (ShowProgress())
        QCoreApplication::processEvents();
    UpdateProgress(kExporting, kRowPrefix, row, 1, ExpectedPages());
    if (ShowProgress() && ShowCancel())
        QCoreApplication::processEvents();
    if (CancelRequested())
        throw ECancelPrinting(VelloxStrings::PrintingCancelled);
}
