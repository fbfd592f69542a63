#include "OpenADOForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <initializer_list>
#include <utility>

#include "ComponentName.h"
#include "FilePath.h"
#include "ui/Accessibility.h"
#include "ui/DividingLine.h"
#include "ui/EventGuard.h"

namespace {
QFrame* DividingLine(QWidget* parent, const char* name) {
    return Named(new TDividingLine(parent), name);
}

// Blanks and control characters both count as nothing typed.
QString TrimBlanksAndControls(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= ' ')
        ++first;
    while (last > first && text[last - 1].unicode() <= ' ')
        --last;
    return text.mid(first, last - first);
}

const QString kNoValue = QStringLiteral("Specify a database/filename please.");
}  // namespace

TOpenADOForm::TOpenADOForm(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("OpenADOForm"));
    setWindowTitle(QStringLiteral("Choose a connection"));

    // Created first so that they open the focus chain: "&Open" is first in tab order.
    Button2 = Named(new QPushButton(QStringLiteral("&Open"), this), "Button2");
    Button1 = Named(new QPushButton(QStringLiteral("&Cancel"), this), "Button1");
    for (QPushButton* button : {Button2, Button1}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Raised);
    Label3 = Named(new QLabel(QStringLiteral("Predefined ODBC:"), Panel1), "Label3");
    RadioButton1 =
        Named(new QRadioButton(QStringLiteral("Access database"), Panel1), "RadioButton1");
    RadioButton2 =
        Named(new QRadioButton(QStringLiteral("Oracle database"), Panel1), "RadioButton2");
    Label4 = Named(new QLabel(QStringLiteral("Predefined other:"), Panel1), "Label4");
    RadioButton4 =
        Named(new QRadioButton(QStringLiteral("Access JET 4.0 database"), Panel1), "RadioButton4");
    RadioButton5 =
        Named(new QRadioButton(QStringLiteral("Oracle OLE database"), Panel1), "RadioButton5");
    Bevel1 = DividingLine(Panel1, "Bevel1");
    RadioButton3 =
        Named(new QRadioButton(QStringLiteral("Specify another(ODBC) database yourself"), Panel1),
              "RadioButton3");
    Bevel2 = DividingLine(Panel1, "Bevel2");
    FileLabel = Named(new QLabel(QStringLiteral("Database file:"), Panel1), "FileLabel");
    FileEdit = Named(new QLineEdit(Panel1), "FileEdit");
    FileButton = Named(new QPushButton(QStringLiteral("Select file"), Panel1), "FileButton");
    FileButton->setAutoDefault(false);
    DBLabel = Named(new QLabel(QStringLiteral("Database name:"), Panel1), "DBLabel");
    DBEdit = Named(new QLineEdit(Panel1), "DBEdit");
    FileLabel->setBuddy(FileEdit);
    DBLabel->setBuddy(DBEdit);
    // The panel groups the kinds for a screen reader.
    Panel1->setAccessibleName(QStringLiteral("Connection kind"));

    CheckBox1 =
        Named(new QCheckBox(QStringLiteral("Loginprompt when connecting"), this), "CheckBox1");
    CheckBox2 =
        Named(new QCheckBox(QStringLiteral("Use serverside cursorlocation"), this), "CheckBox2");
    for (QCheckBox* box : {CheckBox1, CheckBox2}) {
        box->setLayoutDirection(Qt::RightToLeft);
        box->setChecked(true);
    }

    RadioGroup = new QButtonGroup(this);
    RadioGroup->setObjectName(QStringLiteral("RadioGroup"));
    for (QRadioButton* radio :
         {RadioButton1, RadioButton2, RadioButton4, RadioButton5, RadioButton3})
        RadioGroup->addButton(radio);
    RadioButton3->setChecked(true);

    auto* kinds = new QGridLayout;
    kinds->setVerticalSpacing(2);
    kinds->addWidget(Label3, 0, 0);
    kinds->addWidget(RadioButton1, 1, 0);
    kinds->addWidget(RadioButton2, 2, 0);
    kinds->addWidget(Label4, 0, 1);
    kinds->addWidget(RadioButton4, 1, 1);
    kinds->addWidget(RadioButton5, 2, 1);

    auto* inputs = new QGridLayout;
    inputs->setVerticalSpacing(4);
    inputs->addWidget(FileLabel, 0, 0);
    inputs->addWidget(FileEdit, 0, 1);
    inputs->addWidget(FileButton, 0, 2);
    inputs->addWidget(DBLabel, 1, 0);
    inputs->addWidget(DBEdit, 1, 1);

    auto* panel = new QVBoxLayout(Panel1);
    panel->setContentsMargins(8, 6, 8, 6);
    panel->setSpacing(4);
    panel->addLayout(kinds);
    panel->addWidget(Bevel1);
    panel->addWidget(RadioButton3);
    panel->addWidget(Bevel2);
    panel->addLayout(inputs);

    auto* options = new QVBoxLayout;
    options->setSpacing(2);
    // Equal widths line the boxes up at the right of their texts.
    options->addWidget(CheckBox1);
    options->addWidget(CheckBox2);

    auto* bottom = new QHBoxLayout;
    bottom->addLayout(options);
    bottom->addStretch();
    bottom->addWidget(Button2, 0, Qt::AlignBottom);
    bottom->addWidget(Button1, 0, Qt::AlignBottom);

    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(6, 6, 6, 6);
    form->setSpacing(6);
    form->addWidget(Panel1);
    form->addLayout(bottom);

    setFixedSize(447, 255);

    OpenDialog1.fileMustExist = true;
    EnableInputs(0);

    // Checking, not clicking: assistive technology toggles a radio button without a click.
    const std::pair<QRadioButton*, void (TOpenADOForm::*)()> handlers[] = {
        {RadioButton1, &TOpenADOForm::RadioButton1Click},
        {RadioButton2, &TOpenADOForm::RadioButton2Click},
        {RadioButton3, &TOpenADOForm::RadioButton3Click},
        {RadioButton4, &TOpenADOForm::RadioButton4Click},
        {RadioButton5, &TOpenADOForm::RadioButton5Click}};
    for (const auto& [radio, handler] : handlers)
        connect(radio, &QRadioButton::toggled, this, [this, handler](bool checked) {
            if (checked)
                Guarded([this, handler] { (this->*handler)(); });
        });
    connect(FileButton, &QPushButton::clicked, this, Guard([this] { FileButtonClick(); }));
    connect(Button2, &QPushButton::clicked, this, Guard([this] { Button2Click(); }));
    connect(Button1, &QPushButton::clicked, this, Guard([this] { Button1Click(); }));
}

void TOpenADOForm::EnableInputs(int kind) {
    for (QWidget* widget : std::initializer_list<QWidget*>{FileLabel, FileEdit, FileButton})
        widget->setEnabled(kind == 1);
    DBLabel->setEnabled(kind == 2);
    DBEdit->setEnabled(kind == 2);
}

void TOpenADOForm::BuildConnectionString(QString& text) const {
    if (RadioButton1->isChecked())
        text = QStringLiteral(
                   "Provider=MSDASQL.1;Persist Security Info=False;Data Source=MS Access 97 "
                   "Database;Initial Catalog=") +
               FileEdit->text();
    else if (RadioButton2->isChecked())
        text = QStringLiteral(
                   "Provider=MSDASQL.1;Persist Security Info=False;Data Source=Oracle "
                   "Database;Initial Catalog=") +
               DBEdit->text();
    else if (RadioButton4->isChecked())
        text = QStringLiteral(
                   "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=") +
               FileEdit->text();
    else if (RadioButton5->isChecked())
        text = QStringLiteral("Provider=MSDAORA.1;Persist Security Info=False;Data Source=") +
               DBEdit->text();
}

void TOpenADOForm::RadioButton1Click() {
    EnableInputs(1);
}
void TOpenADOForm::RadioButton2Click() {
    EnableInputs(2);
}
void TOpenADOForm::RadioButton3Click() {
    EnableInputs(0);
}
void TOpenADOForm::RadioButton4Click() {
    EnableInputs(1);
}
void TOpenADOForm::RadioButton5Click() {
    EnableInputs(2);
}

void TOpenADOForm::FileButtonClick() {
    const QString current = FileEdit->text();
    const QString directory = ExtractFilePath(current);
    OpenDialog1.filter = QStringLiteral("Access files (*.mdb)|*.mdb|All files (*.*)|*.*");
    OpenDialog1.fileName = ExtractFileName(current);
    OpenDialog1.initialDir = directory.isEmpty() ? QDir::currentPath() : directory;
    if (const auto chosen = Modal().OpenFile(this, OpenDialog1))
        FileEdit->setText(*chosen);
}

void TOpenADOForm::Button2Click() {
    const bool fileKind = RadioButton1->isChecked() || RadioButton4->isChecked();
    const bool nameKind = RadioButton2->isChecked() || RadioButton5->isChecked();
    if ((fileKind && TrimBlanksAndControls(FileEdit->text()).size() < 3) ||
        (nameKind && TrimBlanksAndControls(DBEdit->text()).isEmpty())) {
        Modal().ShowMessage(kNoValue);
        return;
    }
    done(mrOk);
}

void TOpenADOForm::Button1Click() {
    done(mrCancel);
}

// Closing the window is a cancel, as with the "&Cancel" button.
void TOpenADOForm::reject() {
    done(mrCancel);
}

// Neither button is the cancel button, so Esc closes nothing.
void TOpenADOForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
