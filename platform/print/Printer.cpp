#include "print/Printer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "core/Exception.h"
#include "metafile/FontRealization.h"

namespace {
// A PDF "printer" keeps the unprintable edge of a laser printer, 1/6 inch on every side, so
// that the page origin at the printable corner is exercised as on real paper.
constexpr qreal kPdfMarginPoints = 12;

TPrinter* instance = nullptr;

void ReleasePrinter() {
    delete instance;
    instance = nullptr;
}

std::unique_ptr<QPrinter> CreateDevice(const TPrinterSelection& selection) {
    switch (selection.kind) {
        case TPrinterSelection::skNone:
            return nullptr;
        case TPrinterSelection::skPdf: {
            auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
            device->setOutputFormat(QPrinter::PdfFormat);
            device->setResolution(selection.dpi);
            device->setOutputFileName(selection.fileName.isEmpty()
                                          ? QDir::temp().filePath(QStringLiteral("Quorva.pdf"))
                                          : selection.fileName);
            const qreal m = kPdfMarginPoints;
            device->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                              QMarginsF(m, m, m, m), QPageLayout::Point));
            device->setFullPage(false);
            return device;
        }
        case TPrinterSelection::skSystem: {
            const QPrinterInfo info = QPrinterInfo::defaultPrinter();
            if (info.isNull())
                return nullptr;
            return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        }
    }
    return nullptr;
}
}  // namespace

TPrinter::TPrinter() : device_(CreateDevice(TPrinterSelection::FromEnvironment())) {}

TPrinter::~TPrinter() {
    if (painter_)
        painter_->end();
}

void TPrinter::Select(const TPrinterSelection& selection) {
    RequireIdle();
    device_ = CreateDevice(selection);
}

QString TPrinter::Name() const {
    if (!device_)
        return {};
    return device_->outputFormat() == QPrinter::PdfFormat ? device_->outputFileName()
                                                          : device_->printerName();
}

int TPrinter::GetDeviceCaps(TDeviceCap cap) const {
    const QPrinter& device = RequireDevice();
    switch (cap) {
        case LOGPIXELSX:
            return device.logicalDpiX();
        case LOGPIXELSY:
            return device.logicalDpiY();
        case PHYSICALWIDTH:
            return qRound(device.paperRect(QPrinter::DevicePixel).width());
        case PHYSICALHEIGHT:
            return qRound(device.paperRect(QPrinter::DevicePixel).height());
        case PHYSICALOFFSETX:
            return qRound(device.pageRect(QPrinter::DevicePixel).left());
        case PHYSICALOFFSETY:
            return qRound(device.pageRect(QPrinter::DevicePixel).top());
    }
    return 0;
}

TTextMetric TPrinter::TextMetrics(const QFont& font) const {
    const QFontMetricsF metrics(RealizeFont(font, RequireDevice().logicalDpiY()));
    return {qRound(metrics.height()), qRound(metrics.ascent()), qRound(metrics.descent()),
            qRound(metrics.leading())};
}

TPrinterOrientation TPrinter::Orientation() const {
    return RequireDevice().pageLayout().orientation() == QPageLayout::Landscape ? poLandscape
                                                                                : poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation orientation) {
    QPrinter& device = RequireDevice();
    RequireIdle();
    device.setPageOrientation(orientation == poLandscape ? QPageLayout::Landscape
                                                         : QPageLayout::Portrait);
}

int TPrinter::Copies() const {
    return RequireDevice().copyCount();
}

void TPrinter::SetCopies(int copies) {
    RequireDevice().setCopyCount(qMax(1, copies));
}

void TPrinter::BeginDoc() {
    QPrinter& device = RequireDevice();
    RequireIdle();
    device.setDocName(title_);
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&device)) {
        throw EPrinter(QStringLiteral("Unable to start printing on %1").arg(Name()));
    }
    painter_ = std::move(painter);
    aborted_ = false;
    pageNumber_ = 1;
}

void TPrinter::NewPage() {
    RequirePrinting();
    if (!device_->newPage())
        throw EPrinter(QStringLiteral("Unable to start a new page"));
    ++pageNumber_;
}

void TPrinter::EndDoc() {
    RequirePrinting();
    const bool written = painter_->end();
    painter_.reset();
    if (!written)
        throw EPrinter(QStringLiteral("Unable to finish printing on %1").arg(Name()));
}

void TPrinter::Abort() {
    RequirePrinting();
    device_->abort();
    painter_->end();
    painter_.reset();
    aborted_ = true;
}

QPainter& TPrinter::Canvas() const {
    RequirePrinting();
    return *painter_;
}

QPrinter& TPrinter::RequireDevice() const {
    if (!device_)
        throw EPrinter(QStringLiteral("There is no default printer currently selected"));
    return *device_;
}

void TPrinter::RequireIdle() const {
    if (painter_)
        throw EPrinter(QStringLiteral("Printing in progress"));
}

void TPrinter::RequirePrinting() const {
    if (!painter_)
        throw EPrinter(QStringLiteral("Printer is not currently printing"));
}

TPrinter& Printer() {
    if (!instance) {
        instance = new TPrinter;
        qAddPostRoutine(ReleasePrinter);
    }
    return *instance;
}
