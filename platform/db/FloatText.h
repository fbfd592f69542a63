#pragma once

#include <QString>

// A float in the general format with at most 15 significant digits, as fields show their
// values: fixed notation unless the number needs more than 15 digits before the decimal point
// or is below 0.00001, then scientific ("1.5E-7", "1E20"). The decimal separator is the
// system locale's. 3983.0 gives "3983".
QString FloatToText(double value);
