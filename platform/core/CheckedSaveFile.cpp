#include "core/CheckedSaveFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>

#include "core/Exception.h"

namespace {

constexpr off_t kStartWritingEvery = 16 << 20;

}  // namespace

TCheckedSaveFile::TCheckedSaveFile(const QString& fileName) : fileName_(fileName), file_(fileName) {
    if (fileName.trimmed().isEmpty() || !file_.open(QIODevice::WriteOnly))
        throw EInOutError(QStringLiteral("Cannot create file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(fileName), file_.errorString()));
    handle_ = file_.handle();
}

void TCheckedSaveFile::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(handle_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            failed_ = true;
            Raise(qt_error_string(written < 0 ? errno : EIO));
        }
        bytes.remove_prefix(std::size_t(written));
        written_ += written;
    }
    // The disk starts on what is written as it goes, so that the sync at the end waits for
    // little; a failure shows there.
    if (written_ - started_ >= kStartWritingEvery) {
        ::sync_file_range(handle_, started_, written_ - started_, SYNC_FILE_RANGE_WRITE);
        started_ = written_;
    }
}

void TCheckedSaveFile::Commit() {
    if (failed_)
        Fail(QStringLiteral("An earlier write failed"));
    // A disk that fills up or fails may only say so when the data is forced out.
    if (::fsync(handle_) != 0)
        Fail(qt_error_string(errno));
    if (!file_.commit())
        Fail(file_.errorString());
}

void TCheckedSaveFile::Fail(const QString& reason) {
    // The temporary file goes with the device; the target was never touched.
    file_.cancelWriting();
    Raise(reason);
}

void TCheckedSaveFile::Raise(const QString& reason) const {
    throw EInOutError(QStringLiteral("Cannot write to file \"%1\". %2")
                          .arg(QDir::toNativeSeparators(fileName_), reason));
}
