#pragma once

#include <QRect>
#include <QString>

class QTextDocument;
class TPrinter;

// Printing a rich-text buffer as a document of its own, paginated to the printer's paper.
namespace ReportPrint {

// What the print rectangle depends on, in printer pixels: resolution, paper size and the
// offset of the printable corner from the paper's.
struct TPaper {
    int dpiX = 0;
    int dpiY = 0;
    int width = 0;
    int height = 0;
    int offsetX = 0;
    int offsetY = 0;
};

// The paper of the printer's current device.
TPaper PaperOf(const TPrinter& printer);

// A third of an inch from the paper's left, right and bottom edges, half an inch from its top;
// relative to the printable corner, where the printer's canvas has its origin.
QRect PrintRect(const TPaper& paper);

// Prints the document in PrintRect on as many pages as it needs, as one job titled `title`.
// Fonts sized in pixels are taken as pixels of a `sourceDpi` screen. A failure aborts the job.
void Print(const QTextDocument& document, int sourceDpi, const QString& title, TPrinter& printer);

}  // namespace ReportPrint
