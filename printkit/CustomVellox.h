#pragma once

#include <QElapsedTimer>
#include <QFont>
#include <QPointer>
#include <QScrollArea>
#include <QStringList>
#include <memory>

#include "CellText.h"
#include "ColumnLayout.h"
#include "PageGeometry.h"
#include "PreviewColor.h"
#include "PreviewGeometry.h"
#include "PrintTypes.h"
#include "VelloxMessage.h"
#include "VelloxPrgDlg.h"
#include "print/Printer.h"

class QPrinter;
class TMetafile;
class TMetafileCanvas;
class TPageList;
class TPreviewPaintBox;
class TTextOutputFile;

// The print kit's kernel: holds a document of text lines, composes it into pages (or a text
// file), and shows the pages in its scrolling area.
//
// Lengths are in `MeasureUnit` and measured from the paper's edges; inside a page everything
// is in printer pixels from the corner of the printable area. Everything runs on the user-
// interface thread. A composition run lasts from BeginDocument to EndDocument; while it is
// open (`IsPrinting`) the settings that shape pages are refused. A run that fails or is
// stopped ends closed by itself: the pages composed so far stay, a text file keeps its
// previous contents, and the EndDocument of the driver's clean-up then does nothing.
class TCustomVellox : public QScrollArea {
    Q_OBJECT

  public:
    explicit TCustomVellox(QWidget* owner = nullptr);
    ~TCustomVellox() override;

    // Settings (streamed by the grid adapter).
    long double MarginTop() const { return marginTop_; }
    void SetMarginTop(long double value);
    long double MarginBottom() const { return marginBottom_; }
    void SetMarginBottom(long double value);
    long double MarginLeft() const { return marginLeft_; }
    void SetMarginLeft(long double value);
    long double MarginRight() const { return marginRight_; }
    void SetMarginRight(long double value);
    TMeasureUnit MeasureUnit() const { return measureUnit_; }
    void SetMeasureUnit(TMeasureUnit value);
    long double PageBorderOffset() const { return pageBorderOffset_; }
    void SetPageBorderOffset(long double value) { pageBorderOffset_ = value; }
    TPageBorders PageBorders() const { return pageBorders_; }
    void SetPageBorders(TPageBorders value) { pageBorders_ = value; }
    // Held by the process-wide printer: portrait without one.
    TPrinterOrientation Orientation() const;
    void SetOrientation(TPrinterOrientation value);
    TLineSpacing LineSpacing() const { return lineSpacing_; }
    void SetLineSpacing(TLineSpacing value);
    // Created empty on first use; SetLines(nullptr) releases it.
    QStringList& Lines();
    void SetLines(const QStringList* lines);
    QString HeaderText() const { return headerText_; }
    void SetHeaderText(const QString& value) { headerText_ = value; }
    QString FooterText() const { return footerText_; }
    void SetFooterText(const QString& value) { footerText_ = value; }
    const QFont& HeaderFont() const { return headerFont_; }
    void SetHeaderFont(const QFont& value) { headerFont_ = value; }
    const QFont& FooterFont() const { return footerFont_; }
    void SetFooterFont(const QFont& value) { footerFont_ = value; }
    // The body font. A change takes effect at once for measuring, drawing and LineHeight.
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& value);
    // Held by the process-wide printer as the job title; also the "{$TITLE}" macro.
    QString PrintTitle() const;
    void SetPrintTitle(const QString& value);
    bool PrintToFile() const { return printToFile_; }
    void SetPrintToFile(bool value);
    QString WSFileName() const { return wsFileName_; }
    // Stored without leading and trailing blanks and control characters.
    void SetWSFileName(const QString& value);
    int Copies() const { return copies_; }
    void SetCopies(int value) { copies_ = value <= 0 ? 1 : value; }
    bool Collate() const { return collate_; }
    void SetCollate(bool value) { collate_ = value; }
    bool FitPrintToPage() const { return fitPrintToPage_; }
    void SetFitPrintToPage(bool value) { fitPrintToPage_ = value; }
    bool PrintWYSIWYG() const { return printWYSIWYG_; }
    void SetPrintWYSIWYG(bool value) { printWYSIWYG_ = value; }
    bool TableGrid() const { return tableGrid_; }
    void SetTableGrid(bool value) { tableGrid_ = value; }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value) { wordWrap_ = value; }
    bool ShowProgress() const { return showProgress_; }
    void SetShowProgress(bool value) { showProgress_ = value; }
    bool ShowCancel() const { return showCancel_; }
    void SetShowCancel(bool value) { showCancel_ = value; }
    QString ProgressMessage() const { return progressMessage_; }
    void SetProgressMessage(const QString& value) { progressMessage_ = value; }
    bool AbortOnCancel() const { return abortOnCancel_; }
    void SetAbortOnCancel(bool value) { abortOnCancel_ = value; }
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor value);
    unsigned ShadowOffset() const { return shadowOffset_; }
    void SetShadowOffset(unsigned value);
    bool ShowMargins() const { return showMargins_; }
    void SetShowMargins(bool value);
    bool GradientBackground() const { return gradientBackground_; }
    void SetGradientBackground(bool value);
    TZoomLocation ZoomLocation() const { return zoomLocation_; }
    void SetZoomLocation(TZoomLocation value) { zoomLocation_ = value; }
    int ZoomPercent() const { return zoomPercent_; }
    void SetZoomPercent(int value);
    bool UseRegistry() const { return useRegistry_; }
    void SetUseRegistry(bool value) { useRegistry_ = value; }
    QString RegistryKey() const { return registryKey_; }
    void SetRegistryKey(const QString& value) { registryKey_ = value; }
    // Applies the print settings stored in the user's registry store, under `RegistryKey` and
    // its subkey "Setup" (creating the key when it is missing), through the setters; with
    // `UseRegistry` off it only gives the six header and footer position selectors their
    // defaults. A missing value, or an integer that does not read as one, takes its default. A
    // value of a non-string type, a margin that is not a number and a DDE pause that is not an
    // integer raise an error that ends the load, leaving the values applied before it in
    // effect. `PrintTitle`, `HeaderText` and `FooterText` are filled only when empty.
    void LoadSettings();
    const TNotifyEvent& OnNewLine() const { return onNewLine_; }
    void SetOnNewLine(TNotifyEvent handler) { onNewLine_ = std::move(handler); }
    const TNotifyEvent& OnNewPage() const { return onNewPage_; }
    void SetOnNewPage(TNotifyEvent handler) { onNewPage_ = std::move(handler); }
    const TTableLineColumnEvent& OnTableLineColumn() const { return onTableLineColumn_; }
    void SetOnTableLineColumn(TTableLineColumnEvent handler) {
        onTableLineColumn_ = std::move(handler);
    }
    // Stored and published only; composition does not read them.
    int TabSize() const { return tabSize_; }
    void SetTabSize(int value) { tabSize_ = value; }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value) { alignment_ = value; }

    // Document state.
    // The page shown, from 1; 0 without pages. During a run, the page being composed.
    int PageNumber() const { return pageNumber_; }
    void SetPageNumber(int value);
    int PageCount() const;
    // Page n, from 1; outside 1..PageCount the page list's index error.
    TMetafile& Pages(int n) const;
    // Print range; 0 means the first or the last page. FromPage never exceeds ToPage.
    int FromPage() const { return fromPage_; }
    void SetFromPage(int value);
    int ToPage() const { return toPage_; }
    void SetToPage(int value);
    bool IsPrinting() const { return printToFile_ ? textFileOpen_ : composing_; }
    long double DefaultColumnWidth() const { return defaultColumnWidth_; }
    void SetDefaultColumnWidth(long double value) { defaultColumnWidth_ = value; }
    QChar ColumnSeparator() const { return columnSeparator_; }
    void SetColumnSeparator(QChar value) { columnSeparator_ = value; }
    int LineHeight() const { return lineHeight_; }
    int LineNumber() const { return lineNumber_; }
    int CurrentX() const { return currentX_; }
    int CurrentY() const { return currentY_; }
    bool Composing() const { return composing_; }
    bool TextFileOpen() const { return textFileOpen_; }
    bool HeaderMode() const { return headerMode_; }
    bool CancelRequested() const { return cancelRequested_; }
    int ExpectedPages() const { return expectedPages_; }
    void SetExpectedPages(int value) { expectedPages_ = value; }
    bool ExportingLines() const { return exportingLines_; }
    void SetExportingLines(bool value) { exportingLines_ = value; }
    // 1 while the adapter writes a title row, 2 for data rows.
    int LineKind() const { return lineKind_; }
    void SetLineKind(int value) { lineKind_ = value; }

    // Page geometry from the current printer, with the fallbacks when there is none.
    long double PaperWidth() const { return Geometry().PaperWidth(); }
    long double PaperHeight() const { return Geometry().PaperHeight(); }
    long double OffsetLeft() const { return Geometry().OffsetLeft(); }
    long double OffsetTop() const { return Geometry().OffsetTop(); }
    long double OffsetRight() const { return Geometry().OffsetRight(); }
    long double OffsetBottom() const { return Geometry().OffsetBottom(); }
    long double PrintableWidth() const { return Geometry().PrintableWidth(); }
    long double PrintableHeight() const { return Geometry().PrintableHeight(); }
    long double TextAreaWidth() const { return PaperWidth() - marginLeft_ - marginRight_; }
    int LeftMarginPixels() const;
    int RightMarginPixels() const;
    int TopMarginPixels() const;
    int BottomMarginPixels() const;
    // 0 when the lengths have no pixel value.
    int TextAreaWidthPixels() const;
    int TextAreaHeightPixels() const;
    int UnitsToPixelsX(long double length) const { return Geometry().UnitsToPixelsX(length); }
    int UnitsToPixelsY(long double length) const { return Geometry().UnitsToPixelsY(length); }
    long double PixelsToUnitsX(long double pixels) const {
        return Geometry().PixelsToUnitsX(pixels);
    }
    long double PixelsToUnitsY(long double pixels) const {
        return Geometry().PixelsToUnitsY(pixels);
    }
    // Re-derives what depends on the printer or the font: margins clamped again, font metrics,
    // LineHeight, and the compiled header and footer.
    void RefreshMetrics();
    // Realises the page font again at the printer's resolution.
    void RefreshPrinterFont();

    // Layouts, header and footer.
    QString ColumnLayout() const { return columnLayout_; }
    void SetColumnLayout(const QString& value);
    QString HeaderLayout() const { return headerLayout_; }
    void SetHeaderLayout(const QString& value);
    QString FooterLayout() const { return footerLayout_; }
    void SetFooterLayout(const QString& value);
    // Coded lines; assigning one compiles it into HeaderCells or FooterCells.
    QString HeaderLine() const { return headerLine_; }
    void SetHeaderLine(const QString& value);
    QString FooterLine() const { return footerLine_; }
    void SetFooterLine(const QString& value);
    QString HeaderCells() const { return headerCells_; }
    QString FooterCells() const { return footerCells_; }
    // Position selectors (THFItem values), 0 until set.
    int HLeft() const { return hLeft_; }
    void SetHLeft(int value) { hLeft_ = value; }
    int HCenter() const { return hCenter_; }
    void SetHCenter(int value) { hCenter_ = value; }
    int HRight() const { return hRight_; }
    void SetHRight(int value) { hRight_ = value; }
    int FLeft() const { return fLeft_; }
    void SetFLeft(int value) { fLeft_ = value; }
    int FCenter() const { return fCenter_; }
    void SetFCenter(int value) { fCenter_ = value; }
    int FRight() const { return fRight_; }
    void SetFRight(int value) { fRight_ = value; }
    QString NormalizeLayout(const QString& text, bool convert) const;
    TLayoutItem ParseLayoutItem(const QString& item) const;
    void CompileCodedLine(const QString& coded, bool header);
    // Header and footer from the selectors: columns of 20, 60 and 20 % of the text area.
    void BuildHeaderFooter();
    QString ExpandMacros(const QString& cell) const;

    // Composition.
    void BeginDocument();
    // One logical line: cells separated by ColumnSeparator, placed in the columns of
    // ColumnLayout.
    void WriteLine(const QString& text);
    // A line of data: each cell is placed as it is, with no split at the separator and no
    // macros, and is otherwise laid out like any line (wrapping, the column hook).
    void WriteCells(const QStringList& cells);
    int NewLine();
    int NewPage();
    void EndDocument();
    void ClearContents();
    // Refuses, with the kit's message, whatever would replace the pages while a run composes
    // them or sends them to the printer.
    void RefuseWhileBusy() const;
    // Removes the page being composed when a line's eager break began it and nothing but its
    // page start (header, footer, borders, repeated titles) was written on it since: the last
    // line of a block that fills its page exactly leaves such a page behind. True when removed;
    // the driver then breaks to a new page or ends the document (lines written before that
    // are measured but not kept). EndDocument does it for the last page itself.
    bool DiscardBarePage();

    // Printing. Print asks for the range and the destination in the print dialog, then prints
    // or saves the document's rows as a text file. PrintPages prints FromPage..ToPage on the
    // process-wide printer, Copies times, collated or not; false when the user stopped it.
    // While it runs the pages stay as they are: clearing or composing them is refused.
    void Print();
    bool PrintPages();
    bool SendingPages() const { return sendingPages_; }
    // The file the text output proposes: "Vellox.TXT" in the program's folder, or in the home
    // folder when the program's folder cannot be written.
    static QString ProposedTextFileName(const QString& programFolder, const QString& homeFolder);

    // Progress window; the status "<FINISH>" closes it.
    void UpdateProgress(const QString& status, const QString& prefix, int current, int first,
                        int last);
    // The Stop button: the run stops at its next page.
    void CancelPrinting() { cancelRequested_ = true; }
    // A run of the driver's own (the spreadsheet export) starts without an earlier Stop.
    void ClearCancelRequest() { cancelRequested_ = false; }
    TVelloxPrgDlg* ProgressDialog() const { return progress_; }

    // Preview.
    // The background behind the sheet, where the gradient ends; the palette's window colour
    // by default.
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    // Printer pixels per screen pixel on an axis; 1 while constructing or without a printer.
    long double PrinterScreenRatio(TPreviewAxis axis) const;
    // A length in measure units on the screen, and at the current zoom.
    int ScreenPixels(TPreviewAxis axis, long double length) const;
    int ZoomedPixels(TPreviewAxis axis, long double length) const;
    // The sheet on the screen at the current zoom, in pixels.
    int PreviewPaperWidth() const;
    int PreviewPaperHeight() const;
    virtual void Invalidate();
    void BeginUpdate() { ++updateLock_; }
    void EndUpdate();
    void UpdateScrollRanges();
    // Loading settings as a form would: line assignments are only stored and an out-of-range
    // page becomes 0 until Loaded.
    void BeginLoading() { loading_ = true; }
    virtual void Loaded();

  protected:
    virtual void PaintPreview(QPainter& painter);
    // Keeps the preview surface filling the visible area when that changes.
    bool viewportEvent(QEvent* event) override;
    // A kit message sent or posted to this component; the grid adapter handles them.
    virtual void VelloxMessage(TVelloxMessage message);
    // Delivers a message to this component at once and raises what its handler raised.
    void SendVelloxMessage(TVelloxMessage message);
    bool event(QEvent* event) override;

    // Ends an open run as failed: a text file is discarded (the previous one stays), the
    // progress window closes, and no success is reported.
    void AbortRun() noexcept;

  private:
    void PrintPage(int page, int first, int last, bool isFirst);
    // The dialog's "print to text file": the document composed again while its rows are
    // collected, then saved as tab-separated text.
    void SaveRowsAsText();
    // The PDF device the print dialog offers when the system has no printer; it matches the
    // page geometry composed without a printer.
    QPrinter& FallbackPdfDevice();

    long double ScreenDpi(TPreviewAxis axis) const;
    void FitSurface();

    // Runs one step of a composition run; whatever it raises ends the open run first.
    template <typename Step>
    auto InRun(Step&& step) -> decltype(step());

    TDeviceMetrics DeviceMetrics() const;
    TPageGeometry Geometry() const { return {DeviceMetrics(), measureUnit_}; }
    int PrinterDpiY() const { return Geometry().DpiY(); }
    int TextAreaHeightPixels(const TPageGeometry& geometry) const;
    void StoreMargin(long double& margin, long double value, long double low, long double high,
                     const QString& refusal);
    void FontChanged();
    void ReadTextMetrics();
    TMacroValues MacroValues() const;

    void ResetPageStore();
    void NewPageSurface(bool stored);
    void ClosePageCanvas();
    void StartPage();
    void DrawPageBorders();
    void WriteLineInRun(std::vector<TCellText> cells);
    void DrawCellFrame(const TPageGeometry& geometry, int topMargin, int width, bool top,
                       bool bottom);
    void EndRun(bool completed);

    // Settings.
    long double marginTop_ = 0, marginBottom_ = 0, marginLeft_ = 0, marginRight_ = 0;
    TMeasureUnit measureUnit_ = muMillimeters;
    long double pageBorderOffset_ = 0;
    TPageBorders pageBorders_;
    TLineSpacing lineSpacing_ = lsSingleSpace;
    std::unique_ptr<QStringList> lines_;
    QString headerText_, footerText_;
    QFont font_, headerFont_, footerFont_;
    bool printToFile_ = false;
    QString wsFileName_;
    int copies_ = 1;
    bool collate_ = true, fitPrintToPage_ = true, printWYSIWYG_ = true, tableGrid_ = true;
    bool wordWrap_ = false, showProgress_ = true, showCancel_ = true, abortOnCancel_ = false;
    QString progressMessage_;
    TColor shadowColor_ = clBtnShadow;
    unsigned shadowOffset_ = 5;
    bool showMargins_ = true, gradientBackground_ = true;
    TZoomLocation zoomLocation_ = zlCenter;
    int zoomPercent_ = 35;
    bool useRegistry_ = false;
    QString registryKey_;
    TNotifyEvent onNewLine_, onNewPage_;
    TTableLineColumnEvent onTableLineColumn_;
    int tabSize_ = 8;
    TAlignment alignment_ = taLeftJustify;

    // Document.
    int pageNumber_ = 0, fromPage_ = 0, toPage_ = 0;
    long double defaultColumnWidth_ = 25;
    QChar columnSeparator_ = QLatin1Char('|');
    QString columnLayout_, headerLayout_, footerLayout_;
    QString headerLine_, footerLine_, headerCells_, footerCells_;
    int hLeft_ = 0, hCenter_ = 0, hRight_ = 0, fLeft_ = 0, fCenter_ = 0, fRight_ = 0;
    int lineHeight_ = 0, lineNumber_ = 0, externalLeading_ = 0;
    int currentX_ = 0, currentY_ = 0;
    bool composing_ = false, headerMode_ = false, textFileOpen_ = false;
    bool cancelRequested_ = false, exportingLines_ = false, sendingPages_ = false;
    // Whether a line was placed on the current page beyond what its page start wrote, and
    // whether the page began at a line's eager break rather than at the driver's NewPage.
    bool pageHasBody_ = false, brokenEagerly_ = false;
    int expectedPages_ = 0, lineKind_ = 0, sheetsDrawn_ = 0;

    // Pages: the store, the page being recorded (the last stored one, or a scratch page of
    // our own used for measuring between runs) and its canvas.
    TPrinter* printer_ = nullptr;
    std::unique_ptr<TPageList> pages_;
    std::unique_ptr<TMetafile> scratchPage_;
    TMetafile* currentPage_ = nullptr;
    std::unique_ptr<TMetafileCanvas> pageCanvas_;
    std::unique_ptr<TTextOutputFile> textFile_;
    // Depth of page starts and lines begun inside one another, bounded so that a title row
    // that never fits or handlers that write lines forever end in an error.
    int pageStartDepth_ = 0, lineDepth_ = 0;

    std::unique_ptr<QPrinter> pdfFallback_;
    QPointer<TVelloxPrgDlg> progress_;
    TPreviewPaintBox* paintBox_ = nullptr;
    TColor color_ = clBtnFace;
    int horzRange_ = 0, vertRange_ = 0;
    int updateLock_ = 0;
    bool creating_ = true, loading_ = false;
};
