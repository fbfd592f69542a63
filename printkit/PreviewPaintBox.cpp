#include "PreviewPaintBox.h"

#include <QPaintEvent>
#include <QPainter>

#include "ui/EventGuard.h"

TPreviewPaintBox::TPreviewPaintBox(QWidget* parent, TPaintHandler onPaint)
    : QWidget(parent), onPaint_(std::move(onPaint)) {
    setObjectName(QStringLiteral("PaintBox"));
}

void TPreviewPaintBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // Made explicit so that the handler can skip what is not exposed.
    painter.setClipRegion(event->region());
    Guarded([&] { onPaint_(painter); });
}
