// Arbitrary text as a connection string, read the two ways the program reads one: parsed for
// a connection, and taken into the settings of the data link dialog and written back from them.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "ConnectionStringCheck.h"
#include "DataLinkSettings.h"

namespace {

using fuzz::Require;

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
    if (parsed)
        fuzz::CheckConnectionString(*parsed);
    CheckDataLinkSettings(text, parsed && parsed->Has(QStringLiteral("Provider")));
    return 0;
}
