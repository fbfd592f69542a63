#include "core/TextFileWriter.h"

#include <QDir>

#include "core/Exception.h"

TTextFileWriter::TTextFileWriter(const QString& fileName) : fileName_(fileName), file_(fileName) {
    if (fileName.trimmed().isEmpty() || !file_.open(QIODevice::WriteOnly))
        throw EInOutError(QStringLiteral("Cannot create file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(fileName), file_.errorString()));
    pending_.reserve(kBufferBytes + kBufferBytes / 4);
}

void TTextFileWriter::Write(QStringView text) {
    const QByteArray bytes = encoder_.encode(text);
    WriteBytes(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

void TTextFileWriter::WriteBytes(std::string_view bytes) {
    if (pending_.size() + bytes.size() > kBufferBytes) {
        Flush();
        // A large piece goes straight to the file rather than through another copy.
        if (bytes.size() >= kBufferBytes)
            return WriteOut(bytes);
    }
    pending_.append(bytes);
}

void TTextFileWriter::Flush() {
    WriteOut(pending_);
    pending_.clear();
}

void TTextFileWriter::WriteOut(std::string_view bytes) {
    if (!bytes.empty() && file_.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
        WriteFailed();
}

void TTextFileWriter::Commit() {
    Flush();
    if (!file_.commit())
        WriteFailed();
}

void TTextFileWriter::WriteFailed() {
    const QString reason = file_.errorString();
    file_.cancelWriting();
    throw EInOutError(QStringLiteral("Cannot write to file \"%1\". %2")
                          .arg(QDir::toNativeSeparators(fileName_), reason));
}
