#pragma once

#include <QStyledItemDelegate>

class TDBGrid;

// Draws a grid cell the usual way, then hands it to the grid's OnDrawColumnCell with the
// field reading the drawn record, the brush set to the cell's background and the pen to its
// text colour. Edits memo cells, and text too long or too broken for one line, in a text box
// a few lines high (a line edit would cut long text and lose line breaks).
class TDBGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit TDBGridDelegate(TDBGrid& grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

  private:
    bool NeedsTextBox(const QModelIndex& index) const;

    TDBGrid& grid_;
};
