#pragma once

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TADOConnection;

// The editor of an ADO connection string: a data link (.udl) file or a typed string.
class TConnEditForm : public QDialog {
    Q_OBJECT
  public:
    explicit TConnEditForm(QWidget* owner = nullptr);

    // Shows the editor on `initial`; the edited string on OK, `initial` on cancel (the form's
    // result tells the two apart).
    QString EditConnectionString(const QString& initial);
    int HelpContext() const { return helpContext_; }

    void FormCreate();
    void SourceButtonClick();
    void BrowseClick();
    void BuildClick();
    void HelpButtonClick();

    QGroupBox* SourceofConnection;
    QRadioButton* UseDataLinkFile;
    QComboBox* DataLinkFile;
    QPushButton* Browse;
    QRadioButton* UseConnectionString;
    QLineEdit* ConnectionString;
    QPushButton* Build;
    QPushButton* OkButton;
    QPushButton* CancelButton;
    QPushButton* HelpButton;

    void reject() override;

  private:
    int helpContext_ = 0;
};

// Runs the editor on the connection's string; true when it stored a new, different string.
// `confirmed`, when given, tells whether the user left the editor with OK, so that a caller
// can open an unchanged string the user confirmed.
bool RunConnectionEditor(TADOConnection& connection, bool* confirmed = nullptr);
