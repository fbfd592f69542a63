#include "PreviewPaintBox.h"

#include <QPainter>

#include "ui/EventGuard.h"

TPreviewPaintBox::TPreviewPaintBox(QWidget* parent, TPaintHandler onPaint)
    : QWidget(parent), onPaint_(std::move(onPaint)) {
    setObjectName(QStringLiteral("PaintBox"));
}

void TPreviewPaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Guarded([&] { onPaint_(painter); });
}
