#pragma once

#include <QDialog>
#include <optional>

#include "DataLinkSettings.h"

class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;

// The data link dialog: a provider and its values, turned into a connection string.
class TDataLinkForm : public QDialog {
    Q_OBJECT
  public:
    explicit TDataLinkForm(QWidget* owner = nullptr);

    // Shows the dialog started from `connectionString` (text that is no connection string
    // starts it without values); the new connection string on OK, nothing on cancel.
    std::optional<QString> Edit(const QString& connectionString);

    void LoadSettings(const TDataLinkSettings& settings);
    TDataLinkSettings Settings() const;

    void ProviderComboChange();
    void FileButtonClick();

    QComboBox* ProviderCombo;
    QLineEdit* FileEdit;
    QPushButton* FileButton;
    QComboBox* DataSourceCombo;
    QLineEdit* HostEdit;
    QLineEdit* PortEdit;
    QLineEdit* DatabaseEdit;
    QLineEdit* CatalogEdit;
    QLineEdit* UserEdit;
    QLineEdit* PasswordEdit;
    QPushButton* OkButton;
    QPushButton* CancelButton;

    void reject() override;

  private:
    QString SelectedProvider() const;

    QFormLayout* rows_;
};
