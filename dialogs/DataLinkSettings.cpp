#include "DataLinkSettings.h"

#include "core/Exception.h"
#include "db/connection/ConnectionString.h"

namespace {
const QString kSQLite = QStringLiteral("SQLite");
const QString kPostgreSQL = QStringLiteral("PostgreSQL");
const QString kOdbc = QStringLiteral("MSDASQL.1");
const QString kJet = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
const QString kOracle = QStringLiteral("MSDAORA.1");
const QString kProvider = QStringLiteral("Provider");
const QString kPersistSecurityInfo = QStringLiteral("Persist Security Info");

// Text that is no connection string holds nothing to keep.
TConnectionString ParsedOrEmpty(const QString& text) {
    try {
        return TConnectionString::Parse(text);
    } catch (const EDatabaseError&) {
        return {};
    }
}

// The keys each value is read from and written to, in the order they are written.
struct KeyOf {
    TDataLinkField field;
    QString key;
    QString TDataLinkSettings::*value;
};
const KeyOf kKeys[] = {
    {dfFile, QStringLiteral("Data Source"), &TDataLinkSettings::DataSource},
    {dfDataSourceName, QStringLiteral("Data Source"), &TDataLinkSettings::DataSource},
    {dfHost, QStringLiteral("Host"), &TDataLinkSettings::Host},
    {dfPort, QStringLiteral("Port"), &TDataLinkSettings::Port},
    {dfDatabase, QStringLiteral("Database"), &TDataLinkSettings::Database},
    {dfInitialCatalog, QStringLiteral("Initial Catalog"), &TDataLinkSettings::InitialCatalog},
    {dfUserID, QStringLiteral("User ID"), &TDataLinkSettings::UserID},
    {dfPassword, QStringLiteral("Password"), &TDataLinkSettings::Password},
};
}  // namespace

const QStringList& TDataLinkSettings::Providers() {
    static const QStringList providers{kSQLite, kPostgreSQL, kOdbc, kJet, kOracle};
    return providers;
}

unsigned TDataLinkSettings::FieldsOf(const QString& provider) {
    if (provider == kSQLite || provider == kJet)
        return dfFile;
    if (provider == kPostgreSQL)
        return dfHost | dfPort | dfDatabase | dfUserID | dfPassword;
    if (provider == kOdbc)
        return dfDataSourceName | dfInitialCatalog | dfUserID | dfPassword;
    if (provider == kOracle)
        return dfDataSourceName | dfUserID | dfPassword;
    return 0;
}

TDataLinkSettings TDataLinkSettings::FromConnectionString(const QString& text) {
    TDataLinkSettings settings;
    const TConnectionString parsed = ParsedOrEmpty(text);
    const QString provider = parsed.Value(kProvider);
    if (!provider.isEmpty())
        settings.Provider = provider;
    for (const QString& offered : Providers())
        if (offered.compare(provider, Qt::CaseInsensitive) == 0)
            settings.Provider = offered;
    for (const KeyOf& item : kKeys)
        settings.*item.value = parsed.Value(item.key);
    return settings;
}

QString TDataLinkSettings::ToConnectionString(const QString& original) const {
    const TConnectionString read = ParsedOrEmpty(original);
    if (read.Has(kProvider) && *this == FromConnectionString(original))
        return original;

    TConnectionString text;
    text.Set(kProvider, Provider);
    // The same form as the strings the ADO chooser builds for these providers.
    if (Provider == kOdbc || Provider == kJet || Provider == kOracle)
        text.Set(kPersistSecurityInfo, read.Has(kPersistSecurityInfo)
                                           ? read.Value(kPersistSecurityInfo)
                                           : QStringLiteral("False"));
    for (const auto& [key, value] : read.Items())
        if (!text.Has(key))
            text.Set(key, value);
    const unsigned fields = FieldsOf(Provider);
    for (const KeyOf& item : kKeys) {
        if (!(fields & item.field))
            continue;
        const QString& value = this->*item.value;
        // A data source is always named, even empty; the other values only when given.
        if (!value.isEmpty() || (item.field & (dfFile | dfDataSourceName)) != 0)
            text.Set(item.key, value);
        else
            text.Remove(item.key);
    }
    return text.ToString();
}
