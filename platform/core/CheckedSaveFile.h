#pragma once

#include <sys/types.h>
#include <QSaveFile>
#include <QString>
#include <string_view>

// A file replaced only once its new content is complete and on the disk: the bytes go to a
// temporary file beside the target, which Commit syncs and renames over it. A failure, or an
// object dropped without Commit, leaves the previous file byte for byte and no temporary file
// behind. Failures raise EInOutError naming the file and the system's reason ("No space left
// on device").
//
// QSaveFile alone is not enough in Qt 6.4: up to 16 KB wait in its buffer until commit(), which
// renames and reports success even when writing them out fails; and a write that stops part
// way (the disk filled up after some bytes) records no error at all, so errorString() says
// "Unknown error" and commit() succeeds then too. So the bytes go to its file handle here,
// each write checked against errno, and the file is synced before it is renamed.
//
// Write touches no Qt object, so another thread may write while the owner waits for it; the
// owner alone makes, commits and drops the file.
class TCheckedSaveFile {
  public:
    explicit TCheckedSaveFile(const QString& fileName);
    TCheckedSaveFile(const TCheckedSaveFile&) = delete;
    TCheckedSaveFile& operator=(const TCheckedSaveFile&) = delete;

    void Write(std::string_view bytes);
    void Commit();

  private:
    [[noreturn]] void Fail(const QString& reason);
    [[noreturn]] void Raise(const QString& reason) const;

    QString fileName_;
    QSaveFile file_;
    int handle_ = -1;
    off_t written_ = 0, started_ = 0;  // bytes written, and those the disk was told to write
    bool failed_ = false;              // by a write: Commit refuses
};
