// The round trip every parsed connection string must survive, shared by the targets whose
// input ends up as one.
#pragma once

#include <optional>

#include "FuzzSupport.h"
#include "core/Exception.h"
#include "db/connection/ConnectionString.h"

namespace fuzz {

inline std::optional<TConnectionString> ParseConnectionString(const QString& text) {
    try {
        return TConnectionString::Parse(text);
    } catch (const EDatabaseError&) {
        return std::nullopt;
    }
}

// Keys are trimmed, hold neither "=" nor ";" and appear once (case-insensitively); written
// back and parsed again the string gives the same pairs, and writing those gives the same text.
inline void CheckConnectionString(const TConnectionString& parsed) {
    const auto& items = parsed.Items();
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString& key = items[i].first;
        Require(!key.isEmpty() && key == key.trimmed(), "a key is empty or not trimmed");
        Require(!key.contains(QLatin1Char('=')) && !key.contains(QLatin1Char(';')),
                "a key holds '=' or ';'");
        for (qsizetype j = 0; j < i; ++j)
            Require(items[j].first.compare(key, Qt::CaseInsensitive) != 0, "a key is repeated");
        Require(parsed.Has(key) && parsed.Value(key) == items[i].second,
                "a key does not give its value");
    }
    const QString written = parsed.ToString();
    const std::optional<TConnectionString> reread = ParseConnectionString(written);
    Require(reread.has_value(), "a connection string written back cannot be parsed");
    Require(reread->Items() == items, "a connection string written back gives other pairs");
    Require(reread->ToString() == written, "writing a connection string twice differs");
}

}  // namespace fuzz
