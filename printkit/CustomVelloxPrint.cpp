#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPrinter>
#include <algorithm>

#include "CustomVellox.h"
#include "VelloxStrings.h"
#include "core/Exception.h"
#include "core/TextFile.h"
#include "metafile/Metafile.h"
#include "print/Printer.h"
#include "ui/ModalSeam.h"

namespace {
// Resolution and unprintable edge of the geometry the kit composes with when there is no
// printer; the PDF device offered then must match them.
constexpr int kFallbackDpi = 300;
constexpr qreal kFallbackEdgeMm = 6;
constexpr qreal kFallbackEdgeInchesMm = 0.25 * 25.4;

// Ends whatever is left of a job after a failure; the failure itself is what gets reported.
void AbortJob(TPrinter& printer) noexcept {
    try {
        if (printer.Printing())
            printer.Abort();
    } catch (...) {
    }
}

QString FileNameFromTitle(const QString& title) {
    QString name = title.trimmed();
    for (QChar& c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    return (name.isEmpty() ? QStringLiteral("Quorva") : name) + QStringLiteral(".pdf");
}
}  // namespace

void TCustomVellox::Print() {
    // A run sending pages owns them until it ends; no dialog opens over it.
    if (sendingPages_)
        throw EPagePrinter(VelloxStrings::AlreadySending);
    const int count = PageCount();
    if (count < 1) {
        Modal().InformationBox(VelloxStrings::NoKontent, ApplicationTitle());
        return;
    }
    TPrinter& printer = Printer();
    QPrinter* device = printer.Device();
    const bool fallback = device == nullptr;
    if (fallback)
        device = &FallbackPdfDevice();
    const std::optional<TPrintDialogAnswer> answer =
        Modal().PrintDialog(this, TPrintDialogRequest{device, 1, count, 1, count, true});
    if (!answer)
        return;
    if (answer->printToTextFile) {
        SaveRowsAsText();
        return;
    }
    int first = 1, last = count;
    if (answer->range == prSelection)
        first = last = pageNumber_;
    else if (answer->range == prPageNums)
        first = answer->fromPage, last = answer->toPage;
    SetFromPage(first);
    SetToPage(last);

    // Without a printer the job goes to the dialog's PDF file, for this run only.
    struct TLoan {
        TPrinter& printer;
        bool lent;
        ~TLoan() {
            if (lent && !printer.Printing())
                printer.Lend(nullptr);
        }
    } loan{printer, fallback};
    if (fallback)
        printer.Lend(device);
    if (!PrintPages())
        Modal().InformationBox(VelloxStrings::PrintingCancelled, ApplicationTitle());
}

bool TCustomVellox::PrintPages() {
    if (sendingPages_)
        throw EPagePrinter(VelloxStrings::AlreadySending);
    if (IsPrinting())
        EndDocument();
    const int count = PageCount();
    if (count <= 0)
        return true;
    // 0 stands for the first or the last page; anything else is held to the pages there are.
    const int first = fromPage_ != 0 ? std::clamp(fromPage_, 1, count) : 1;
    const int last = toPage_ != 0 ? std::clamp(toPage_, first, count) : count;

    TPrinter& printer = Printer();
    // Copies are made here, page by page, so the device prints each page once.
    const int savedCopies = printer.Copies();
    printer.SetCopies(1);
    cancelRequested_ = false;
    sendingPages_ = true;
    sheetsDrawn_ = 0;
    // Every way out closes the progress window, ends the job and gives the device its copy
    // count back.
    struct TFinish {
        TCustomVellox& kit;
        TPrinter& printer;
        int copies;
        ~TFinish() {
            kit.sendingPages_ = false;
            AbortJob(printer);
            try {
                kit.UpdateProgress(VelloxStrings::Finish, {}, 0, 0, 0);
                printer.SetCopies(copies);
            } catch (...) {
            }
        }
    } finish{*this, printer, savedCopies};

    bool result = true;
    try {
        printer.BeginDoc();
        if (collate_) {
            for (int copy = 1; copy <= copies_; ++copy)
                for (int page = first; page <= last; ++page)
                    PrintPage(page, first, last, page == first && copy == 1);
        } else {
            for (int page = first; page <= last; ++page)
                for (int copy = 1; copy <= copies_; ++copy)
                    PrintPage(page, first, last, page == first && copy == 1);
        }
        printer.EndDoc();
    } catch (const ECancelPrinting&) {
        result = false;
        // A job stopped before its first page has nothing to print.
        if (printer.Printing()) {
            if (abortOnCancel_ || sheetsDrawn_ == 0)
                printer.Abort();
            else
                printer.EndDoc();
        }
    }
    return result;
}

void TCustomVellox::PrintPage(int page, int first, int last, bool isFirst) {
    if (showProgress_ && showCancel_)
        QCoreApplication::processEvents();
    if (cancelRequested_)
        throw ECancelPrinting(VelloxStrings::PrintingCancelled);
    UpdateProgress(progressMessage_, VelloxStrings::PagePrefix, page, first, last);
    TPrinter& printer = Printer();
    // A sheet is started only when there is a page for it, so a stopped run that ends its
    // job normally prints no empty sheet.
    if (!isFirst)
        printer.NewPage();
    Pages(page).Play(printer.Canvas());
    ++sheetsDrawn_;
}

QPrinter& TCustomVellox::FallbackPdfDevice() {
    if (!pdfFallback_) {
        const bool inches = measureUnit_ == muInches;
        pdfFallback_ = TPrinter::NewPdfDevice(
            kFallbackDpi, QPageSize(inches ? QPageSize::Letter : QPageSize::A4),
            inches ? kFallbackEdgeInchesMm : kFallbackEdgeMm,
            QDir::home().filePath(FileNameFromTitle(PrintTitle())));
    }
    return *pdfFallback_;
}

QString TCustomVellox::ProposedTextFileName(const QString& programFolder,
                                            const QString& homeFolder) {
    const QFileInfo folder(programFolder);
    const QString base = folder.isDir() && folder.isWritable() ? programFolder : homeFolder;
    return QDir(base).filePath(VelloxStrings::ProposedTextFile);
}

void TCustomVellox::SaveRowsAsText() {
    const QString proposed =
        ProposedTextFileName(QCoreApplication::applicationDirPath(), QDir::homePath());
    const std::optional<QString> fileName =
        Modal().InputBox(VelloxStrings::DefineFilename, VelloxStrings::FilenamePrompt, proposed);
    if (!fileName)
        return;

    Modal().SetCursor(crHourGlass);
    const bool tableGrid = tableGrid_;
    struct TCleanup {
        TCustomVellox& kit;
        bool tableGrid;
        ~TCleanup() {
            kit.exportingLines_ = false;
            kit.tableGrid_ = tableGrid;
            if (QWidget* parent = kit.parentWidget())
                QCoreApplication::postEvent(parent, new TVelloxMessageEvent(WM_REGENERATE));
            Modal().SetCursor(crDefault);
        }
    } cleanup{*this, tableGrid};
    SetPrintToFile(false);
    exportingLines_ = true;
    Lines().clear();
    // A Stop or an error while composing ends the export: only complete documents are saved,
    // and no run is left open by a driver that failed halfway.
    try {
        SendVelloxMessage(WM_REGENERATE);
    } catch (...) {
        AbortRun();
        throw;
    }
    // A document that could not be built has said why; there is nothing to save.
    if (PageCount() < 1)
        return;

    QString text;
    for (const QString& line : Lines())
        text += line + QStringLiteral("\r\n");
    SaveTextFile(*fileName, text);
    Modal().ShowMessage(VelloxStrings::ContentSaved.arg(*fileName));
}
