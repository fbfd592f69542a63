#include "print/PrintJob.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrintEngine>
#include <QPrinter>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/Exception.h"

namespace {
// The key under which Qt's print dialog leaves the CUPS options the user chose (duplex, page
// set, banners and the like) on the device's print engine, as name, value, name, value.
constexpr auto kCupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// Reserves a spool file name in `folder` (the file is created empty, so the name is ours).
QString ReserveSpoolFile(const QString& folder, const QString& stem) {
    QTemporaryFile file(QDir(folder).filePath(stem + QStringLiteral(".XXXXXX.part")));
    file.setAutoRemove(false);
    if (!file.open())
        throw EPrinter(QStringLiteral("Unable to write in %1: %2")
                           .arg(QDir::toNativeSeparators(folder), file.errorString()));
    return file.fileName();
}

// Qt's PDF engine drops the errors of its writes: on a full disk the painter still ends well
// and leaves a PDF cut short, without its trailer, or a new page is refused without a reason.
// So the spool is synced and, once `complete`, must end in the trailer; writing to it once
// more tells why it was cut. Empty when nothing is wrong.
QString SpoolProblem(const QString& spool, bool complete) {
    const int handle = ::open(QFile::encodeName(spool).constData(), O_RDWR | O_APPEND | O_CLOEXEC);
    if (handle < 0)
        return qt_error_string(errno);
    QString problem;
    struct stat status {};
    char tail[16] = {};
    const qsizetype tailSize = qsizetype(sizeof tail);
    if (::fsync(handle) != 0 || ::fstat(handle, &status) != 0) {
        problem = qt_error_string(errno);
    } else if (!complete || status.st_size < tailSize ||
               ::pread(handle, tail, sizeof tail, status.st_size - tailSize) != tailSize ||
               !QByteArray(tail, tailSize).contains("%%EOF")) {
        if (::write(handle, "\n", 1) < 0)
            problem = qt_error_string(errno);
        else if (complete)
            problem = QStringLiteral("the file was cut short");
    }
    ::close(handle);
    return problem;
}

class TCupsOptions {
  public:
    ~TCupsOptions() { cupsFreeOptions(count_, options_); }
    void Add(const QString& name, const QString& value) {
        count_ =
            cupsAddOption(name.toUtf8().constData(), value.toUtf8().constData(), count_, &options_);
    }
    int Count() const { return count_; }
    cups_option_t* Options() const { return options_; }

  private:
    int count_ = 0;
    cups_option_t* options_ = nullptr;
};
}  // namespace

TPrintJob::TPrintJob(QPrinter& device, const QString& title) : device_(device), title_(title) {
    const bool toFile = device.outputFormat() == QPrinter::PdfFormat;
    if (toFile) {
        destination_ = device.outputFileName();
        if (destination_.isEmpty())
            throw EPrinter(QStringLiteral("No file was chosen to print into"));
        const QFileInfo target(destination_);
        spoolFile_ = ReserveSpoolFile(target.absolutePath(), target.fileName());
    } else {
        spoolFile_ = ReserveSpoolFile(QDir::tempPath(), QStringLiteral("quorva-print"));
    }

    // The spool keeps the device's resolution and page, so that pages come out as composed.
    spool_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    spool_->setOutputFormat(QPrinter::PdfFormat);
    spool_->setResolution(device.resolution());
    spool_->setPageLayout(device.pageLayout());
    spool_->setFullPage(device.fullPage());
    spool_->setDocName(title);
    spool_->setCreator(device.creator());
    spool_->setOutputFileName(spoolFile_);
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(spool_.get())) {
        painter_.reset();
        QFile::remove(spoolFile_);
        throw EPrinter(
            QStringLiteral("Unable to start printing on %1")
                .arg(toFile ? QDir::toNativeSeparators(destination_) : device.printerName()));
    }
}

TPrintJob::~TPrintJob() {
    Discard();
}

void TPrintJob::NewPage() {
    if (spool_->newPage())
        return;
    const QString problem = SpoolProblem(spoolFile_, false);
    if (problem.isEmpty())
        throw EPrinter(QStringLiteral("Unable to start a new page"));
    throw EPrinter(Unwritable(problem));
}

void TPrintJob::Finish() {
    const bool written = painter_->end();
    painter_.reset();
    if (!written) {
        Discard();
        throw EPrinter(QStringLiteral("Unable to write the print job"));
    }
    if (const QString problem = SpoolProblem(spoolFile_, true); !problem.isEmpty()) {
        Discard();
        throw EPrinter(Unwritable(problem));
    }
    if (destination_.isEmpty()) {
        SubmitToQueue();
        Discard();
        return;
    }
    // rename() replaces the destination in one step, so it is never seen half written.
    if (std::rename(QFile::encodeName(spoolFile_).constData(),
                    QFile::encodeName(destination_).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        Discard();
        throw EPrinter(QStringLiteral("Unable to write %1: %2")
                           .arg(QDir::toNativeSeparators(destination_), reason));
    }
    spoolFile_.clear();
}

QString TPrintJob::Unwritable(const QString& problem) const {
    return QStringLiteral("Unable to write %1: %2")
        .arg(QDir::toNativeSeparators(destination_.isEmpty() ? spoolFile_ : destination_), problem);
}

void TPrintJob::Abort() noexcept {
    Discard();
}

void TPrintJob::SubmitToQueue() {
    // A queue name may carry a CUPS instance after a slash; its saved options come along.
    const QString name = device_.printerName();
    const QString queue = name.section(QLatin1Char('/'), 0, 0);
    const QByteArray queueBytes = queue.toUtf8();
    const QByteArray instance = name.section(QLatin1Char('/'), 1).toUtf8();
    TCupsOptions options;
    if (cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queueBytes.constData(),
                                             instance.isEmpty() ? nullptr : instance.constData())) {
        for (int i = 0; i < dest->num_options; ++i)
            options.Add(QString::fromUtf8(dest->options[i].name),
                        QString::fromUtf8(dest->options[i].value));
        cupsFreeDests(1, dest);
    }
    const QStringList chosen = device_.printEngine()->property(kCupsOptionsKey).toStringList();
    for (qsizetype i = 0; i + 1 < chosen.size(); i += 2)
        options.Add(chosen[i], chosen[i + 1]);
    // The pages are laid out already: the queue must neither turn nor scale them.
    options.Add(QStringLiteral("copies"), QString::number(qMax(1, device_.copyCount())));
    options.Add(QStringLiteral("media"), device_.pageLayout().pageSize().key());
    options.Add(QStringLiteral("fit-to-page"), QStringLiteral("false"));
    if (device_.pageOrder() == QPrinter::LastPageFirst)
        options.Add(QStringLiteral("outputorder"), QStringLiteral("reverse"));
    if (device_.duplex() == QPrinter::DuplexLongSide)
        options.Add(QStringLiteral("sides"), QStringLiteral("two-sided-long-edge"));
    else if (device_.duplex() == QPrinter::DuplexShortSide)
        options.Add(QStringLiteral("sides"), QStringLiteral("two-sided-short-edge"));

    const int jobId = cupsPrintFile2(
        CUPS_HTTP_DEFAULT, queueBytes.constData(), QFile::encodeName(spoolFile_).constData(),
        title_.toUtf8().constData(), options.Count(), options.Options());
    if (jobId <= 0)
        throw EPrinter(QStringLiteral("Unable to send the job to %1: %2")
                           .arg(name, QString::fromUtf8(cupsLastErrorString())));
}

void TPrintJob::Discard() noexcept {
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
    if (!spoolFile_.isEmpty()) {
        QFile::remove(spoolFile_);
        spoolFile_.clear();
    }
}
