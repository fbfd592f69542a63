#pragma once

#include "ui/ModalSeam.h"

// The seam as the user meets it: Qt's message boxes and dialogs.
class QtModalSeam : public ModalSeam {
  public:
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
    void Beep() override;
    void SetCursor(TCursor cursor) override;
    TCursor Cursor() const override { return cursor_; }

  private:
    TCursor cursor_ = crDefault;
};
