#include "db/dataset/RecordWriter.h"

#include "core/Exception.h"
#include "db/DbBackend.h"
#include "db/dataset/RecordSql.h"
#include "db/dataset/RowStore.h"

namespace {

const QString kRowNotFound = QStringLiteral(
    "Row cannot be located for updating. Some values may have been changed since it was last "
    "read");

// Rolls back unless committed.
class TTransaction {
  public:
    explicit TTransaction(DbBackend& backend) : backend_(backend) { backend_.StartTransaction(); }
    ~TTransaction() {
        if (!done_) {
            try {
                backend_.Rollback();
            } catch (const Exception&) {
                // The statement's own error is the one worth reporting.
            }
        }
    }
    void Commit() {
        backend_.Commit();
        done_ = true;
    }

  private:
    DbBackend& backend_;
    bool done_ = false;
};

QVariantList Pick(const QVariantList& row, const QList<int>& columns) {
    QVariantList picked;
    for (const int column : columns)
        picked << row.at(column);
    return picked;
}

}  // namespace

TRecordWriter::TRecordWriter(DbBackend& backend, TUpdateResolver resolve)
    : backend_(backend), resolve_(std::move(resolve)) {}

const TUpdateTarget& TRecordWriter::Target() {
    if (!target_)
        target_ = resolve_();
    return *target_;
}

QVariantList TRecordWriter::KeyOf(const QVariantList& row) {
    return Pick(row, Target().Key);
}

QVariantList TRecordWriter::FindingKey(const QVariantList& row) {
    try {
        return KeyOf(row);
    } catch (const EDatabaseError&) {
        return {};
    }
}

std::optional<QVariantList> TRecordWriter::Reread(const QVariantList& key) {
    const TUpdateTarget& target = Target();
    TRowStore rows;
    rows.Reset(int(target.Columns.size()));
    backend_.ExecuteWith(SelectRowSql(target), key, &rows);
    if (rows.RowCount() == 0)
        return std::nullopt;
    return rows.RowValues(0);
}

std::optional<QVariantList> TRecordWriter::Update(const QVariantList& before,
                                                  const QVariantList& after,
                                                  const QList<int>& changed) {
    const TUpdateTarget& target = Target();
    const QList<int> columns = DistinctTableColumns(target, changed);
    if (columns.isEmpty())
        return before;
    const QVariantList oldKey = KeyOf(before);
    {
        TTransaction transaction(backend_);
        if (backend_.ExecuteWith(UpdateRowSql(target, columns), Pick(after, columns) + oldKey,
                                 nullptr) != 1)
            throw EDatabaseError(kRowNotFound);
        transaction.Commit();
    }
    // A changed key finds the row under its new value.
    QVariantList newKey = oldKey;
    for (int i = 0; i < target.Key.size(); ++i)
        if (changed.contains(target.Key[i]))
            newKey[i] = after.at(target.Key[i]);
    return Reread(newKey);
}

std::optional<QVariantList> TRecordWriter::Insert(const QVariantList& values,
                                                  const QList<int>& assigned) {
    const TUpdateTarget& target = Target();
    const QList<int> columns = DistinctTableColumns(target, assigned);
    TRowStore key;
    key.Reset(int(target.Key.size()));
    {
        // A row that cannot be found again is not left behind.
        TTransaction transaction(backend_);
        backend_.ExecuteWith(InsertRowSql(target, columns), Pick(values, columns), &key);
        if (key.RowCount() != 1)
            throw EDatabaseError(QStringLiteral("The database did not report the new row's key"));
        transaction.Commit();
    }
    return Reread(key.RowValues(0));
}

void TRecordWriter::Delete(const QList<QVariantList>& rows) {
    const QString sql = DeleteRowSql(Target());
    TTransaction transaction(backend_);
    for (const QVariantList& row : rows)
        if (backend_.ExecuteWith(sql, KeyOf(row), nullptr) != 1)
            throw EDatabaseError(kRowNotFound);
    transaction.Commit();
}
