#pragma once

#include <QStyledItemDelegate>

class TDBGrid;

// Draws a grid cell the usual way, then hands it to the grid's OnDrawColumnCell with the
// field reading the drawn record, the brush set to the cell's background and the pen to its
// text colour.
class TDBGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit TDBGridDelegate(TDBGrid& grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    TDBGrid& grid_;
};
