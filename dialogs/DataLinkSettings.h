#pragma once

#include <QString>
#include <QStringList>

// Values a provider takes in the data link dialog.
enum TDataLinkField : unsigned {
    dfFile = 1,            // Data Source naming a database file
    dfDataSourceName = 2,  // Data Source naming an ODBC data source
    dfHost = 4,
    dfPort = 8,
    dfDatabase = 16,
    dfInitialCatalog = 32,
    dfUserID = 64,
    dfPassword = 128,
};

// What the data link dialog edits, and the connection string it stands for. Passwords are
// part of the string, as the data link dialog has always returned them. Keys and providers
// the dialog has no field for pass through as they were.
class TDataLinkSettings {
  public:
    // The providers offered, in the order the dialog lists them.
    static const QStringList& Providers();
    // The TDataLinkField values a provider uses; 0 for an unknown provider.
    static unsigned FieldsOf(const QString& provider);
    // Settings read from a connection string; a provider not offered is kept as written. Text
    // that is no connection string, or names no provider, gives the default provider.
    static TDataLinkSettings FromConnectionString(const QString& text);
    // The connection string of these settings, written over `original`: its keys that the
    // provider has no field for stay, and settings read from it unchanged give it back as it
    // was written.
    QString ToConnectionString(const QString& original = {}) const;

    bool operator==(const TDataLinkSettings&) const = default;

    // Every value has an initialiser so that a designated initialiser may name only some.
    QString Provider = QStringLiteral("SQLite");
    QString DataSource{};
    QString Host{};
    QString Port{};
    QString Database{};
    QString InitialCatalog{};
    QString UserID{};
    QString Password{};
};
