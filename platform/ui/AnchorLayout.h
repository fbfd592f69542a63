#pragma once

#include <QLayout>
#include <QList>
#include <QRect>

// Anchors of a control placed at a fixed design position: the edges named keep their
// distance to the same edges of the container when it is resized.
enum TAnchor : int { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
inline constexpr int kDefaultAnchors = akLeft | akTop;

// Places controls at their design rectangles inside a container of a given design size and
// moves or stretches them by their anchors as the container changes size.
class TAnchorLayout : public QLayout {
  public:
    TAnchorLayout(QWidget* container, QSize designSize);
    ~TAnchorLayout() override;

    // A zero size in `designRect` keeps the control's own size hint (labels size themselves).
    void Place(QWidget* control, QRect designRect, int anchors = kDefaultAnchors);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return int(items_.size()); }
    QSize sizeHint() const override { return designSize_; }
    QSize minimumSize() const override { return {0, 0}; }
    void setGeometry(const QRect& rect) override;

  private:
    struct Placed {
        QLayoutItem* item;
        QRect design;
        int anchors;
    };
    QSize designSize_;
    QList<Placed> items_;
};
