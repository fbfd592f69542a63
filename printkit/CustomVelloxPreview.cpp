#include "CustomVellox.h"
#include "PreviewPaintBox.h"

// The preview's drawing and scrolling belong to the preview; until it is built, the sheet
// area stays empty and the scroll ranges are those of the paint box.
void TCustomVellox::PaintPreview(QPainter&) {}

void TCustomVellox::UpdateScrollRanges() {}

void TCustomVellox::Invalidate() {
    if (updateLock_ > 0)
        return;
    paintBox_->update();
}

void TCustomVellox::EndUpdate() {
    if (updateLock_ > 0)
        --updateLock_;
    if (updateLock_ == 0)
        Invalidate();
}

void TCustomVellox::Loaded() {
    loading_ = false;
    RefreshMetrics();
    ResetPageStore();
    UpdateScrollRanges();
    Invalidate();
}
