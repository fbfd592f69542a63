#include "db/DBGridModel.h"

TDBGridModel::TDBGridModel(TDBGridColumns& columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns) {}

void TDBGridModel::Reset(TDataSet* dataSet) {
    beginResetModel();
    dataSet_ = dataSet;
    endResetModel();
}

void TDBGridModel::ColumnChanged(int column) {
    emit headerDataChanged(Qt::Horizontal, column, column);
    const int rows = rowCount();
    if (rows > 0)
        emit dataChanged(index(0, column), index(rows - 1, column));
}

int TDBGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !dataSet_ || !dataSet_->Active())
        return 0;
    return int(qMin<qsizetype>(dataSet_->Rows().RowCount(), INT_MAX));
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
    return field.TextAt(row);
}

QVariant TDBGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= columns_.Count())
        return {};
    const TColumn& column = columns_.Items(index.column());
    switch (role) {
        case Qt::DisplayRole:
            return column.Field() ? CellText(*column.Field(), index.row()) : QString();
        case Qt::TextAlignmentRole:
            return int(column.Alignment());
        case Qt::FontRole:
            return column.Font();
        default:
            return {};
    }
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
        default:
            return {};
    }
}

Qt::ItemFlags TDBGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}
