#include "db/grid/DBGridModel.h"

#include <QBrush>

#include "db/dataset/FieldEdit.h"
#include <QTimer>

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
    rows_ = dataSet_ && dataSet_->Active()
                ? int(qMin<qsizetype>(dataSet_->RecordCount(), INT_MAX))
                : 0;
    Watch();
    endResetModel();
}

void TDBGridModel::Watch() {
    for (const auto& watch : watches_)
        disconnect(watch);
    watches_.clear();
    if (!dataSet_)
        return;
    TDataSet* dataSet = dataSet_;
    watches_ << connect(dataSet, &TDataSet::RowsAboutToBeInserted, this,
                        [this](qsizetype first, qsizetype last) {
                            beginInsertRows({}, int(first), int(last));
                        })
             << connect(dataSet, &TDataSet::RowsInserted, this,
                        [this](qsizetype first, qsizetype last) {
                            rows_ += int(last - first + 1);
                            endInsertRows();
                        })
             << connect(dataSet, &TDataSet::RowsAboutToBeRemoved, this,
                        [this](qsizetype first, qsizetype last) {
                            beginRemoveRows({}, int(first), int(last));
                        })
             << connect(dataSet, &TDataSet::RowsRemoved, this,
                        [this](qsizetype first, qsizetype last) {
                            rows_ -= int(last - first + 1);
                            endRemoveRows();
                        })
             << connect(dataSet, &TDataSet::RecordChanged, this, [this](qsizetype row) {
                    if (row >= 0 && row < rows_ && columnCount() > 0)
                        emit dataChanged(index(int(row), 0), index(int(row), columnCount() - 1));
                });
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
    return rows_;
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
    if (!index.isValid() || index.column() >= columns_.Count() || index.row() >= rows_)
        return {};
    const TColumn& column = columns_.Items(index.column());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            if (!column.Field() || readFailing_)
                return QString();
            try {
                return role == Qt::DisplayRole ? CellText(*column.Field(), index.row())
                                               : column.Field()->EditTextAt(index.row());
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
    if (role != Qt::EditRole || !editable_ || !field || !dataSet_ || index.row() >= rows_)
        return false;
    bool taken = false;
    Guarded([&] {
        TakeText(index.row(), *field, value.toString());
        taken = true;
    });
    return taken;
}

void TDBGridModel::TakeText(int row, TField& field, const QString& text) {
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
