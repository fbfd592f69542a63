#include "ui/AnchorLayout.h"

#include <QWidget>
#include <QWidgetItem>

TAnchorLayout::TAnchorLayout(QWidget* container, QSize designSize)
    : QLayout(container), designSize_(designSize) {
    setContentsMargins(0, 0, 0, 0);
}

TAnchorLayout::~TAnchorLayout() {
    for (const Placed& placed : items_)
        delete placed.item;
}

void TAnchorLayout::Place(QWidget* control, QRect designRect, int anchors) {
    addChildWidget(control);
    if (designRect.width() <= 0 || designRect.height() <= 0)
        designRect.setSize(control->sizeHint());
    items_.append({new QWidgetItem(control), designRect, anchors});
    invalidate();
}

void TAnchorLayout::addItem(QLayoutItem* item) {
    items_.append({item, QRect(QPoint(0, 0), item->sizeHint()), kDefaultAnchors});
}

QLayoutItem* TAnchorLayout::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_[index].item : nullptr;
}

QLayoutItem* TAnchorLayout::takeAt(int index) {
    if (index < 0 || index >= items_.size())
        return nullptr;
    return items_.takeAt(index).item;
}

void TAnchorLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const int dw = rect.width() - designSize_.width();
    const int dh = rect.height() - designSize_.height();
    for (const Placed& placed : items_) {
        QRect r = placed.design;
        const bool left = placed.anchors & akLeft, right = placed.anchors & akRight;
        const bool top = placed.anchors & akTop, bottom = placed.anchors & akBottom;
        if (left && right)
            r.setWidth(r.width() + dw);
        else if (right)
            r.translate(dw, 0);
        if (top && bottom)
            r.setHeight(r.height() + dh);
        else if (bottom)
            r.translate(0, dh);
        // Only explicit constraints count: a control keeps its design size otherwise.
        const QSize minimum =
            placed.item->widget() ? placed.item->widget()->minimumSize() : QSize();
        r.setWidth(std::max(r.width(), minimum.width()));
        r.setHeight(std::max(r.height(), minimum.height()));
        // Straight to the widget: a layout item would bend the rectangle to the size policy.
        if (QWidget* widget = placed.item->widget())
            widget->setGeometry(r.translated(rect.topLeft()));
        else
            placed.item->setGeometry(r.translated(rect.topLeft()));
    }
}
