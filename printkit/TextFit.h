#pragma once

#include <QString>
#include <QStringView>
#include <functional>

// The width of a text in pixels.
using TTextWidth = std::function<int(QStringView)>;

// The longest prefix of `text` not wider than `width`, but never less than one character
// (a surrogate pair counts as one).
QString FitText(const QString& text, int width, const TTextWidth& measure);

// Moves the part of `rest` that is placed on this line into `part`: what fits, broken after
// the last blank when the break would split a word. Every call consumes at least one
// character, so a cell always finishes.
void TakeWrappedPart(QString& part, QString& rest, int width, const TTextWidth& measure);
