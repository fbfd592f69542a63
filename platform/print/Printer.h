#pragma once

#include <QFont>
#include <QString>
#include <memory>

#include "print/PrinterSelection.h"

class QPageSize;
class QPainter;
class QPrinter;
class TPrintJob;

// Device capabilities, with the numbers Windows gives them.
enum TDeviceCap : int {
    LOGPIXELSX = 88,
    LOGPIXELSY = 90,
    PHYSICALWIDTH = 110,
    PHYSICALHEIGHT = 111,
    PHYSICALOFFSETX = 112,
    PHYSICALOFFSETY = 113,
};

enum TPrinterOrientation { poPortrait, poLandscape };

// Metrics of a font realised on the printer, in printer pixels.
struct TTextMetric {
    int height = 0;
    int ascent = 0;
    int descent = 0;
    int externalLeading = 0;
};

// The process-wide printer over QPrinter. Without a device every device query and the job
// control raise EPrinter ("not available"); the title is kept all the same. The drawing
// origin of a page is the corner of the printable area, as on a Windows printer.
class TPrinter {
  public:
    TPrinter();
    ~TPrinter();

    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // Changes the device; refused while a job is open.
    void Select(const TPrinterSelection& selection);
    // Prints on the caller's device until lent nullptr: the print dialog's PDF file when there
    // is no printer. Refused while a job is open.
    void Lend(QPrinter* device);
    bool Available() const { return Device() != nullptr; }
    QString Name() const;

    int GetDeviceCaps(TDeviceCap cap) const;
    TTextMetric TextMetrics(const QFont& font) const;

    QString Title() const { return title_; }
    void SetTitle(const QString& title) { title_ = title; }
    TPrinterOrientation Orientation() const;
    void SetOrientation(TPrinterOrientation orientation);
    int Copies() const;
    void SetCopies(int copies);

    // Job control. Nothing reaches the device before EndDoc; an aborted job leaves nothing.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const { return job_ != nullptr; }
    bool Aborted() const { return aborted_; }
    int PageNumber() const { return pageNumber_; }
    // The page being printed, in device pixels from the printable corner.
    QPainter& Canvas() const;

    // The Qt printer behind the device, for the print dialog; null without a device.
    QPrinter* Device() const { return lent_ ? lent_ : device_.get(); }

    // A PDF device at `dpi` dots per inch on `paper`, whose printable area leaves `edgeMm`
    // millimetres on every side, as a printer's would.
    static std::unique_ptr<QPrinter> NewPdfDevice(int dpi, const QPageSize& paper, qreal edgeMm,
                                                  const QString& fileName);

  private:
    QPrinter& RequireDevice() const;
    void RequireIdle() const;
    void RequirePrinting() const;

    std::unique_ptr<QPrinter> device_;
    QPrinter* lent_ = nullptr;
    std::unique_ptr<TPrintJob> job_;
    QString title_;
    bool aborted_ = false;
    int pageNumber_ = 0;
};

// The printer of this process, chosen from the environment on first use.
TPrinter& Printer();
