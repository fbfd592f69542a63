#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

// Screen cursors with the values the program has always used for them.
enum TCursor : int { crDefault = 0, crHourGlass = -11, crSQLWait = -17 };

// Results of a modal form.
enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// A file-open or file-save request. `filter` is written "Text|*.txt|All|*.*".
struct TFileDialogRequest {
    QString title;
    QString filter;
    QString initialDir;
    QString fileName;
    QString defaultExt;
    bool fileMustExist = false;
    bool overwritePrompt = false;
};

// The range chosen in the print dialog.
enum TPrintRange { prAllPages, prSelection, prPageNums };

// The print dialog works on `device`: the printer, paper, file and the like chosen there stay
// on it. Pages count from 1.
struct TPrintDialogRequest {
    QPrinter* device = nullptr;
    int minPage = 1;
    int maxPage = 1;
    int fromPage = 1;
    int toPage = 1;
    // Offer "Print to text file" (only the print kit can write its document as text).
    bool offerTextFile = false;
};

struct TPrintDialogAnswer {
    TPrintRange range = prAllPages;
    int fromPage = 0;
    int toPage = 0;
    // "Print to text file": the document's text goes to a text file instead of the printer.
    bool printToTextFile = false;
};

struct TLoginAnswer {
    QString userName;
    QString password;
};

// Every place where the program waits on the user goes through this seam, so that tests can
// answer from a script and record what was shown. Message boxes are titled with the
// application title; questions are captioned "Confirm" with Yes and No.
class ModalSeam {
  public:
    virtual ~ModalSeam() = default;

    virtual void ShowMessage(const QString& text) = 0;
    // True only for Yes.
    virtual bool Confirm(const QString& text) = 0;
    virtual void ErrorBox(const QString& text) = 0;
    virtual void InformationBox(const QString& text, const QString& caption) = 0;
    virtual int ShowModal(QDialog& form) = 0;
    virtual std::optional<QString> OpenFile(QWidget* parent, const TFileDialogRequest& request) = 0;
    virtual std::optional<QString> SaveFile(QWidget* parent, const TFileDialogRequest& request) = 0;
    // Cancel gives nullopt; the caller keeps its default then.
    virtual std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                            const QString& defaultText) = 0;
    // Cancel gives nullopt.
    virtual std::optional<TPrintDialogAnswer> PrintDialog(QWidget* parent,
                                                          const TPrintDialogRequest& request) = 0;
    // Starts with the user name and password of `offered`; cancel gives nullopt.
    virtual std::optional<TLoginAnswer> LoginPrompt(const QString& database,
                                                    const TLoginAnswer& offered) = 0;
    virtual void Beep() = 0;
    virtual void SetCursor(TCursor cursor) = 0;
    virtual TCursor Cursor() const = 0;
};

// The seam in force; a Qt one unless a test installed another.
ModalSeam& Modal();
// Installs a seam and returns the previous one.
std::unique_ptr<ModalSeam> SetModalSeam(std::unique_ptr<ModalSeam> seam);

// The application title, caption of every message box.
QString ApplicationTitle();

// "A|*.a|B|*.b" becomes "A (*.a);;B (*.b)" (the label is kept as written when it already
// names its patterns).
QString QtFileFilter(const QString& pipeFilter);
