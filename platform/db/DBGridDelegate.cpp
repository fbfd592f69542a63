#include "db/DBGridDelegate.h"

#include <QPainter>

#include "db/DBGrid.h"
#include "ui/EventGuard.h"

TDBGridDelegate::TDBGridDelegate(TDBGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

void TDBGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    TDataSet* dataSet = grid_.DataSet();
    if (!grid_.OnDrawColumnCell || !dataSet || !dataSet->Active() ||
        index.column() >= grid_.Columns().Count())
        return;
    TColumn& column = grid_.Columns().Items(index.column());
    if (!column.Field())
        return;

    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setBrush(
        QBrush(option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base),
               Qt::SolidPattern));
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(column.Font());
    {
        const TDataSet::TRowScope scope(*dataSet, index.row());
        Guarded([&] {
            grid_.OnDrawColumnCell(*painter, option.rect, index.column(), *column.Field(),
                                   option.state);
        });
    }
    painter->restore();
}
