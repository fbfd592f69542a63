#include "core/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>

namespace {
QString TooLarge() {
    return QStringLiteral("Larger than %1 MB").arg(kMaxFileBytes / (1024 * 1024));
}
}  // namespace

TFileBytes ReadFileBytes(const QString& path) {
    // Not blocking: opening a FIFO would otherwise wait for a writer before its type is known.
    const int handle =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (handle < 0)
        return {{}, qt_error_string(errno)};
    QFile file;
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        return {{}, file.errorString()};
    }
    struct stat status {};
    if (::fstat(handle, &status) != 0)
        return {{}, qt_error_string(errno)};
    if (!S_ISREG(status.st_mode))
        return {{}, QStringLiteral("Not a regular file")};
    const qint64 size = status.st_size;
    if (size > kMaxFileBytes)
        return {{}, TooLarge()};
    // As much as the file held a moment ago, and the rest only when it has grown since: a
    // buffer the size of the limit would be set aside (and kept) for every small file.
    QByteArray bytes = file.read(std::min(size, kMaxFileBytes) + 1);
    if (bytes.size() > size && bytes.size() <= kMaxFileBytes)
        bytes += file.read(kMaxFileBytes + 1 - bytes.size());
    if (file.error() != QFileDevice::NoError)
        return {{}, file.errorString()};
    if (bytes.size() > kMaxFileBytes)
        return {{}, TooLarge()};
    return {bytes, {}};
}
