#include "db/grid/DBGridModel.h"

#include <QBrush>

#include <QTimer>
#include "db/dataset/FieldEdit.h"

#include "core/Exception.h"
#include "ui/EventGuard.h"

namespace {

constexpr qsizetype kShownCharacters = 1000;

// The theme's text colour is left to the view, which knows its own palette.
QVariant Foreground(TColor color) {
    return color == clWindowText ? QVariant() : QVariant(QBrush(ColorToRGB(color)));
}

}  // namespace

TDBGridModel::TDBGridModel(TDBGridColumns& columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns) {}

void TDBGridModel::Reset(TDataSet* dataSet) {
    beginResetModel();
    dataSet_ = dataSet;
    count_ = dataSet_ && dataSet_->Active() ? dataSet_->RecordCount() : 0;
    base_ = 0;
    span_ = int(qMin<qsizetype>(count_, kWindowRows));
    pendingRows_ = 0;
    Watch();
    endResetModel();
    emit WindowChanged();
}

void TDBGridModel::Watch() {
    for (const auto& watch : watches_)
        disconnect(watch);
    watches_.clear();
    if (!dataSet_)
        return;
    TDataSet* dataSet = dataSet_;
    watches_ << connect(dataSet, &TDataSet::RowsAboutToBeInserted, this, &TDBGridModel::RowsComing)
             << connect(dataSet, &TDataSet::RowsInserted, this, &TDBGridModel::RowsCame)
             << connect(dataSet, &TDataSet::RowsAboutToBeRemoved, this, &TDBGridModel::RowsLeaving)
             << connect(dataSet, &TDataSet::RowsRemoved, this, &TDBGridModel::RowsLeft)
             << connect(dataSet, &TDataSet::RecordChanged, this,
                        [this](qsizetype row) {
                            const int shown = ModelRow(row);
                            if (shown >= 0 && columnCount() > 0)
                                emit dataChanged(index(shown, 0), index(shown, columnCount() - 1));
                        })
             << connect(dataSet, &TDataSet::RowsReread, this, [this] {
                    if (span_ > 0 && columnCount() > 0)
                        emit dataChanged(index(0, 0), index(span_ - 1, columnCount() - 1));
                });
}

void TDBGridModel::RowsComing(qsizetype first, qsizetype last) {
    pendingRows_ = 0;
    const qsizetype end = base_ + span_;
    // Rows before the window only move it; rows after a full window stay out of it.
    if (first < base_ || first > end || (first == end && span_ >= kWindowRows))
        return;
    const qsizetype rows = last - first + 1;
    pendingRows_ = int(first < end ? rows : qMin<qsizetype>(rows, kWindowRows - span_));
    beginInsertRows({}, int(first - base_), int(first - base_) + pendingRows_ - 1);
}

void TDBGridModel::RowsCame(qsizetype first, qsizetype last) {
    count_ += last - first + 1;
    if (first < base_)
        base_ += last - first + 1;
    if (pendingRows_ > 0) {
        span_ += pendingRows_;
        pendingRows_ = 0;
        endInsertRows();
    }
    emit WindowChanged();
    emit RowsCounted();
}

void TDBGridModel::RowsLeaving(qsizetype first, qsizetype last) {
    pendingRows_ = 0;
    const qsizetype from = qMax(first, base_);
    const qsizetype to = qMin(last, base_ + span_ - 1);
    if (from > to)
        return;
    pendingRows_ = int(to - from + 1);
    beginRemoveRows({}, int(from - base_), int(to - base_));
}

void TDBGridModel::RowsLeft(qsizetype first, qsizetype last) {
    count_ -= last - first + 1;
    if (first < base_)
        base_ -= qMin(last, base_ - 1) - first + 1;
    if (pendingRows_ > 0) {
        span_ -= pendingRows_;
        pendingRows_ = 0;
        endRemoveRows();
    }
    Refill();
    emit WindowChanged();
}

void TDBGridModel::Refill() {
    qsizetype wanted = qMin<qsizetype>(count_, kWindowRows) - span_;
    const qsizetype after = qMin(wanted, count_ - (base_ + span_));
    if (after > 0) {
        beginInsertRows({}, span_, span_ + int(after) - 1);
        span_ += int(after);
        endInsertRows();
        wanted -= after;
    }
    const qsizetype before = qMin(wanted, base_);
    if (before > 0) {
        beginInsertRows({}, 0, int(before) - 1);
        base_ -= before;
        span_ += int(before);
        endInsertRows();
    }
}

int TDBGridModel::ModelRow(qsizetype row) const {
    return row >= base_ && row < base_ + span_ ? int(row - base_) : -1;
}

bool TDBGridModel::Reach(qsizetype first, qsizetype last) {
    if (!Windowed())
        return false;
    const qsizetype from = qMax<qsizetype>(0, first - kWindowMargin);
    const qsizetype to = qMin(count_ - 1, last + kWindowMargin);
    if (from >= base_ && to < base_ + span_)
        return false;
    MoveWindow((first + last) / 2 - span_ / 2);
    return true;
}

void TDBGridModel::MoveWindow(qsizetype first) {
    const qsizetype base = qBound<qsizetype>(0, first, count_ - span_);
    if (base == base_)
        return;
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& shown : before) {
        const qsizetype row = base_ + shown.row();
        after << (row >= base && row < base + span_ ? index(int(row - base), shown.column())
                                                    : QModelIndex());
    }
    changePersistentIndexList(before, after);
    base_ = base;
    emit layoutChanged();
    emit WindowChanged();
}

void TDBGridModel::ColumnChanged(int column) {
    emit headerDataChanged(Qt::Horizontal, column, column);
    const int rows = rowCount();
    if (rows > 0)
        emit dataChanged(index(0, column), index(rows - 1, column));
}

void TDBGridModel::SetEditable(bool editable) {
    if (editable == editable_)
        return;
    editable_ = editable;
    const int rows = rowCount();
    if (rows > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
}

int TDBGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !dataSet_ || !dataSet_->Active())
        return 0;
    return span_;
}

int TDBGridModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || !dataSet_ || !dataSet_->Active())
        return 0;
    return columns_.Count();
}

QString TDBGridModel::CellText(const TField& field, qsizetype row) {
    if (field.IsMemo())
        return QStringLiteral("(MEMO)");
    if (field.IsBinary())
        return QStringLiteral("(BLOB)");
    QString text = field.TextAt(row);
    // Laying out a megabyte of text takes a second on every repaint; no cell shows that much.
    if (text.size() > kShownCharacters)
        text.truncate(kShownCharacters);
    return text;
}

TField* TDBGridModel::FieldOf(int column) const {
    if (column < 0 || column >= columns_.Count())
        return nullptr;
    return columns_.Items(column).Field();
}

QVariant TDBGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= columns_.Count() || index.row() >= span_)
        return {};
    const qsizetype row = DataRow(index.row());
    const TColumn& column = columns_.Items(index.column());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            if (!column.Field() || readFailing_)
                return QString();
            try {
                return role == Qt::DisplayRole ? CellText(*column.Field(), row)
                                               : column.Field()->EditTextAt(row);
            } catch (const std::exception& error) {
                ReadFailed(error);
                return QString();
            }
        case Qt::TextAlignmentRole:
            return int(column.Alignment());
        case Qt::FontRole:
            return column.Font();
        case Qt::ForegroundRole:
            return Foreground(column.FontColor());
        default:
            return {};
    }
}

void TDBGridModel::ReadFailed(const std::exception& error) const {
    readFailing_ = true;
    const EDatabaseError failure(QString::fromUtf8(error.what()));
    // Not while the view paints: the error box and the closing come after.
    QTimer::singleShot(0, const_cast<TDBGridModel*>(this), [this, failure] {
        if (dataSet_ && dataSet_->Active())
            Guarded([this] { dataSet_->Close(); });
        readFailing_ = false;
        HandleException(failure);
    });
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return DataRow(section) + 1;
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.Count())
        return QAbstractTableModel::headerData(section, orientation, role);
    const TColumnTitle& title = columns_.Items(section).Title();
    switch (role) {
        case Qt::DisplayRole:
            return title.Caption();
        case Qt::TextAlignmentRole:
            return int(title.Alignment());
        case Qt::FontRole:
            return title.Font();
        case Qt::ForegroundRole:
            return Foreground(title.FontColor());
        default:
            return {};
    }
}

Qt::ItemFlags TDBGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const TField* field = FieldOf(index.column());
    if (editable_ && field && !field->IsBinary())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TDBGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    TField* field = FieldOf(index.column());
    if (role != Qt::EditRole || !editable_ || !field || !dataSet_ || index.row() >= span_)
        return false;
    bool taken = false;
    Guarded([&] {
        TakeText(DataRow(index.row()), *field, value.toString());
        taken = true;
    });
    return taken;
}

void TDBGridModel::TakeText(qsizetype row, TField& field, const QString& text) {
    // An editor opened and left alone changes nothing, not even a float's last digits.
    if (text == field.EditTextAt(row))
        return;
    const QVariant value = FieldValueFromText(text, field.Def());
    TDataSet& dataSet = *dataSet_;
    if (dataSet.RecNo() != row + 1)
        dataSet.SetRecNo(row + 1);
    if (dataSet.State() == dsBrowse)
        dataSet.Edit();
    field.SetValue(value);
}
