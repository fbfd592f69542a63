#pragma once

#include <QList>
#include <QVariant>
#include <optional>

#include "db/dataset/UpdateTarget.h"

class DbBackend;

// Writes changes to rows of one open result back to its table, keyed, with every value a bound
// parameter, and reads the row again afterwards so that defaults and triggers show. Rows go in
// and come out with one value per result column. The table and key are looked up at the first
// change; a result that cannot be changed refuses every change with the resolver's error.
// A change that does not hit exactly one row is rolled back, so the database is left as it was.
class TRecordWriter {
  public:
    TRecordWriter(DbBackend& backend, TUpdateResolver resolve);

    // Sets `changed` columns of the row `before` to their values in `after`. Returns the row
    // as the database now holds it, or nothing when the row is gone (a trigger removed it).
    std::optional<QVariantList> Update(const QVariantList& before, const QVariantList& after,
                                       const QList<int>& changed);
    // Inserts a row with the `assigned` columns of `values` (the others take their defaults).
    std::optional<QVariantList> Insert(const QVariantList& values, const QList<int>& assigned);
    // Deletes all the rows or none.
    void Delete(const QList<QVariantList>& rows);
    // The values of a row's key, to find it again; empty when the result cannot be changed.
    QVariantList FindingKey(const QVariantList& row);
    // The table and key once a change has found them.
    const TUpdateTarget* Resolved() const { return target_ ? &*target_ : nullptr; }

  private:
    const TUpdateTarget& Target();
    QVariantList KeyOf(const QVariantList& row);
    std::optional<QVariantList> Reread(const QVariantList& key);

    DbBackend& backend_;
    TUpdateResolver resolve_;
    std::optional<TUpdateTarget> target_;
};
