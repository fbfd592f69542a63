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
#include "db/grid/RowScrollBar.h"
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
    connect(model_, &TDBGridModel::RowsCounted, this, [this] {
        if (watched_ && watched_->Loading())
            KeepResponsive(false);
    });

    rowBar_ = new TRowScrollBar(*this);
    connect(model_, &TDBGridModel::WindowChanged, this, &TDBGrid::UpdateRowBar);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &TDBGrid::UpdateRowBar);
    // The view's own bar, hidden while windowed, still takes the wheel over the cells.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!scrolling_)
            ShowRowsFrom(model_->DataRow(value));
    });
    connect(rowBar_, &QScrollBar::valueChanged, this, [this](int value) {
        if (!scrolling_)
            ShowRowsFrom(value);
    });
}

TDBGrid::~TDBGrid() {
    // The bar lives beside the grid, in its parent.
    delete rowBar_;
    for (const auto& watch : watches_)
        disconnect(watch);
    disconnect(sourceWatch_);
    columns_.OnChanged = nullptr;
}

QScrollBar* TDBGrid::RowBar() const {
    return rowBar_;
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
    const int column = currentIndex().isValid() ? currentIndex().column() : currentColumn_;
    if (row >= 0 && row < model_->Rows()) {
        model_->Reach(row, row);
        // A plain move, whatever keys are held meanwhile: the view would take a held Ctrl as
        // adding each record walked to the selection.
        selectionModel()->setCurrentIndex(model_->index(model_->ModelRow(row), column),
                                          QItemSelectionModel::ClearAndSelect);
    }
    following_ = false;
}

void TDBGrid::ShowRowsFrom(qsizetype top) {
    if (scrolling_)
        return;
    scrolling_ = true;
    const auto done = qScopeGuard([this] { scrolling_ = false; });
    // The view's range must know of rows announced since it last laid out.
    executeDelayedItemsLayout();
    QScrollBar& view = *verticalScrollBar();
    // The rows come from the database now, under the busy wait, not from painting; a result
    // read again meanwhile may have moved the view to the current record.
    if (TDataSet* dataSet = watched_; dataSet && dataSet->Active())
        Guarded([&] { dataSet->ReadShown(top, top + view.pageStep()); });
    model_->Reach(top, top + view.pageStep());
    view.setValue(int(top - model_->FirstRow()));
    rowBar_->setValue(int(model_->DataRow(view.value())));
}

void TDBGrid::UpdateRowBar() {
    const bool windowed = model_->Windowed();
    QScrollBar& view = *verticalScrollBar();
    // Hidden, the view's bar keeps its place in the layout to the grid's.
    view.setVisible(!windowed);
    rowBar_->SetWanted(windowed);
    if (!windowed)
        return;
    scrolling_ = true;
    const auto done = qScopeGuard([this] { scrolling_ = false; });
    // Rows are all of one height: as many as fit stay below the last top row.
    const int fit = qMax(1, viewport()->height() / qMax(1, verticalHeader()->defaultSectionSize()));
    rowBar_->setRange(0, int(qMax<qsizetype>(0, model_->Rows() - fit)));
    rowBar_->setPageStep(fit);
    rowBar_->setSingleStep(1);
    rowBar_->setValue(int(model_->DataRow(view.value())));
}

void TDBGrid::RestoreCurrent() {
    TDataSet* dataSet = watched_;
    if (currentIndex().isValid() || !dataSet || !dataSet->Active() || dataSet->RecNo() < 1)
        return;
    const qsizetype row = dataSet->RecNo() - 1;
    model_->Reach(row, row);
    // The same record: moving to it changes nothing in the data set.
    selectionModel()->setCurrentIndex(model_->index(model_->ModelRow(row), currentColumn_),
                                      QItemSelectionModel::NoUpdate);
}

QModelIndex TDBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (model_->Windowed()) {
        // Ctrl+Home and Ctrl+End go to the ends of all the rows, not of the window.
        if ((action == MoveHome || action == MoveEnd) && (modifiers & Qt::ControlModifier)) {
            const bool home = action == MoveHome;
            const qsizetype row = home ? 0 : model_->Rows() - 1;
            int visual = home ? 0 : horizontalHeader()->count() - 1;
            while (visual >= 0 && visual < horizontalHeader()->count() &&
                   isColumnHidden(horizontalHeader()->logicalIndex(visual)))
                visual += home ? 1 : -1;
            model_->Reach(row, row);
            return model_->index(model_->ModelRow(row),
                                 qMax(0, horizontalHeader()->logicalIndex(visual)));
        }
        RestoreCurrent();
        if (currentIndex().isValid()) {
            const qsizetype row = model_->DataRow(currentIndex().row());
            model_->Reach(row, row);
        }
    }
    return QTableView::moveCursor(action, modifiers);
}

void TDBGrid::MoveRecord(const QModelIndex& current) {
    TDataSet* dataSet = watched_;
    if (current.isValid())
        currentColumn_ = current.column();
    if (following_ || !current.isValid() || !dataSet || !dataSet->Active())
        return;
    following_ = true;
    const auto restore = qScopeGuard([this] { following_ = false; });
    if (model_->DataRow(current.row()) == dataSet->RecNo() - 1)
        return;
    // A refused post still lets the user go where they clicked; the error follows.
    std::exception_ptr refused;
    try {
        LeaveRecord();
    } catch (...) {
        refused = std::current_exception();
    }
    if (currentIndex().isValid()) {
        const qsizetype row = model_->DataRow(currentIndex().row());
        if (row < dataSet->RecordCount() && row != dataSet->RecNo() - 1)
            dataSet->SetRecNo(row + 1);
    }
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
            if (modifiers != Qt::NoModifier ||
                model_->DataRow(currentIndex().row()) != model_->Rows() - 1 ||
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
            rows << model_->DataRow(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty() && currentIndex().isValid())
        rows << model_->DataRow(currentIndex().row());
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
