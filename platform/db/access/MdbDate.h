#pragma once

#include <QString>
#include <optional>

// Jet keeps a Date/Time as an OLE Automation date: days since 1899-12-30 with the time of day
// as the fraction, which stays positive for days before 1899-12-30 (-1.25 is 1899-12-29 06:00).
// "Linear" days run straight through that origin, so they compare as the dates do.
double OleDateToLinearDays(double oleDate);

// ISO 8601 text of an OLE date ("1994-11-16T00:00:00", milliseconds only when there are
// some); empty when the value is outside the years 100 to 9999.
QString OleDateToIsoText(double oleDate);

// A date literal of a WHERE clause in linear days: "yyyy-mm-dd" or "m/d/yyyy" (two-digit years
// 30-99 are 19xx, 00-29 20xx), each optionally followed by a time "hh:mm[:ss]".
std::optional<double> ParseDateLiteral(const QString& text);
