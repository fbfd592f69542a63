#pragma once

#include <QDialog>

#include "ui/ModalSeam.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Choose a connection": the kind of ADO database to open and the value its connection string
// is built from. One instance lives for the whole run, so every choice persists between
// showings; the caller reads the controls after the dialog closes with OK (1) or cancel (2).
class TOpenADOForm : public QDialog {
    Q_OBJECT
  public:
    explicit TOpenADOForm(QWidget* owner = nullptr);

    // Kind 1 enables the file row, kind 2 the name row, any other kind neither.
    void EnableInputs(int kind);
    // The connection string of the checked predefined kind; `text` is left alone for
    // "Specify another(ODBC) database yourself".
    void BuildConnectionString(QString& text) const;

    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void RadioButton5Click();
    void FileButtonClick();
    void Button2Click();
    void Button1Click();

    QFrame* Panel1;
    QLabel* Label3;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QLabel* Label4;
    QRadioButton* RadioButton4;
    QRadioButton* RadioButton5;
    QFrame* Bevel1;
    QRadioButton* RadioButton3;
    QFrame* Bevel2;
    QLabel* FileLabel;
    QLineEdit* FileEdit;
    QPushButton* FileButton;
    QLabel* DBLabel;
    QLineEdit* DBEdit;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QPushButton* Button2;
    QPushButton* Button1;
    QButtonGroup* RadioGroup;
    TFileDialogRequest OpenDialog1;

    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};
