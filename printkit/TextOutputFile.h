#pragma once

#include <QSaveFile>
#include <QString>

// The text file of a composition run. It is written to a temporary file beside its target and
// replaces the target only on Commit, so a run that stops or fails leaves the previous file as
// it was. Text is written in the system's 8-bit code page. Failures raise EInOutError.
class TTextOutputFile {
  public:
    explicit TTextOutputFile(const QString& fileName);

    TTextOutputFile(const TTextOutputFile&) = delete;
    TTextOutputFile& operator=(const TTextOutputFile&) = delete;

    void Write(const QString& text);
    void Commit();

  private:
    [[noreturn]] void Fail(const QString& what);

    QSaveFile file_;
};
