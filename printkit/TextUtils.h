#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "core/FloatText.h"

// Pieces of `text` between occurrences of `separator`; every occurrence ends a piece, so an
// empty text gives one empty piece and a trailing separator an empty last piece.
QStringList SplitByChar(const QString& text, QChar separator);

// Every occurrence of `pattern` (case-sensitive) replaced, left to right; replacement text is
// never searched again.
QString ReplaceAll(const QString& pattern, const QString& replacement, const QString& text);

// The text up to and including its last blank or control character (code below 33); the
// text unchanged when it has none.
QString TrimToLastBlank(const QString& text);

// To the nearest integer, halfway values to the even neighbour; nothing when the result does
// not fit in 32 bits or the value is not a number.
std::optional<int> RoundToInt(long double value);
