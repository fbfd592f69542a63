#include "db/grid/DBGrid.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScopeGuard>
#include <algorithm>
#include <exception>

#include "db/grid/DBGridDelegate.h"
#include "db/grid/DBGridModel.h"
#include "ui/EventGuard.h"
#include "ui/ModalSeam.h"

namespace {

// Often enough for the window to feel alive, seldom enough to cost the loading nothing.
constexpr qint64 kEventsEveryMs = 100;

}  // namespace

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
    // After the view's own handler, which has closed (and posted) an open editor by then.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            Guard([this] { MoveRecord(currentIndex()); }));
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this] {
        if (watched_ && watched_->Loading())
            KeepResponsive(false);
    });
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
    if (dataSet && dataSet->Loading())
        KeepResponsive(true);
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
    if (current.row() == dataSet->RecNo() - 1)
        return;
    // A refused post still lets the user go where they clicked; the error follows.
    std::exception_ptr refused;
    try {
        LeaveRecord();
    } catch (...) {
        refused = std::current_exception();
    }
    const int row = currentIndex().row();
    if (row >= 0 && row < dataSet->RecordCount() && row != dataSet->RecNo() - 1)
        dataSet->SetRecNo(row + 1);
    if (refused)
        std::rethrow_exception(refused);
}

bool TDBGrid::Editing() const {
    return watched_ && (watched_->State() == dsEdit || watched_->State() == dsInsert);
}

void TDBGrid::PostRecord() {
    if (!Editing())
        return;
    if (!watched_->Modified()) {
        // A new record stays open for typing; an edit that changed nothing just ends.
        if (watched_->State() == dsEdit)
            watched_->Cancel();
        return;
    }
    try {
        watched_->Post();
    } catch (...) {
        watched_->Cancel();
        throw;
    }
}

void TDBGrid::LeaveRecord() {
    if (!Editing())
        return;
    if (watched_->Modified())
        PostRecord();
    else
        watched_->Cancel();
}

void TDBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableView::closeEditor(editor, hint);
    if (hint == QAbstractItemDelegate::SubmitModelCache)
        Guarded([this] { PostRecord(); });
    else if (hint == QAbstractItemDelegate::RevertModelCache && Editing())
        Guarded([this] { watched_->Cancel(); });
}

void TDBGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    // Focus going to the grid's own cell editor, to a popup or to another window is not leaving.
    const QWidget* next = QApplication::focusWidget();
    if ((next && isAncestorOf(next)) || event->reason() == Qt::PopupFocusReason ||
        event->reason() == Qt::ActiveWindowFocusReason)
        return;
    if (watched_ && watched_->State() == dsInsert && !watched_->Modified())
        Guarded([this] { watched_->Cancel(); });
}

void TDBGrid::keyPressEvent(QKeyEvent* event) {
    bool handled = false;
    Guarded([&] { handled = HandleEditKey(event); });
    if (handled)
        event->accept();
    else
        QTableView::keyPressEvent(event);
}

bool TDBGrid::HandleEditKey(QKeyEvent* event) {
    TDataSet* dataSet = watched_;
    if (readOnly_ || !dataSet || !dataSet->Active())
        return false;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
        case Qt::Key_Insert:
            if (modifiers != Qt::NoModifier)
                return false;
            dataSet->Insert();
            return true;
        case Qt::Key_Delete:
            if (modifiers != Qt::NoModifier && modifiers != Qt::ControlModifier)
                return false;
            DeleteSelectedRecords();
            return true;
        case Qt::Key_Escape:
            if (!Editing())
                return false;
            dataSet->Cancel();
            return true;
        case Qt::Key_Down:
            if (modifiers != Qt::NoModifier || currentIndex().row() != model_->rowCount() - 1 ||
                (dataSet->State() == dsInsert && !dataSet->Modified()))
                return false;
            LeaveRecord();
            dataSet->Append();
            return true;
        default:
            return false;
    }
}

QList<qsizetype> TDBGrid::SelectedRows() const {
    // Ranges, not indexes: a selection of a million rows stays cheap.
    QList<qsizetype> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows << row;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty() && currentIndex().isValid())
        rows << currentIndex().row();
    return rows;
}

void TDBGrid::DeleteSelectedRecords() {
    TDataSet* dataSet = watched_;
    if (dataSet->RecordCount() == 0)
        return;
    const QList<qsizetype> rows = SelectedRows();
    if (rows.isEmpty())
        return;
    if (!Modal().Confirm(rows.size() > 1 ? QStringLiteral("Delete all selected records?")
                                         : QStringLiteral("Delete record?")))
        return;
    dataSet->DeleteRecords(rows);
    clearSelection();
}

void TDBGrid::KeepResponsive(bool now) {
    if (!now && sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventsEveryMs)
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceEvents_.start();
}

void TDBGrid::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    model_->SetEditable(!readOnly);
    setEditTriggers(readOnly
                        ? QAbstractItemView::NoEditTriggers
                        : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
}
