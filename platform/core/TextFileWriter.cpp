#include "core/TextFileWriter.h"

TTextFileWriter::TTextFileWriter(const QString& fileName) : file_(fileName) {
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
            return file_.Write(bytes);
    }
    pending_.append(bytes);
}

void TTextFileWriter::Flush() {
    file_.Write(pending_);
    pending_.clear();
}

void TTextFileWriter::Commit() {
    Flush();
    file_.Commit();
}
