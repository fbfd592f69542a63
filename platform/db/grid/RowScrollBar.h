#pragma once

#include <QPointer>
#include <QScrollBar>

class QAbstractScrollArea;

// The grid's scroll bar over all the rows of a result larger than the view's window. It stands
// where the view's own vertical bar stands (hidden meanwhile), but as a sibling of the grid
// rather than a part of it: a table view shows assistive technology only its cells, and a
// screen reader must find this bar by its name, read its position and set it.
class TRowScrollBar : public QScrollBar {
    Q_OBJECT
  public:
    explicit TRowScrollBar(QAbstractScrollArea& grid);

    // Whether the grid wants the bar now (it is windowed); it shows only where the grid does.
    void SetWanted(bool wanted);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FollowGridParent();
    void Place();

    QAbstractScrollArea& grid_;
    QPointer<QWidget> strip_;  // the view's own bar's place
    bool wanted_ = false;
};
