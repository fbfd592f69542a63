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
#include "print/PrintJob.h"

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
        case TPrinterSelection::skPdf:
            return TPrinter::NewPdfDevice(
                selection.dpi, QPageSize(QPageSize::A4), kPdfMarginPoints * 25.4 / 72,
                selection.fileName.isEmpty() ? QDir::temp().filePath(QStringLiteral("Quorva.pdf"))
                                             : selection.fileName);
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

TPrinter::~TPrinter() = default;

void TPrinter::Select(const TPrinterSelection& selection) {
    RequireIdle();
    device_ = CreateDevice(selection);
}

void TPrinter::Lend(QPrinter* device) {
    RequireIdle();
    lent_ = device;
}

std::unique_ptr<QPrinter> TPrinter::NewPdfDevice(int dpi, const QPageSize& paper, qreal edgeMm,
                                                 const QString& fileName) {
    auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
    device->setOutputFormat(QPrinter::PdfFormat);
    device->setResolution(dpi);
    device->setOutputFileName(fileName);
    device->setPageLayout(QPageLayout(paper, QPageLayout::Portrait,
                                      QMarginsF(edgeMm, edgeMm, edgeMm, edgeMm),
                                      QPageLayout::Millimeter));
    device->setFullPage(false);
    return device;
}

QString TPrinter::Name() const {
    const QPrinter* device = Device();
    if (!device)
        return {};
    return device->outputFormat() == QPrinter::PdfFormat ? device->outputFileName()
                                                         : device->printerName();
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
    job_ = std::make_unique<TPrintJob>(device, title_);
    aborted_ = false;
    pageNumber_ = 1;
}

void TPrinter::NewPage() {
    RequirePrinting();
    job_->NewPage();
    ++pageNumber_;
}

void TPrinter::EndDoc() {
    RequirePrinting();
    const std::unique_ptr<TPrintJob> job = std::move(job_);
    job->Finish();
}

void TPrinter::Abort() {
    RequirePrinting();
    const std::unique_ptr<TPrintJob> job = std::move(job_);
    job->Abort();
    aborted_ = true;
}

QPainter& TPrinter::Canvas() const {
    RequirePrinting();
    return job_->Canvas();
}

QPrinter& TPrinter::RequireDevice() const {
    QPrinter* device = Device();
    if (!device)
        throw EPrinter(QStringLiteral("There is no default printer currently selected"));
    return *device;
}

void TPrinter::RequireIdle() const {
    if (job_)
        throw EPrinter(QStringLiteral("Printing in progress"));
}

void TPrinter::RequirePrinting() const {
    if (!job_)
        throw EPrinter(QStringLiteral("Printer is not currently printing"));
}

TPrinter& Printer() {
    if (!instance) {
        instance = new TPrinter;
        qAddPostRoutine(ReleasePrinter);
    }
    return *instance;
}
