#include "CustomVellox.h"

#include <QPrinter>
#include <QScrollBar>

#include "PreviewPaintBox.h"
#include "TextOutputFile.h"
#include "VelloxPrgDlg.h"
#include "VelloxStrings.h"
#include "core/Exception.h"
#include "metafile/MetafileCanvas.h"
#include "metafile/PageList.h"
#include "ui/EventGuard.h"

namespace {
const QString kDefaultLayout = QStringLiteral("<25|^25|>25");

// Blanks and control characters (codes up to 32) removed from both ends.
QString TrimControls(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= ' ')
        ++begin;
    while (end > begin && text[end - 1].unicode() <= ' ')
        --end;
    return text.mid(begin, end - begin);
}
}  // namespace

TCustomVellox::TCustomVellox(QWidget* owner) : QScrollArea(owner) {
    setObjectName(QStringLiteral("Vellox"));
    lines_ = std::make_unique<QStringList>();
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setTracking(true);
        bar->setSingleStep(16);
    }
    printer_ = &Printer();
    paintBox_ = new TPreviewPaintBox(this, [this](QPainter& painter) { PaintPreview(painter); });
    setWidget(paintBox_);
    setWidgetResizable(false);
    ResetPageStore();

    SetFont(QFont(QStringLiteral("Arial"), 9));
    headerFont_ = font_;
    footerFont_ = font_;
    resize(89, 115);

    SetOrientation(poPortrait);
    SetPrintTitle(VelloxStrings::DefaultTitle);
    SetLineSpacing(lsSingleSpace);
    SetColumnLayout(kDefaultLayout);
    SetHeaderLayout(kDefaultLayout);
    SetFooterLayout(kDefaultLayout);
    pageBorderOffset_ = 1.5L;
    defaultColumnWidth_ = 25;
    SetMarginTop(25);
    SetMarginBottom(25);
    SetMarginLeft(25);
    SetMarginRight(25);
    SetToPage(0);
    SetFromPage(0);
    SetZoomPercent(35);
    registryKey_ = VelloxStrings::DefaultRegistryKey;
    creating_ = false;
    // The ranges set while constructing assume one printer pixel a screen pixel.
    UpdateScrollRanges();
}

TCustomVellox::~TCustomVellox() {
    delete progress_;
    pageCanvas_.reset();
}

QStringList& TCustomVellox::Lines() {
    if (!lines_)
        lines_ = std::make_unique<QStringList>();
    return *lines_;
}

void TCustomVellox::SetLines(const QStringList* lines) {
    if (lines) {
        Lines() = *lines;
    } else {
        lines_.reset();
    }
}

QString TCustomVellox::PrintTitle() const {
    return printer_->Title();
}

void TCustomVellox::SetPrintTitle(const QString& value) {
    printer_->SetTitle(value);
}

void TCustomVellox::SetPrintToFile(bool value) {
    if (value == printToFile_)
        return;
    if (IsPrinting())
        throw EPagePrinter(VelloxStrings::PrintToFileWhilePrinting);
    printToFile_ = value;
}

void TCustomVellox::SetWSFileName(const QString& value) {
    if (value == wsFileName_)
        return;
    if (IsPrinting())
        throw EPagePrinter(VelloxStrings::FileNameWhilePrinting);
    wsFileName_ = TrimControls(value);
}

void TCustomVellox::SetShadowColor(TColor value) {
    if (value == shadowColor_)
        return;
    shadowColor_ = value;
    Invalidate();
}

void TCustomVellox::SetShadowOffset(unsigned value) {
    if (value == shadowOffset_)
        return;
    shadowOffset_ = value;
    UpdateScrollRanges();
    Invalidate();
}

void TCustomVellox::SetShowMargins(bool value) {
    if (value == showMargins_)
        return;
    showMargins_ = value;
    Invalidate();
}

void TCustomVellox::SetGradientBackground(bool value) {
    if (value == gradientBackground_)
        return;
    gradientBackground_ = value;
    Invalidate();
}

void TCustomVellox::SetZoomPercent(int value) {
    zoomPercent_ = value;
    UpdateScrollRanges();
    Invalidate();
}

void TCustomVellox::SetPageNumber(int value) {
    if (value >= 1 && value <= PageCount()) {
        pageNumber_ = value;
        UpdateScrollRanges();
        Invalidate();
    } else if (loading_ || PageCount() == 0) {
        pageNumber_ = 0;
    } else {
        throw EPagePrinter(VelloxStrings::PageNumberRange.arg(PageCount()));
    }
}

int TCustomVellox::PageCount() const {
    return pages_->Count();
}

TMetafile& TCustomVellox::Pages(int n) const {
    return pages_->Items(n - 1);
}

void TCustomVellox::SetFromPage(int value) {
    if (value == fromPage_)
        return;
    fromPage_ = value;
    if (toPage_ < value)
        toPage_ = value;
}

void TCustomVellox::SetToPage(int value) {
    if (value == toPage_)
        return;
    toPage_ = value;
    if (value < fromPage_)
        fromPage_ = value;
}

void TCustomVellox::VelloxMessage(TVelloxMessage) {}

bool TCustomVellox::event(QEvent* event) {
    if (!TVelloxMessageEvent::IsVelloxMessage(*event))
        return QScrollArea::event(event);
    auto& message = static_cast<TVelloxMessageEvent&>(*event);
    if (message.sent) {
        try {
            VelloxMessage(message.Message());
        } catch (...) {
            message.error = std::current_exception();
        }
    } else {
        Guarded([&] { VelloxMessage(message.Message()); });
    }
    return true;
}
