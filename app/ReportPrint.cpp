#include "ReportPrint.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

#include "print/Printer.h"

namespace ReportPrint {

namespace {

// A pixel size stays pixels on any device, tiny at printer resolution; a point
// size is realised at the device's own.
QFont InPoints(QFont font, int sourceDpi) {
    if (font.pixelSize() > 0)
        font.setPointSizeF(font.pixelSize() * 72.0 / sourceDpi);
    return font;
}

void ConvertPixelFonts(QTextDocument& document, int sourceDpi) {
    document.setDefaultFont(InPoints(document.defaultFont(), sourceDpi));
    // Collected first: changing formats merges fragments under a running iterator.
    struct TRun {
        int start, end;
        QTextCharFormat format;
    };
    QList<TRun> runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            if (!format.hasProperty(QTextFormat::FontPixelSize))
                continue;
            const int pixels = format.intProperty(QTextFormat::FontPixelSize);
            format.clearProperty(QTextFormat::FontPixelSize);
            format.setFontPointSize(pixels * 72.0 / sourceDpi);
            runs.append({fragment.position(), fragment.position() + fragment.length(), format});
        }
    }
    QTextCursor cursor(&document);
    for (const TRun& run : runs) {
        cursor.setPosition(run.start);
        cursor.setPosition(run.end, QTextCursor::KeepAnchor);
        cursor.setCharFormat(run.format);
    }
}

void PrintPages(const QTextDocument& document, int sourceDpi, TPrinter& printer) {
    const QRect rect = PrintRect(PaperOf(printer));
    const std::unique_ptr<QTextDocument> copy(document.clone());
    copy->documentLayout()->setPaintDevice(printer.Canvas().device());
    ConvertPixelFonts(*copy, sourceDpi);
    copy->setDocumentMargin(0);
    copy->setPageSize(rect.size());

    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    const int pages = copy->pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            printer.NewPage();
        QPainter& canvas = printer.Canvas();
        canvas.save();
        // The layout stacks its pages; each is moved up into the print rectangle.
        const QRectF slice(0, qreal(page) * rect.height(), rect.width(), rect.height());
        canvas.translate(rect.left(), rect.top() - slice.top());
        canvas.setClipRect(slice);
        context.clip = slice;
        copy->documentLayout()->draw(&canvas, context);
        canvas.restore();
    }
}

}  // namespace

TPaper PaperOf(const TPrinter& printer) {
    return {printer.GetDeviceCaps(LOGPIXELSX),      printer.GetDeviceCaps(LOGPIXELSY),
            printer.GetDeviceCaps(PHYSICALWIDTH),   printer.GetDeviceCaps(PHYSICALHEIGHT),
            printer.GetDeviceCaps(PHYSICALOFFSETX), printer.GetDeviceCaps(PHYSICALOFFSETY)};
}

QRect PrintRect(const TPaper& paper) {
    const QPoint topLeft(paper.dpiX / 3, paper.dpiY / 2);
    const QPoint bottomRight(paper.width - paper.dpiX / 3, paper.height - paper.dpiY / 3);
    const QPoint origin(paper.offsetX, paper.offsetY);
    return QRect(topLeft - origin,
                 QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
}

void Print(const QTextDocument& document, int sourceDpi, const QString& title, TPrinter& printer) {
    printer.SetTitle(title);
    printer.BeginDoc();
    try {
        PrintPages(document, sourceDpi, printer);
        printer.EndDoc();
    } catch (...) {
        if (printer.Printing())
            printer.Abort();
        throw;
    }
}

}  // namespace ReportPrint
