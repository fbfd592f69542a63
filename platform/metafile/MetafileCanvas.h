#pragma once

#include <QFont>
#include <QPoint>
#include <QStringView>
#include <initializer_list>
#include <memory>
#include <vector>

#include "metafile/FontMeasure.h"

class TMetafile;

// Draws into a recorded page. Text is measured with the font realised at the font resolution
// (the reference device's vertical pixels per inch), exactly as it is recorded and played.
class TMetafileCanvas {
  public:
    TMetafileCanvas(TMetafile& page, int fontResolution);
    // Completes the page.
    ~TMetafileCanvas();

    TMetafileCanvas(const TMetafileCanvas&) = delete;
    TMetafileCanvas& operator=(const TMetafileCanvas&) = delete;

    TMetafile& Page() const { return page_; }

    const QFont& Font() const { return font_; }
    void SetFont(const QFont& font);
    int FontResolution() const { return fontResolution_; }
    // Realises the font again at another resolution, keeping its point size.
    void SetFontResolution(int dpi);
    // The em height of the realised font in pixels (a Windows font's negative height).
    int FontHeight() const;

    int TextWidth(QStringView text) const;
    const TFontMeasure& Measure() const { return *measure_; }

    int PenWidth() const { return penWidth_; }
    void SetPenWidth(int width) { penWidth_ = width; }

    // The text's top-left corner goes to (x, y); the background stays as it is.
    void TextOut(int x, int y, QStringView text);
    void Polyline(std::initializer_list<QPoint> points);

  private:
    void Realize();

    TMetafile& page_;
    int fontResolution_;
    QFont font_;
    int penWidth_ = 0;
    std::shared_ptr<const TFontMeasure> measure_;
    int fontIndex_ = -1;
    // Recently used fonts: a composition switches between a few fonts cell by cell.
    std::vector<std::shared_ptr<const TFontMeasure>> recent_;
};
