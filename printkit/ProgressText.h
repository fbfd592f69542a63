#pragma once

#include <QString>

// The page line of the progress window: "Page 3 of 12 x 2 Copies". The total and the copies
// are shown only when the range starts at page 1.
QString ProgressPageText(const QString& prefix, int current, int first, int last, int copies);
