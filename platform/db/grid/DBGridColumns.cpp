#include "db/grid/DBGridColumns.h"

#include <QFontMetrics>

#include "db/dataset/DataSet.h"

namespace {

constexpr int kCellPadding = 4;
constexpr int kWidestColumnInChars = 64;

}  // namespace

void TColumnTitle::SetCaption(const QString& caption) {
    caption_ = caption;
    column_.Changed();
}

void TColumnTitle::SetAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    column_.Changed();
}

void TColumnTitle::SetFont(const QFont& font) {
    font_ = font;
    column_.Changed();
}

void TColumnTitle::SetFontColor(TColor color) {
    fontColor_ = color;
    column_.Changed();
}

TColumn::TColumn(TDBGridColumns& owner, int index, TField* field)
    : owner_(owner), index_(index), field_(field) {}

QString TColumn::FieldName() const {
    return field_ ? field_->FieldName() : QString();
}

void TColumn::Changed() {
    if (owner_.OnChanged)
        owner_.OnChanged(index_);
}

void TColumn::SetWidth(int width) {
    width_ = qMax(0, width);
    Changed();
}

void TColumn::SetVisible(bool visible) {
    visible_ = visible;
    Changed();
}

void TColumn::SetAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    Changed();
}

void TColumn::SetFont(const QFont& font) {
    font_ = font;
    Changed();
}

void TColumn::SetFontColor(TColor color) {
    fontColor_ = color;
    Changed();
}

void TDBGridColumns::Rebuild(TDataSet* dataSet, const QFont& font) {
    columns_.clear();
    if (!dataSet || !dataSet->Active())
        return;
    const QFontMetrics metrics(font);
    const int average = metrics.averageCharWidth();
    for (int index = 0; index < dataSet->FieldCount(); ++index) {
        TField& field = dataSet->Fields(index);
        auto column = std::make_unique<TColumn>(*this, index, &field);
        column->font_ = font;
        column->alignment_ = field.Alignment();
        column->title_.caption_ = field.FieldName();
        column->title_.font_ = font;
        const int byField = field.DisplayWidth() * average;
        const int byTitle = metrics.horizontalAdvance(field.FieldName());
        column->width_ =
            qMin(qMax(byField, byTitle), kWidestColumnInChars * average) + kCellPadding;
        columns_.push_back(std::move(column));
    }
}
