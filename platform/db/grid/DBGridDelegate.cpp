#include "db/grid/DBGridDelegate.h"

#include <QPainter>
#include <QPlainTextEdit>

#include "db/grid/DBGrid.h"
#include "db/grid/DBGridModel.h"
#include "ui/EventGuard.h"

namespace {

constexpr int kLongText = 1000;
constexpr int kTextBoxLines = 6;

}  // namespace

TDBGridDelegate::TDBGridDelegate(TDBGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

bool TDBGridDelegate::NeedsTextBox(const QModelIndex& index) const {
    const TField* field = grid_.Model().FieldOf(index.column());
    if (field && field->IsMemo())
        return true;
    const QString text = index.data(Qt::EditRole).toString();
    return text.size() > kLongText || text.contains(QLatin1Char('\n')) ||
           text.contains(QLatin1Char('\r'));
}

QWidget* TDBGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
    if (!NeedsTextBox(index))
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto* editor = new QPlainTextEdit(parent);
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    return editor;
}

void TDBGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    if (!qobject_cast<QPlainTextEdit*>(editor))
        return QStyledItemDelegate::updateEditorGeometry(editor, option, index);
    QRect rect = option.rect;
    rect.setHeight(qMax(rect.height(), kTextBoxLines * editor->fontMetrics().lineSpacing()));
    editor->setGeometry(rect);
}

void TDBGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    TDataSet* dataSet = grid_.DataSet();
    if (!grid_.OnDrawColumnCell || !dataSet || !dataSet->Active() || grid_.Model().ReadFailing() ||
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
    // The column's font colour, unless it is the theme's or the cell is selected.
    QColor pen = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    if (!selected && column.FontColor() != clWindowText)
        pen = ColorToRGB(column.FontColor());
    painter->setPen(pen);
    painter->setFont(column.Font());
    {
        const TDataSet::TRowScope scope(*dataSet, grid_.Model().DataRow(index.row()));
        Guarded([&] {
            grid_.OnDrawColumnCell(*painter, option.rect, index.column(), *column.Field(),
                                   option.state);
        });
    }
    painter->restore();
}
