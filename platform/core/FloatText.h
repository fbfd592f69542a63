#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

// Numbers as text the way the program has always shown them, in fields and in settings.

// General format with at most 15 significant digits and the locale's decimal separator:
// fixed notation unless the number needs more than 15 digits before the separator or is
// below 0.0001, then scientific ("1E20", "1.5E-7").
QString FloatToStr(long double value);

// The same text of a double appended in UTF-8, with the separator the caller took from the
// locale once: quick enough for a million cells.
void AppendFloatText(std::string& utf8, double value, std::string_view decimalSeparator);

// A number in the same syntax (blanks around it allowed, the locale's decimal separator,
// an optional exponent); nothing when the text is not one.
std::optional<long double> StrToFloat(const QString& text);
