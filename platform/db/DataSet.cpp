#include "db/DataSet.h"

#include "core/Exception.h"

TDataSet::TDataSet(QObject* owner, const QString& name) : QObject(owner) {
    setObjectName(name);
}

TDataSet::~TDataSet() = default;

void TDataSet::SetActive(bool active) {
    if (active)
        Open();
    else
        Close();
}

void TDataSet::Open() {
    if (active_)
        return;
    try {
        const std::unique_ptr<TResultCursor> cursor = OpenCursor();
        const TFieldDefs& defs = cursor->Fields();
        rows_.Reset(int(defs.size()));
        for (int index = 0; index < defs.size(); ++index)
            fields_.push_back(std::make_unique<TField>(*this, index, defs[index]));
        bool more;
        do {
            more = cursor->Fetch(rows_, batchSize_);
            if (OnFetchProgress)
                OnFetchProgress(rows_.RowCount());
        } while (more);
        // Columns without a declared type learn theirs from the rows just read.
        for (int index = 0; index < defs.size(); ++index)
            fields_[std::size_t(index)]->SetDef(cursor->Fields()[index]);
    } catch (...) {
        fields_.clear();
        rows_.Reset(0);
        throw;
    }
    active_ = true;
    ++opening_;
    current_ = rows_.RowCount() > 0 ? 0 : -1;
    bof_ = true;
    eof_ = rows_.RowCount() == 0;
    emit Opened();
}

void TDataSet::Close() {
    if (!active_)
        return;
    active_ = false;
    fields_.clear();
    rows_.Reset(0);
    current_ = -1;
    bof_ = eof_ = true;
    emit Closed();
}

void TDataSet::CheckInactive() const {
    if (active_)
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
}

qsizetype TDataSet::RecordCount() const {
    if (!active_)
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    return rows_.RowCount();
}

void TDataSet::MoveTo(qsizetype row) {
    if (row == current_)
        return;
    current_ = row;
    if (ControlsDisabled())
        movedWhileDisabled_ = true;
    else
        emit CurrentChanged(current_);
}

void TDataSet::First() {
    RecordCount();
    bof_ = true;
    eof_ = rows_.RowCount() == 0;
    MoveTo(eof_ ? -1 : 0);
}

void TDataSet::Last() {
    RecordCount();
    eof_ = true;
    bof_ = rows_.RowCount() == 0;
    MoveTo(rows_.RowCount() - 1);
}

void TDataSet::Next() {
    RecordCount();
    if (current_ + 1 < rows_.RowCount()) {
        bof_ = false;
        MoveTo(current_ + 1);
    } else {
        eof_ = true;
    }
}

void TDataSet::Prior() {
    RecordCount();
    if (current_ > 0) {
        eof_ = false;
        MoveTo(current_ - 1);
    } else {
        bof_ = true;
    }
}

void TDataSet::SetRecNo(qsizetype recNo) {
    if (recNo < 1 || recNo > RecordCount())
        throw EDatabaseError(QStringLiteral("Record not found"));
    bof_ = eof_ = false;
    MoveTo(recNo - 1);
}

TBookmark TDataSet::GetBookmark() const {
    TBookmark bookmark;
    if (active_) {
        bookmark.row_ = current_;
        bookmark.opening_ = opening_;
    }
    return bookmark;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
    if (!bookmark.IsValid() || bookmark.opening_ != opening_ || bookmark.row_ >= RecordCount())
        throw EDatabaseError(QStringLiteral("Record not found"));
    SetRecNo(bookmark.row_ + 1);
}

void TDataSet::EnableControls() {
    if (disableCount_ == 0)
        return;
    if (--disableCount_ == 0 && movedWhileDisabled_) {
        movedWhileDisabled_ = false;
        emit CurrentChanged(current_);
    }
}

TField& TDataSet::Fields(int index) const {
    if (index < 0 || index >= FieldCount())
        throw EDatabaseError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return *fields_[std::size_t(index)];
}

TField* TDataSet::FindField(const QString& name) const {
    for (const auto& field : fields_)
        if (field->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return field.get();
    return nullptr;
}

TField& TDataSet::FieldByName(const QString& name) const {
    if (TField* field = FindField(name))
        return *field;
    throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
}

void TDataSet::GetFieldNames(QStringList& list) const {
    list.clear();
    for (const auto& field : fields_)
        list << field->FieldName();
}

TDataSet::TRowScope::TRowScope(TDataSet& dataSet, qsizetype row)
    : dataSet_(dataSet), previous_(dataSet.scopeRow_) {
    dataSet_.scopeRow_ = row;
}

TDataSet::TRowScope::~TRowScope() {
    dataSet_.scopeRow_ = previous_;
}
