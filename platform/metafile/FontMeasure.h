#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QStringView>
#include <array>

// Measures text in one realised font. Widths of plain Latin text are summed from cached
// character advances, because composition measures every cell, often more than once.
// Control characters count as blanks, as playback draws them.
class TFontMeasure {
  public:
    explicit TFontMeasure(const QFont& realized);

    const QFont& Font() const { return font_; }
    int TextWidth(QStringView text) const;
    qreal Ascent() const { return metrics_.ascent(); }
    qreal Descent() const { return metrics_.descent(); }
    qreal Leading() const { return metrics_.leading(); }

  private:
    static constexpr int kCachedCharacters = 0x300;

    QFont font_;
    QFontMetricsF metrics_;
    mutable std::array<qreal, kCachedCharacters> advances_;
};

// The text as playback draws it: control characters become blanks.
QString DrawableText(QStringView text);
