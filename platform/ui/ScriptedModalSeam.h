#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "ui/ModalSeam.h"

// A seam for tests: records what the program showed and answers from queues. An empty queue
// answers as the user who cancels would (No, Cancel, no file) and counts as unscripted.
class ScriptedModalSeam : public ModalSeam {
  public:
    struct Shown {
        QString kind;  // "message", "confirm", "error", "information", "modal", "open", "save",
                       // "input", "print", "login"
        QString text;
        QString caption;
    };
    using FormScript = std::function<int(QDialog&)>;
    // Answers the print dialog; it may also set up the device as a user would there (choose
    // an output file, for instance).
    using PrintScript = std::function<std::optional<TPrintDialogAnswer>(QPrinter&)>;
    using LoginScript = std::function<std::optional<TLoginAnswer>(const TLoginAnswer& offered)>;

    void ShowMessage(const QString& text) override;
    bool Confirm(const QString& text) override;
    void ErrorBox(const QString& text) override;
    void InformationBox(const QString& text, const QString& caption) override;
    int ShowModal(QDialog& form) override;
    std::optional<QString> OpenFile(QWidget* parent, const TFileDialogRequest& request) override;
    std::optional<QString> SaveFile(QWidget* parent, const TFileDialogRequest& request) override;
    std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                    const QString& defaultText) override;
    std::optional<TPrintDialogAnswer> PrintDialog(QWidget* parent,
                                                  const TPrintDialogRequest& request) override;
    std::optional<TLoginAnswer> LoginPrompt(const QString& database,
                                            const TLoginAnswer& offered) override;
    void Beep() override { ++beeps; }
    void SetCursor(TCursor cursor) override;
    TCursor Cursor() const override { return cursor_; }

    void AnswerConfirm(bool yes) { confirms_.push_back(yes); }
    // The script works the form (sets controls, clicks buttons) and returns its modal result.
    void AnswerModal(FormScript script) { forms_.push_back(std::move(script)); }
    void AnswerOpenFile(std::optional<QString> path) { openFiles_.push_back(std::move(path)); }
    void AnswerSaveFile(std::optional<QString> path) { saveFiles_.push_back(std::move(path)); }
    void AnswerInput(std::optional<QString> text) { inputs_.push_back(std::move(text)); }
    void AnswerLogin(std::optional<TLoginAnswer> login);
    // Answers the login prompt from what it offered (return `offered` to press OK).
    void AnswerLogin(LoginScript script) { logins_.push_back(std::move(script)); }
    void AnswerPrintDialog(std::optional<TPrintDialogAnswer> answer);
    void AnswerPrintDialog(PrintScript script) { printDialogs_.push_back(std::move(script)); }

    // Texts of everything shown of one kind, in order.
    QStringList Texts(const QString& kind) const;
    void Clear();

    std::vector<Shown> shown;
    std::vector<TFileDialogRequest> fileRequests;
    std::vector<TPrintDialogRequest> printRequests;
    // What each login prompt started with.
    std::vector<TLoginAnswer> loginOffers;
    std::vector<TCursor> cursorHistory;
    int beeps = 0;
    int unscripted = 0;

  private:
    template <typename T>
    T Next(std::deque<T>& queue, T fallback);

    std::deque<bool> confirms_;
    std::deque<FormScript> forms_;
    std::deque<std::optional<QString>> openFiles_, saveFiles_, inputs_;
    std::deque<LoginScript> logins_;
    std::deque<PrintScript> printDialogs_;
    TCursor cursor_ = crDefault;
};
