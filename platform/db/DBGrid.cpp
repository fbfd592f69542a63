#include "db/DBGrid.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScopeGuard>

#include "db/DBGridDelegate.h"
#include "db/DBGridModel.h"
#include "ui/EventGuard.h"

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent), model_(new TDBGridModel(columns_, this)) {
    setModel(model_);
    setItemDelegate(new TDBGridDelegate(*this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);

    columns_.OnChanged = [this](int column) { ShowColumn(column); };
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) {
                if (column < columns_.Count() && !isColumnHidden(column))
                    columns_.TakeWidth(column, width);
            });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            Guard([this] { MoveRecord(currentIndex()); }));
}

TDBGrid::~TDBGrid() {
    for (const auto& watch : watches_)
        disconnect(watch);
    disconnect(sourceWatch_);
    columns_.OnChanged = nullptr;
}

TDataSet* TDBGrid::DataSet() const {
    return dataSource_ ? dataSource_->DataSet() : nullptr;
}

void TDBGrid::SetDataSource(TDataSource* dataSource) {
    if (dataSource == dataSource_)
        return;
    disconnect(sourceWatch_);
    dataSource_ = dataSource;
    if (dataSource_)
        sourceWatch_ =
            connect(dataSource_, &TDataSource::DataSetChanged, this, [this] { WatchDataSet(); });
    WatchDataSet();
}

void TDBGrid::WatchDataSet() {
    for (const auto& watch : watches_)
        disconnect(watch);
    watches_.clear();
    watched_ = DataSet();
    if (watched_) {
        watches_ << connect(watched_, &TDataSet::Opened, this, [this] { Rebuild(); })
                 << connect(watched_, &TDataSet::Closed, this, [this] { Rebuild(); })
                 << connect(watched_, &TDataSet::CurrentChanged, this,
                            [this](qsizetype row) { FollowRecord(row); });
    }
    Rebuild();
}

void TDBGrid::Rebuild() {
    TDataSet* dataSet = watched_;
    columns_.Rebuild(dataSet, font());
    model_->Reset(dataSet);
    for (int column = 0; column < columns_.Count(); ++column)
        ShowColumn(column);
    if (dataSet && dataSet->Active())
        FollowRecord(dataSet->FieldRow());
}

void TDBGrid::ShowColumn(int column) {
    if (column >= model_->columnCount())
        return;
    const TColumn& shown = columns_.Items(column);
    setColumnHidden(column, !shown.Visible());
    if (shown.Visible())
        setColumnWidth(column, shown.Width());
    model_->ColumnChanged(column);
}

void TDBGrid::FollowRecord(qsizetype row) {
    if (following_)
        return;
    following_ = true;
    const int column = qMax(0, currentIndex().column());
    if (row >= 0 && row < model_->rowCount())
        setCurrentIndex(model_->index(int(row), column));
    following_ = false;
}

void TDBGrid::MoveRecord(const QModelIndex& current) {
    TDataSet* dataSet = watched_;
    if (following_ || !current.isValid() || !dataSet || !dataSet->Active())
        return;
    following_ = true;
    const auto restore = qScopeGuard([this] { following_ = false; });
    if (current.row() != dataSet->FieldRow())
        dataSet->SetRecNo(current.row() + 1);
}

void TDBGrid::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
}
