#pragma once

#include <QString>
#include <optional>

// The number a cell text stands for when it is written the way numbers are shown ("-12.5",
// "3E+2"; not "007" or "+49") and a double keeps every digit of it: an integer up to 2^53 in
// magnitude, any other number with at most 15 significant digits (zeros at either end of its
// digits do not count). `decimalPoint` is the separator the text uses besides ".".
std::optional<double> ExactNumber(QString text, const QString& decimalPoint);
// A text written as a number whose digits a double cannot all keep ("12345678901234567").
bool LosesDigitsAsNumber(QString text, const QString& decimalPoint);
