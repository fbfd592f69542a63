#include "metafile/MetafileCanvas.h"

#include <algorithm>

#include "metafile/FontRealization.h"
#include "metafile/Metafile.h"

namespace {
constexpr size_t kRecentFonts = 8;
}

TMetafileCanvas::TMetafileCanvas(TMetafile& page, int fontResolution)
    : page_(page), fontResolution_(fontResolution) {
    Realize();
}

TMetafileCanvas::~TMetafileCanvas() {
    page_.Finish();
}

void TMetafileCanvas::SetFont(const QFont& font) {
    if (font == font_)
        return;
    font_ = font;
    Realize();
}

void TMetafileCanvas::SetFontResolution(int dpi) {
    fontResolution_ = dpi;
    Realize();
}

int TMetafileCanvas::FontHeight() const {
    return measure_->Font().pixelSize();
}

int TMetafileCanvas::TextWidth(QStringView text) const {
    return measure_->TextWidth(text);
}

void TMetafileCanvas::TextOut(int x, int y, QStringView text) {
    if (text.isEmpty())
        return;
    if (fontIndex_ < 0)
        fontIndex_ = page_.FontIndex(measure_->Font(), measure_->Ascent());
    page_.AddText(x, y, fontIndex_, text);
}

void TMetafileCanvas::Polyline(std::initializer_list<QPoint> points) {
    page_.AddPolyline(points.begin(), int(points.size()), penWidth_);
}

void TMetafileCanvas::Realize() {
    const QFont realized = RealizeFont(font_, fontResolution_);
    fontIndex_ = -1;
    const auto found = std::find_if(recent_.begin(), recent_.end(), [&](const auto& measure) {
        return measure->Font() == realized;
    });
    if (found != recent_.end()) {
        measure_ = *found;
        return;
    }
    measure_ = std::make_shared<const TFontMeasure>(realized);
    if (recent_.size() == kRecentFonts)
        recent_.erase(recent_.begin());
    recent_.push_back(measure_);
}
