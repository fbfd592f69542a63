#include "db/grid/RowScrollBar.h"

#include <QAbstractScrollArea>
#include <QEvent>

TRowScrollBar::TRowScrollBar(QAbstractScrollArea& grid)
    : QScrollBar(Qt::Vertical), grid_(grid), strip_(grid.verticalScrollBar()->parentWidget()) {
    setObjectName(QStringLiteral("RowScrollBar"));
    setAccessibleName(QStringLiteral("Rows"));
    grid_.installEventFilter(this);
    grid_.viewport()->installEventFilter(this);
    if (strip_)
        strip_->installEventFilter(this);
    FollowGridParent();
}

void TRowScrollBar::SetWanted(bool wanted) {
    wanted_ = wanted;
    Place();
}

bool TRowScrollBar::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::ParentChange:
            if (watched == &grid_)
                FollowGridParent();
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            Place();
            break;
        default:
            break;
    }
    return QScrollBar::eventFilter(watched, event);
}

// Beside the grid in its parent; a grid without one holds the bar itself.
void TRowScrollBar::FollowGridParent() {
    QWidget* parent = grid_.parentWidget() ? grid_.parentWidget() : &grid_;
    if (parentWidget() != parent)
        setParent(parent);
    Place();
}

// Over the strip the view keeps for its own bar, from the top of the rows to their bottom: the
// strip itself has no height while the view's bar in it is hidden.
void TRowScrollBar::Place() {
    const bool shown = wanted_ && strip_ && !grid_.isHidden() && !strip_->isHidden() &&
                       parentWidget() &&
                       (parentWidget() == &grid_ || parentWidget()->isAncestorOf(&grid_));
    if (shown) {
        const QRect rows = grid_.viewport()->geometry();
        const QPoint topLeft = grid_.mapTo(parentWidget(), QPoint(strip_->x(), rows.top()));
        setGeometry(QRect(topLeft, QSize(strip_->width(), rows.height())));
        raise();
    }
    setVisible(shown);
}
