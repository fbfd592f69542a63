#include "AdoConEd.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ComponentName.h"
#include "DataLinkDirectory.h"
#include "DataLinkForm.h"
#include "FilePath.h"
#include "HelpSystem.h"
#include "HelpTopics.h"
#include "db/components/ADOConnection.h"
#include "ui/EventGuard.h"
#include "ui/ModalSeam.h"

namespace {
// Case-sensitive, and only at the very start: "file name=" is an ordinary connection string.
const QString kFileNamePrefix = QStringLiteral("FILE NAME=");

// An enabled input is painted like an edit, a disabled one like the dialog around it.
void PaintInput(QWidget* input) {
    QPalette palette = input->palette();
    palette.setColor(QPalette::Base, QApplication::palette().color(
                                         input->isEnabled() ? QPalette::Base : QPalette::Button));
    input->setPalette(palette);
}
}  // namespace

TConnEditForm::TConnEditForm(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("ConnEditForm"));

    SourceofConnection =
        Named(new QGroupBox(QStringLiteral(" Source of Connection "), this), "SourceofConnection");
    UseDataLinkFile =
        Named(new QRadioButton(QStringLiteral("Use Data &Link File"), SourceofConnection),
              "UseDataLinkFile");
    DataLinkFile = Named(new QComboBox(SourceofConnection), "DataLinkFile");
    DataLinkFile->setEditable(true);
    // Typed text is a choice, not a new list entry; the list stays the folder's files.
    DataLinkFile->setInsertPolicy(QComboBox::NoInsert);
    Browse = Named(new QPushButton(QStringLiteral("&Browse..."), SourceofConnection), "Browse");
    UseConnectionString =
        Named(new QRadioButton(QStringLiteral("Use &Connection String"), SourceofConnection),
              "UseConnectionString");
    ConnectionString = Named(new QLineEdit(SourceofConnection), "ConnectionString");
    Build = Named(new QPushButton(QStringLiteral("B&uild..."), SourceofConnection), "Build");
    // Inside the group box both would take its title for their name.
    DataLinkFile->setAccessibleName(QStringLiteral("Data link file"));
    ConnectionString->setAccessibleName(QStringLiteral("Connection string"));

    OkButton = Named(new QPushButton(QStringLiteral("OK"), this), "OkButton");
    OkButton->setDefault(true);
    CancelButton = Named(new QPushButton(QStringLiteral("Cancel"), this), "CancelButton");
    HelpButton = Named(new QPushButton(QStringLiteral("&Help"), this), "HelpButton");
    for (QPushButton* button : {Browse, Build, CancelButton, HelpButton})
        button->setAutoDefault(false);

    auto* source = new QGridLayout(SourceofConnection);
    source->setVerticalSpacing(4);
    source->setColumnMinimumWidth(0, 16);
    source->setColumnStretch(1, 1);
    source->addWidget(UseDataLinkFile, 0, 0, 1, 3);
    source->addWidget(DataLinkFile, 1, 1);
    source->addWidget(Browse, 1, 2);
    source->addWidget(UseConnectionString, 2, 0, 1, 3);
    source->addWidget(ConnectionString, 3, 1);
    source->addWidget(Build, 3, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(HelpButton);

    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(8, 6, 8, 8);
    form->setSpacing(6);
    form->addWidget(SourceofConnection);
    form->addLayout(buttons);
    setFixedSize(472, 185);

    connect(UseDataLinkFile, &QRadioButton::clicked, this, Guard([this] { SourceButtonClick(); }));
    connect(UseConnectionString, &QRadioButton::clicked, this,
            Guard([this] { SourceButtonClick(); }));
    connect(Browse, &QPushButton::clicked, this, Guard([this] { BrowseClick(); }));
    connect(Build, &QPushButton::clicked, this, Guard([this] { BuildClick(); }));
    connect(HelpButton, &QPushButton::clicked, this, Guard([this] { HelpButtonClick(); }));
    connect(OkButton, &QPushButton::clicked, this, Guard([this] { done(mrOk); }));
    connect(CancelButton, &QPushButton::clicked, this, Guard([this] { done(mrCancel); }));

    FormCreate();
}

void TConnEditForm::FormCreate() {
    helpContext_ = kConnectionStringHelp;
    const QDir directory(DataLinkDirectory());
    QStringList names =
        directory.entryList({QStringLiteral("*.udl")}, QDir::Files | QDir::Hidden | QDir::System);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    DataLinkFile->addItems(names);
    DataLinkFile->setCurrentIndex(-1);
}

QString TConnEditForm::EditConnectionString(const QString& initial) {
    UseDataLinkFile->setChecked(true);
    if (initial.startsWith(kFileNamePrefix)) {
        const QString path = initial.mid(kFileNamePrefix.size());
        DataLinkFile->setEditText(ExtractFilePath(path) == DataLinkDirectory() + QLatin1Char('/')
                                      ? ExtractFileName(path)
                                      : path);
    } else {
        ConnectionString->setText(initial);
        UseConnectionString->setChecked(true);
    }
    SourceButtonClick();
    setResult(Modal().ShowModal(*this));
    if (result() != mrOk)
        return initial;

    if (UseConnectionString->isChecked())
        return ConnectionString->text();
    const QString file = DataLinkFile->currentText();
    if (file.isEmpty())
        return {};
    if (!ExtractFilePath(file).isEmpty())
        return kFileNamePrefix + file;
    return kFileNamePrefix + DataLinkDirectory() + QLatin1Char('/') + file;
}

void TConnEditForm::SourceButtonClick() {
    DataLinkFile->setEnabled(UseDataLinkFile->isChecked());
    ConnectionString->setEnabled(UseConnectionString->isChecked());
    PaintInput(DataLinkFile);
    PaintInput(ConnectionString);
    Browse->setEnabled(DataLinkFile->isEnabled());
    Build->setEnabled(ConnectionString->isEnabled());
    if (DataLinkFile->isEnabled())
        DataLinkFile->setFocus();
    else if (ConnectionString->isEnabled())
        ConnectionString->setFocus();
}

void TConnEditForm::BrowseClick() {
    TFileDialogRequest request;
    request.title = QStringLiteral("Select Data Link File");
    request.filter = QStringLiteral("Microsoft Data Link Files (*.udl)|*.udl|All Files (*.*)|*.*");
    request.initialDir = ExtractFilePath(DataLinkFile->currentText());
    request.fileMustExist = true;
    if (const auto chosen = Modal().OpenFile(this, request))
        DataLinkFile->setEditText(*chosen);
}

void TConnEditForm::BuildClick() {
    TDataLinkForm dialog(this);
    if (const auto built = dialog.Edit(ConnectionString->text()))
        ConnectionString->setText(*built);
}

void TConnEditForm::HelpButtonClick() {
    HelpSystem().ShowContext(HelpContext(), this);
}

void TConnEditForm::reject() {
    done(mrCancel);
}

bool RunConnectionEditor(TADOConnection& connection, bool* confirmed) {
    TConnEditForm form;
    // Owner and component, as "MainForm.ADOConnection1 ConnectionString"; a connection
    // without an owner is named alone.
    const QObject* owner = connection.parent();
    form.setWindowTitle(owner
                            ? QStringLiteral("%1%2%3 %4")
                                  .arg(owner->objectName(), QStringLiteral("."),
                                       connection.objectName(), QStringLiteral("ConnectionString"))
                            : QStringLiteral("%1 %2").arg(connection.objectName(),
                                                          QStringLiteral("ConnectionString")));
    const QString initial = connection.ConnectionString();
    const QString edited = form.EditConnectionString(initial);
    if (confirmed)
        *confirmed = form.result() == mrOk;
    if (edited == initial)
        return false;
    connection.SetConnectionString(edited);
    return true;
}
