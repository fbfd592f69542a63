#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "CellText.h"
#include "CustomVellox.h"
#include "PlacementRules.h"
#include "ProgramCounters.h"
#include "TextFit.h"
#include "TextOutputFile.h"
#include "TextUtils.h"
#include "VelloxStrings.h"
#include "core/Exception.h"
#include "metafile/Metafile.h"
#include "metafile/MetafileCanvas.h"
#include "metafile/PageList.h"
#include "ui/ModalSeam.h"

namespace {
// Legitimate documents start at most one page inside another (a title row that breaks the
// page) and nest lines a few deep (header, title row); far beyond that they never end.
constexpr int kMaxNestedPageStarts = 8;
constexpr int kMaxNestedLines = 32;

class TDepthScope {
  public:
    TDepthScope(int& depth, int limit, const QString& error) : depth_(depth) {
        if (depth_ >= limit)
            throw EPagePrinter(error);
        ++depth_;
    }
    ~TDepthScope() { --depth_; }
    TDepthScope(const TDepthScope&) = delete;
    TDepthScope& operator=(const TDepthScope&) = delete;

  private:
    int& depth_;
};
}  // namespace

template <typename Step>
auto TCustomVellox::InRun(Step&& step) -> decltype(step()) {
    try {
        return step();
    } catch (...) {
        AbortRun();
        throw;
    }
}

void TCustomVellox::BeginDocument() {
    if (sendingPages_)
        throw EPagePrinter(VelloxStrings::ComposeWhileSending);
    // A second run started while one is open (from a handler run between pages) is refused.
    if (composing_ || textFileOpen_)
        throw EPagePrinter(VelloxStrings::ClearWhilePrinting);
    InRun([&] {
        cancelRequested_ = false;
        RefreshMetrics();
        composing_ = true;
        headerMode_ = false;
        if (printToFile_) {
            RefreshPrinterFont();
            textFile_ = std::make_unique<TTextOutputFile>(wsFileName_);
            textFileOpen_ = true;
        } else {
            pageCanvas_.reset();
            scratchPage_.reset();
            pages_ = std::make_unique<TPageList>();
            pageNumber_ = 0;
            NewPageSurface(true);
        }
        RefreshPrinterFont();
        pageNumber_ = 1;
        DocumentPageNumber = 1;
        // A split table numbers its own groups; nothing of an earlier document carries over.
        ColumnGroupNumber = 0;
        StartPage();
    });
}

void TCustomVellox::WriteLine(const QString& text) {
    InRun([&] {
        const TDepthScope depth(lineDepth_, kMaxNestedLines, VelloxStrings::TooLongLines);
        std::vector<TCellText> cells;
        for (const QString& cell : SplitByChar(text, columnSeparator_)) {
            cells.push_back(cell.contains(QLatin1String("{$")) ? TCellText::WithMacros(cell)
                                                               : TCellText::Plain(cell));
        }
        WriteLineInRun(std::move(cells));
    });
}

void TCustomVellox::WriteCells(const QStringList& cells) {
    InRun([&] {
        const TDepthScope depth(lineDepth_, kMaxNestedLines, VelloxStrings::TooLongLines);
        std::vector<TCellText> plain;
        plain.reserve(size_t(cells.size()));
        for (const QString& cell : cells)
            plain.push_back(TCellText::Plain(cell));
        WriteLineInRun(std::move(plain));
    });
}

void TCustomVellox::WriteLineInRun(std::vector<TCellText> cells) {
    const TPageGeometry geometry = Geometry();
    const int leftMargin = geometry.UnitsToPixelsX(marginLeft_ - geometry.OffsetLeft());
    const int topMargin = geometry.UnitsToPixelsY(marginTop_ - geometry.OffsetTop());
    const int inset = CellInset(geometry.DpiX());
    const TTextWidth measure = [this](QStringView piece) { return pageCanvas_->TextWidth(piece); };

    // The layout is a working copy: the column hook may rewrite its items for this line.
    std::vector<TLayoutItem> items;
    std::vector<int> widths;
    for (const QString& itemText : SplitByChar(columnLayout_, columnSeparator_)) {
        items.push_back(ParseLayoutItem(itemText));
        widths.push_back(geometry.UnitsToPixelsX(std::fabs(items.back().width)));
    }
    cells.resize(std::max(cells.size(), items.size()));
    // Lines written by a page start (its titles) do not make the page worth keeping.
    const bool body = !headerMode_ && pageStartDepth_ == 0;

    bool topLine = tableGrid_, first = true;
    for (;;) {
        bool more = false;
        currentX_ = leftMargin;
        if (body)
            pageHasBody_ = true;
        // Macros show the line and page of the physical line they land on.
        std::optional<TMacroValues> values;
        for (size_t i = 0; i < items.size(); ++i) {
            uint8_t alignment = items[i].alignment;
            bool grid = tableGrid_ && items[i].width >= 0;
            int width = widths[i];

            if (cells[i].HasMacros() && !values)
                values = MacroValues();
            TCellText::Expansion expansion = cells[i].Expand(values ? *values : TMacroValues());
            QString content = expansion.Text();

            if (first && !headerMode_ && onTableLineColumn_) {
                TTableLineColumnInfo info{content, geometry.PixelsToUnitsX(width), alignment, grid};
                onTableLineColumn_(this, int(i) + 1, info);
                if (info.Text != content) {
                    cells[i] = TCellText::Plain(info.Text);
                    expansion = cells[i].Expand({});
                    content = info.Text;
                }
                const long double columnWidth = std::fabs(info.Width);
                // Stored as the item the text "<alignment><width>" would parse to; formatting
                // and parsing that text for every cell took a third of the composition.
                items[i] = TLayoutItem{info.Alignment == taRightJustify ? taRightJustify
                                       : info.Alignment == taCenter     ? taCenter
                                                                        : taLeftJustify,
                                       info.Grid ? columnWidth : -columnWidth};
                width = widths[i] = geometry.UnitsToPixelsX(columnWidth);
                alignment = info.Alignment;
                grid = info.Grid;
            }

            QString placed;
            if (wordWrap_) {
                QString remaining = content;
                TakeWrappedPart(placed, remaining, width, measure);
                TCellText rest = expansion.Mid(placed.size());
                // A line feed ends the piece; what followed it in the piece goes on the next line.
                const qsizetype lineFeed = placed.indexOf(QLatin1Char('\n'));
                if (lineFeed >= 0) {
                    const TCellText moved = expansion.Mid(lineFeed + 1, placed.size());
                    const QString movedText = placed.mid(lineFeed + 1);
                    if (remaining.isEmpty()) {
                        rest = moved;
                        remaining = movedText;
                    } else {
                        rest = moved + TCellText::Plain(QStringLiteral(" ")) + rest;
                        remaining = movedText + QLatin1Char(' ') + remaining;
                    }
                    placed.truncate(lineFeed);
                }
                cells[i] = std::move(rest);
                if (!remaining.isEmpty())
                    more = true;
            } else {
                placed = FitText(content, width, measure);
            }

            if (textFileOpen_) {
                textFile_->Write(placed + QLatin1Char('\t'));
            } else {
                const int offset = CellOffset(alignment, width, measure(placed), inset);
                pageCanvas_->TextOut(currentX_ + offset, topMargin + currentY_, placed);
                if (grid)
                    DrawCellFrame(geometry, topMargin, width, topLine, false);
            }
            currentX_ += width;
        }
        topLine = false;
        first = false;
        if (!more)
            break;
        NewLine();
    }

    if (tableGrid_ && !textFileOpen_) {
        currentX_ = leftMargin;
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].width >= 0)
                DrawCellFrame(geometry, topMargin, widths[i], false, true);
            currentX_ += widths[i];
        }
    }
    if (!headerMode_)
        NewLine();
}

void TCustomVellox::DrawCellFrame(const TPageGeometry& geometry, int topMargin, int width, bool top,
                                  bool bottom) {
    const int x = currentX_;
    const int y = topMargin + currentY_ - FrameLift(lineSpacing_, externalLeading_);
    pageCanvas_->SetPenWidth(LinePenWidth(geometry.DpiY()));
    if (top)
        pageCanvas_->Polyline({QPoint(x, y), QPoint(x + width, y)});
    if (bottom) {
        // The sides of the last physical line are drawn already; drawing them again would
        // only double the page's records.
        pageCanvas_->Polyline({QPoint(x, y + lineHeight_), QPoint(x + width, y + lineHeight_)});
        return;
    }
    pageCanvas_->SetPenWidth(LinePenWidth(geometry.DpiX()));
    pageCanvas_->Polyline({QPoint(x, y), QPoint(x, y + lineHeight_)});
    pageCanvas_->Polyline({QPoint(x + width, y), QPoint(x + width, y + lineHeight_)});
}

int TCustomVellox::NewLine() {
    return InRun([&] {
        currentX_ = 0;
        currentY_ += lineHeight_;
        // Pages break eagerly, as soon as the following line would not fit; only a run breaks.
        if (composing_ && !textFileOpen_ && !headerMode_ &&
            int64_t(currentY_) + lineHeight_ >= TextAreaHeightPixels()) {
            NewPage();
            brokenEagerly_ = true;
        } else {
            if (textFileOpen_)
                textFile_->Write(QStringLiteral("\r\n"));
            ++lineNumber_;
        }
        if (onNewLine_)
            onNewLine_(this);
        return lineNumber_;
    });
}

int TCustomVellox::NewPage() {
    // Outside a run there is no page to break.
    if (!composing_ && !textFileOpen_)
        return pageNumber_;
    return InRun([&] {
        brokenEagerly_ = false;
        if (textFileOpen_) {
            textFile_->Write(QStringLiteral("\f\r\n"));
        } else {
            NewPageSurface(true);
        }
        ++pageNumber_;
        ++DocumentPageNumber;
        StartPage();
        return pageNumber_;
    });
}

void TCustomVellox::EndDocument() {
    // After a run that ended by itself the driver's clean-up finds nothing to close.
    if (!composing_ && !textFileOpen_)
        return;
    EndRun(true);
}

void TCustomVellox::RefuseWhileBusy() const {
    if (sendingPages_)
        throw EPagePrinter(VelloxStrings::ClearWhileSending);
    if (IsPrinting())
        throw EPagePrinter(VelloxStrings::ClearWhilePrinting);
}

void TCustomVellox::ClearContents() {
    RefuseWhileBusy();
    ResetPageStore();
    UpdateScrollRanges();
    Invalidate();
}

void TCustomVellox::EndRun(bool completed) {
    if (completed)
        DiscardBarePage();
    composing_ = false;
    headerMode_ = false;
    if (textFileOpen_) {
        // Without a commit the temporary file goes and the previous file stays.
        const std::unique_ptr<TTextOutputFile> file = std::move(textFile_);
        textFileOpen_ = false;
        if (completed) {
            file->Commit();
            Modal().ShowMessage(VelloxStrings::ContentExported.arg(wsFileName_));
        }
        return;
    }
    NewPageSurface(false);
    pageNumber_ = PageCount() >= 1 ? 1 : 0;
    UpdateScrollRanges();
    Invalidate();
}

bool TCustomVellox::DiscardBarePage() {
    if (!composing_ || textFileOpen_ || pageHasBody_ || !brokenEagerly_ || !pages_ ||
        pages_->Count() < 2)
        return false;
    pageCanvas_.reset();
    pages_->RemoveLast();
    // Measuring goes on on a scratch page until the driver breaks to a new page or ends.
    NewPageSurface(false);
    --pageNumber_;
    --DocumentPageNumber;
    pageHasBody_ = true;
    return true;
}

void TCustomVellox::AbortRun() noexcept {
    try {
        if (composing_ || textFileOpen_)
            EndRun(false);
        UpdateProgress(VelloxStrings::Finish, {}, 0, 0, 0);
    } catch (...) {
        // Closing the run is best effort; the original failure is the one that travels on.
    }
}

void TCustomVellox::ResetPageStore() {
    pageCanvas_.reset();
    scratchPage_.reset();
    pages_ = std::make_unique<TPageList>();
    pageNumber_ = 0;
    NewPageSurface(false);
}

void TCustomVellox::NewPageSurface(bool stored) {
    pageCanvas_.reset();
    scratchPage_.reset();
    const TPageGeometry geometry = Geometry();
    auto page = std::make_unique<TMetafile>(
        geometry.TryUnitsToPixelsX(geometry.PaperWidth() - geometry.OffsetLeft()).value_or(0),
        geometry.TryUnitsToPixelsY(geometry.PaperHeight() - geometry.OffsetTop()).value_or(0),
        geometry.DpiX(), geometry.DpiY());
    if (stored) {
        currentPage_ = &pages_->Add(std::move(page));
    } else {
        scratchPage_ = std::move(page);
        currentPage_ = scratchPage_.get();
    }
    pageCanvas_ = std::make_unique<TMetafileCanvas>(*currentPage_, geometry.DpiY());
    pageCanvas_->SetFont(font_);
    RefreshPrinterFont();
}

void TCustomVellox::StartPage() {
    const TDepthScope depth(pageStartDepth_, kMaxNestedPageStarts, VelloxStrings::TooManyPages);

    if (showProgress_)
        QCoreApplication::processEvents();
    UpdateProgress(VelloxStrings::RegeneratingPreview, VelloxStrings::PagePrefix, pageNumber_, 1,
                   expectedPages_);
    if (showProgress_ && showCancel_)
        QCoreApplication::processEvents();
    if (cancelRequested_)
        throw ECancelPrinting(VelloxStrings::PrintingCancelled);

    currentX_ = 0;
    currentY_ = 0;
    lineNumber_ = 0;
    pageHasBody_ = false;
    if (!SuppressPageStart)
        SendVelloxMessage(WM_PAGESTART);
    if (onNewPage_)
        onNewPage_(this);

    {
        // Header and footer are laid out without grid lines and always wrapped; whatever
        // happens, the body's position and settings come back.
        struct TSavedState {
            TCustomVellox& kit;
            int x, y, line;
            QString layout;
            bool grid, wrap;
            QFont font;
            ~TSavedState() {
                kit.currentX_ = x;
                kit.currentY_ = y;
                kit.lineNumber_ = line;
                kit.columnLayout_ = layout;
                kit.tableGrid_ = grid;
                kit.wordWrap_ = wrap;
                kit.headerMode_ = false;
                try {
                    kit.SetFont(font);
                } catch (...) {
                    // Only resources can fail here; the failure that unwinds us matters more.
                }
            }
        } saved{*this,         currentX_,  currentY_, lineNumber_,
                columnLayout_, tableGrid_, wordWrap_, font_};
        tableGrid_ = false;
        headerMode_ = true;

        if (!headerCells_.isEmpty() && !printToFile_) {
            SetFont(headerFont_);
            const TPageGeometry geometry = Geometry();
            currentY_ = HeaderLineTop(geometry.TryUnitsToPixelsY(marginTop_ - pageBorderOffset_),
                                      lineHeight_, geometry.TryUnitsToPixelsY(marginTop_),
                                      TopMarginPixels());
            SetColumnLayout(headerLayout_);
            wordWrap_ = true;
            WriteLine(headerCells_);
        }
        if (!footerCells_.isEmpty() && !printToFile_) {
            SetFont(footerFont_);
            currentY_ = TextAreaHeightPixels() + 2 * lineHeight_;
            SetColumnLayout(footerLayout_);
            wordWrap_ = true;
            WriteLine(footerCells_);
        }
    }
    if (onNewLine_)
        onNewLine_(this);
    if (!textFileOpen_)
        DrawPageBorders();
}

void TCustomVellox::DrawPageBorders() {
    if (pageBorders_.IsEmpty())
        return;
    const TPageGeometry geometry = Geometry();
    const int left = LeftMarginPixels(), top = TopMarginPixels();
    const int right = left + TextAreaWidthPixels(), bottom = top + TextAreaHeightPixels(geometry);
    const int b = geometry.UnitsToPixelsY(pageBorderOffset_),
              a = geometry.UnitsToPixelsX(pageBorderOffset_);
    pageCanvas_->SetPenWidth(LinePenWidth(geometry.DpiY()));
    if (pageBorders_.Contains(pbTop))
        pageCanvas_->Polyline({QPoint(left - b, top - b), QPoint(right + b, top - b)});
    if (pageBorders_.Contains(pbBottom)) {
        pageCanvas_->Polyline({QPoint(left - b, bottom + b), QPoint(right + b, bottom + b)});
    }
    pageCanvas_->SetPenWidth(LinePenWidth(geometry.DpiX()));
    if (pageBorders_.Contains(pbLeft))
        pageCanvas_->Polyline({QPoint(left - a, top - a), QPoint(left - a, bottom + a)});
    if (pageBorders_.Contains(pbRight)) {
        pageCanvas_->Polyline({QPoint(right + a, top - a), QPoint(right + a, bottom + a)});
    }
}

void TCustomVellox::SendVelloxMessage(TVelloxMessage message) {
    TVelloxMessageEvent event(message);
    event.sent = true;
    QCoreApplication::sendEvent(this, &event);
    if (event.error)
        std::rethrow_exception(event.error);
}
