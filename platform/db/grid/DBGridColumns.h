#pragma once

#include <QFont>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "ui/Color.h"

class TColumn;
class TDataSet;
class TDBGrid;
class TField;

// The heading of a grid column.
class TColumnTitle {
  public:
    explicit TColumnTitle(TColumn& column) : column_(column) {}

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment alignment);
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& font);
    // The colour the font draws in; clWindowText follows the theme.
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);

  private:
    friend class TDBGridColumns;
    TColumn& column_;
    QString caption_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
    QFont font_;
    TColor fontColor_ = clWindowText;
};

// One column of a data grid, showing one field. Widths are in screen pixels; a hidden
// column reports -1, as printing code of this kind expects.
class TColumn {
  public:
    TColumn(class TDBGridColumns& owner, int index, TField* field);

    int Index() const { return index_; }
    TField* Field() const { return field_; }
    QString FieldName() const;
    int Width() const { return visible_ ? width_ : -1; }
    void SetWidth(int width);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment alignment);
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& font);
    // The colour the cells' font draws in; clWindowText follows the theme.
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    TColumnTitle& Title() { return title_; }
    const TColumnTitle& Title() const { return title_; }

  private:
    friend class TColumnTitle;
    friend class TDBGridColumns;
    void Changed();

    TDBGridColumns& owner_;
    int index_;
    TField* field_;
    int width_ = 64;
    bool visible_ = true;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
    QFont font_;
    TColor fontColor_ = clWindowText;
    TColumnTitle title_{*this};
};

// The columns of a data grid: one per field of the open data set, made when it opens.
class TDBGridColumns {
  public:
    int Count() const { return int(columns_.size()); }
    TColumn& Items(int index) { return *columns_.at(std::size_t(index)); }
    const TColumn& Items(int index) const { return *columns_.at(std::size_t(index)); }
    TColumn& operator[](int index) { return Items(index); }
    int Width(int index) const { return Items(index).Width(); }
    void SetWidth(int index, int width) { Items(index).SetWidth(width); }

    // One column per field, widths from the fields' display widths in `font` (the title's
    // width at least, 64 average characters at most).
    void Rebuild(TDataSet* dataSet, const QFont& font);
    void Clear() { columns_.clear(); }

    // Runs when a column changes (the grid shows it).
    std::function<void(int column)> OnChanged;

  private:
    friend class TColumn;
    friend class TDBGrid;
    // The user dragged a column border: take the width without telling the grid again.
    void TakeWidth(int index, int width) { Items(index).width_ = width; }

    std::vector<std::unique_ptr<TColumn>> columns_;
};
