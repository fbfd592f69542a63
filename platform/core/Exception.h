#pragma once

#include <QString>
#include <exception>
#include <string>

// Every failure the program reports is one of these: an exception that carries the text the
// user sees. Qt never sees them; the event guard hands them to the default handler.
class Exception : public std::exception {
  public:
    explicit Exception(QString message)
        : message_(std::move(message)), utf8_(message_.toStdString()) {}
    const QString& Message() const { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

  private:
    QString message_;
    std::string utf8_;
};

#define QUORVA_EXCEPTION(Name, Base) \
    class Name : public Base {       \
      public:                        \
        using Base::Base;            \
    };

QUORVA_EXCEPTION(EDatabaseError, Exception)
// The user stopped a statement the database was still working on.
QUORVA_EXCEPTION(EOperationCancelled, EDatabaseError)
QUORVA_EXCEPTION(EPrinter, Exception)
QUORVA_EXCEPTION(EPagePrinter, EPrinter)
QUORVA_EXCEPTION(ECancelPrinting, EPagePrinter)
QUORVA_EXCEPTION(WSError, Exception)
QUORVA_EXCEPTION(EConvertError, Exception)
QUORVA_EXCEPTION(EInOutError, Exception)
QUORVA_EXCEPTION(EListError, Exception)

#undef QUORVA_EXCEPTION
