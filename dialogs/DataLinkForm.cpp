#include "DataLinkForm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <iterator>

#include "ComponentName.h"
#include "FilePath.h"
#include "db/connection/OdbcDataSources.h"
#include "ui/Accessibility.h"
#include "ui/EventGuard.h"
#include "ui/ModalSeam.h"

namespace {
QString ProviderTitle(const QString& provider) {
    if (provider == QLatin1String("SQLite"))
        return QStringLiteral("SQLite database file");
    if (provider == QLatin1String("PostgreSQL"))
        return QStringLiteral("PostgreSQL server");
    if (provider == QLatin1String("MSDASQL.1"))
        return QStringLiteral("ODBC data source (MSDASQL.1)");
    if (provider == QLatin1String("Microsoft.Jet.OLEDB.4.0"))
        return QStringLiteral("Access or SQLite file (Microsoft.Jet.OLEDB.4.0)");
    if (provider == QLatin1String("MSDAORA.1"))
        return QStringLiteral("Oracle through an ODBC data source (MSDAORA.1)");
    return provider;
}

QString FileFilter(const QString& provider) {
    const QString sqlite =
        QStringLiteral("SQLite databases (*.sqlite *.sqlite3 *.db)|*.sqlite;*.sqlite3;*.db|");
    const QString all = QStringLiteral("All files (*.*)|*.*");
    if (provider == QLatin1String("SQLite"))
        return sqlite + all;
    return QStringLiteral("Access files (*.mdb)|*.mdb|") + sqlite + all;
}

QLineEdit* NamedEdit(QWidget* parent, const char* name) {
    return Named(new QLineEdit(parent), name);
}
}  // namespace

TDataLinkForm::TDataLinkForm(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("DataLinkForm"));
    setWindowTitle(QStringLiteral("Data Link Properties"));

    ProviderCombo = Named(new QComboBox(this), "ProviderCombo");
    for (const QString& provider : TDataLinkSettings::Providers())
        ProviderCombo->addItem(ProviderTitle(provider), provider);
    FollowAccessibleSelection(ProviderCombo);

    FileEdit = NamedEdit(this, "FileEdit");
    FileButton = Named(new QPushButton(QStringLiteral("..."), this), "FileButton");
    FileButton->setAutoDefault(false);
    FileButton->setAccessibleName(QStringLiteral("Choose database file"));
    DataSourceCombo = Named(new QComboBox(this), "DataSourceCombo");
    DataSourceCombo->setEditable(true);
    DataSourceCombo->setInsertPolicy(QComboBox::NoInsert);
    for (const TOdbcDataSource& source : OdbcDataSources())
        DataSourceCombo->addItem(source.Name);
    DataSourceCombo->setCurrentIndex(-1);
    HostEdit = NamedEdit(this, "HostEdit");
    HostEdit->setPlaceholderText(QStringLiteral("localhost"));
    PortEdit = NamedEdit(this, "PortEdit");
    PortEdit->setPlaceholderText(QStringLiteral("5432"));
    DatabaseEdit = NamedEdit(this, "DatabaseEdit");
    CatalogEdit = NamedEdit(this, "CatalogEdit");
    UserEdit = NamedEdit(this, "UserEdit");
    PasswordEdit = NamedEdit(this, "PasswordEdit");
    PasswordEdit->setEchoMode(QLineEdit::Password);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(FileEdit);
    fileRow->addWidget(FileButton);

    rows_ = new QFormLayout;
    rows_->addRow(QStringLiteral("&Provider:"), ProviderCombo);
    // The file row is a layout: its caption needs the edit as its buddy to work.
    auto* fileLabel = Named(new QLabel(QStringLiteral("Database &file:"), this), "FileLabel");
    fileLabel->setBuddy(FileEdit);
    rows_->addRow(fileLabel, fileRow);
    rows_->addRow(QStringLiteral("&Data source:"), DataSourceCombo);
    rows_->addRow(QStringLiteral("&Host:"), HostEdit);
    rows_->addRow(QStringLiteral("P&ort:"), PortEdit);
    rows_->addRow(QStringLiteral("Data&base:"), DatabaseEdit);
    rows_->addRow(QStringLiteral("&Initial catalog:"), CatalogEdit);
    rows_->addRow(QStringLiteral("&User name:"), UserEdit);
    rows_->addRow(QStringLiteral("Pass&word:"), PasswordEdit);

    OkButton = Named(new QPushButton(QStringLiteral("OK"), this), "OkButton");
    OkButton->setDefault(true);
    CancelButton = Named(new QPushButton(QStringLiteral("Cancel"), this), "CancelButton");
    CancelButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);

    auto* form = new QVBoxLayout(this);
    form->addLayout(rows_);
    form->addStretch();
    form->addLayout(buttons);
    resize(440, 300);

    ProviderComboChange();
    connect(ProviderCombo, &QComboBox::currentIndexChanged, this,
            Guard([this] { ProviderComboChange(); }));
    connect(FileButton, &QPushButton::clicked, this, Guard([this] { FileButtonClick(); }));
    connect(OkButton, &QPushButton::clicked, this, Guard([this] { done(mrOk); }));
    connect(CancelButton, &QPushButton::clicked, this, Guard([this] { done(mrCancel); }));
}

std::optional<QString> TDataLinkForm::Edit(const QString& connectionString) {
    LoadSettings(TDataLinkSettings::FromConnectionString(connectionString));
    if (Modal().ShowModal(*this) != mrOk)
        return std::nullopt;
    return Settings().ToConnectionString(connectionString);
}

void TDataLinkForm::LoadSettings(const TDataLinkSettings& settings) {
    // A provider the dialog does not offer is listed too, so that OK keeps it.
    if (ProviderCombo->findData(settings.Provider, Qt::UserRole, Qt::MatchExactly) < 0)
        ProviderCombo->addItem(ProviderTitle(settings.Provider), settings.Provider);
    ProviderCombo->setCurrentIndex(
        ProviderCombo->findData(settings.Provider, Qt::UserRole, Qt::MatchExactly));
    const unsigned fields = TDataLinkSettings::FieldsOf(SelectedProvider());
    FileEdit->setText(fields & dfFile ? settings.DataSource : QString());
    DataSourceCombo->setEditText(fields & dfFile ? QString() : settings.DataSource);
    HostEdit->setText(settings.Host);
    PortEdit->setText(settings.Port);
    DatabaseEdit->setText(settings.Database);
    CatalogEdit->setText(settings.InitialCatalog);
    UserEdit->setText(settings.UserID);
    PasswordEdit->setText(settings.Password);
}

TDataLinkSettings TDataLinkForm::Settings() const {
    TDataLinkSettings settings;
    settings.Provider = SelectedProvider();
    const unsigned fields = TDataLinkSettings::FieldsOf(settings.Provider);
    settings.DataSource = fields & dfFile ? FileEdit->text() : DataSourceCombo->currentText();
    settings.Host = HostEdit->text();
    settings.Port = PortEdit->text();
    settings.Database = DatabaseEdit->text();
    settings.InitialCatalog = CatalogEdit->text();
    settings.UserID = UserEdit->text();
    settings.Password = PasswordEdit->text();
    return settings;
}

void TDataLinkForm::ProviderComboChange() {
    const unsigned fields = TDataLinkSettings::FieldsOf(SelectedProvider());
    const TDataLinkField rowFields[] = {dfFile,     dfDataSourceName, dfHost,   dfPort,
                                        dfDatabase, dfInitialCatalog, dfUserID, dfPassword};
    // Row 0 is the provider itself.
    for (int row = 0; row < int(std::size(rowFields)); ++row)
        rows_->setRowVisible(row + 1, (fields & rowFields[row]) != 0);
}

void TDataLinkForm::FileButtonClick() {
    TFileDialogRequest request;
    request.title = QStringLiteral("Select Database File");
    request.filter = FileFilter(SelectedProvider());
    request.initialDir = ExtractFilePath(FileEdit->text());
    request.fileName = ExtractFileName(FileEdit->text());
    request.fileMustExist = true;
    if (const auto chosen = Modal().OpenFile(this, request))
        FileEdit->setText(*chosen);
}

void TDataLinkForm::reject() {
    done(mrCancel);
}

QString TDataLinkForm::SelectedProvider() const {
    return ProviderCombo->currentData().toString();
}
