#pragma once

#include <QStringEncoder>
#include <QStringView>
#include <string>
#include <string_view>

#include "core/CheckedSaveFile.h"

// Writes a text file in the system's 8-bit code page as it is produced, through a checked save
// file that replaces the target only on Commit: a failure, or a writer dropped without Commit,
// leaves the previous file untouched and no partial file behind. Failures raise EInOutError
// naming the file and the reason. Holds at most about one megabyte of text at a time. Pending
// and WriteBytes touch no Qt object: another thread may write through them while the owner
// waits, and the owner commits once it is done.
class TTextFileWriter {
  public:
    explicit TTextFileWriter(const QString& fileName);
    TTextFileWriter(const TTextFileWriter&) = delete;
    TTextFileWriter& operator=(const TTextFileWriter&) = delete;

    void Write(QStringView text);
    // Text already in the code page. Qt's 8-bit code page on Linux is always UTF-8, so UTF-8
    // bytes go here unchanged.
    void WriteBytes(std::string_view bytes);
    // The text waiting to be written, for producers that append to it in place; flushed when
    // it grows past the buffer's size.
    std::string& Pending() {
        if (pending_.size() >= kBufferBytes)
            Flush();
        return pending_;
    }
    void Commit();

  private:
    static constexpr std::size_t kBufferBytes = 1 << 20;
    void Flush();

    TCheckedSaveFile file_;
    QStringEncoder encoder_{QStringConverter::System};
    std::string pending_;
};
