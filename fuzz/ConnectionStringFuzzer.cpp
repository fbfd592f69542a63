// Arbitrary text as a connection string, read the ways the program reads one: parsed for a
// connection, its pairs handed on to an ODBC driver manager, and taken into the settings of the
// data link dialog and written back from them.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "ConnectionStringCheck.h"
#include "DataLinkSettings.h"
#include "db/connection/OdbcConnectionText.h"

namespace {

using fuzz::Require;

// The driver manager's reading of "KEY=value;KEY={va;lue}}}" (a doubled "}" stands for one in
// braces); nothing when the text does not read as pairs.
std::optional<QList<QPair<QString, QString>>> ReadOdbc(const QString& text) {
    QList<QPair<QString, QString>> pairs;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype equals = text.indexOf(QLatin1Char('='), pos);
        if (equals < 0)
            return std::nullopt;
        const QString key = text.mid(pos, equals - pos);
        pos = equals + 1;
        QString value;
        if (pos < text.size() && text[pos] == QLatin1Char('{')) {
            for (++pos;; ++pos) {
                if (pos >= text.size())
                    return std::nullopt;
                if (text[pos] == QLatin1Char('}')) {
                    if (pos + 1 < text.size() && text[pos + 1] == QLatin1Char('}')) {
                        value += QLatin1Char('}');
                        ++pos;
                        continue;
                    }
                    ++pos;
                    break;
                }
                value += text[pos];
            }
            if (pos < text.size() && text[pos] != QLatin1Char(';'))
                return std::nullopt;
        } else {
            const qsizetype end = text.indexOf(QLatin1Char(';'), pos);
            value = text.mid(pos, end < 0 ? -1 : end - pos);
            pos = end < 0 ? text.size() : end;
        }
        ++pos;  // past ";"
        pairs.append({key, value});
    }
    return pairs;
}

// The pairs reach the driver manager as meant: a value braced the ODBC way without its braces,
// any other value as it is.
void CheckOdbc(const TConnectionString& parsed) {
    const std::optional<QList<QPair<QString, QString>>> read =
        ReadOdbc(OdbcConnectionText(parsed.Items()));
    Require(read.has_value(), "an ODBC connection string does not read as pairs");
    Require(read->size() == parsed.Items().size(), "an ODBC connection string has other pairs");
    for (qsizetype i = 0; i < read->size(); ++i) {
        const auto& [key, value] = parsed.Items()[i];
        QString meant = value;
        if (IsBracedOdbcValue(value)) {
            const auto alone = ReadOdbc(QStringLiteral("K=") + value);
            Require(alone && alone->size() == 1, "a braced value does not read as one");
            meant = alone->front().second;
        }
        Require((*read)[i].first == key && (*read)[i].second == meant,
                "a pair reaches the ODBC driver manager changed");
    }
}

// What the data link dialog promises: settings read from a string and written over it give
// back what was read, untouched settings give back the string itself, and settings for any
// offered provider are read back as they were set (keys it has no field for kept).
void CheckDataLinkSettings(const QString& text, bool hasProvider) {
    const TDataLinkSettings read = TDataLinkSettings::FromConnectionString(text);
    const QString unchanged = read.ToConnectionString(text);
    if (hasProvider)
        Require(unchanged == text, "untouched data link settings changed the string");
    Require(TDataLinkSettings::FromConnectionString(unchanged) == read,
            "data link settings written back read differently");

    for (const QString& provider : TDataLinkSettings::Providers()) {
        TDataLinkSettings changed = read;
        changed.Provider = provider;
        const QString written = changed.ToConnectionString(text);
        const std::optional<TConnectionString> parsed = fuzz::ParseConnectionString(written);
        Require(parsed.has_value(), "the data link dialog wrote no connection string");
        fuzz::CheckConnectionString(*parsed);
        Require(TDataLinkSettings::FromConnectionString(written) == changed,
                "data link settings for another provider read back differently");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<TConnectionString> parsed = fuzz::ParseConnectionString(text);
    if (parsed) {
        fuzz::CheckConnectionString(*parsed);
        CheckOdbc(*parsed);
    }
    CheckDataLinkSettings(text, parsed && parsed->Has(QStringLiteral("Provider")));
    return 0;
}
