#pragma once

#include <QString>
#include <memory>

#include "print/SpoolHeapScope.h"

class QPainter;
class QPrinter;

// One job on a printer device. Pages are drawn into a PDF spool file beside the destination;
// only a job that finishes reaches it: the PDF file chosen (replaced in one step) or the CUPS
// queue (submitted whole). An aborted or failed job leaves nothing behind, and a PDF file that
// was there before stays as it was. Qt's own job control cannot do this: aborting a Qt print job
// on Linux still prints it or leaves a partial file.
class TPrintJob {
  public:
    // Begins the job; raises EPrinter when the spool file cannot be started.
    TPrintJob(QPrinter& device, const QString& title);
    // Discards the job unless it finished.
    ~TPrintJob();

    TPrintJob(const TPrintJob&) = delete;
    TPrintJob& operator=(const TPrintJob&) = delete;

    // The page being drawn, in device pixels from the printable corner.
    QPainter& Canvas() { return *painter_; }
    void NewPage();
    // Delivers the job; raises EPrinter when it cannot, leaving nothing behind.
    void Finish();
    void Abort() noexcept;

  private:
    void SubmitToQueue();
    void Discard() noexcept;
    // The error for a spool that could not be written, naming the file the job was for.
    QString Unwritable(const QString& problem) const;

    // First in, last out: the spool's page buffers live inside it.
    TSpoolHeapScope heap_;
    QPrinter& device_;
    QString title_;
    QString destination_;  // the PDF file, or empty for a printer queue
    QString spoolFile_;
    std::unique_ptr<QPrinter> spool_;
    std::unique_ptr<QPainter> painter_;
};
