#pragma once

#include <QString>

#include "db/DbBackend.h"

struct sqlite3;

// An SQLite file through the sqlite3 library itself, rows read straight into the row store.
// The file is opened read-write but never created: a missing file is an error.
class SqliteBackend : public DbBackend {
  public:
    explicit SqliteBackend(QString fileName);
    ~SqliteBackend() override;

    void Open(const std::optional<TLoginAnswer>& login) override;
    void Close() override;
    bool IsOpen() const override { return db_ != nullptr; }
    QStringList TableNames() override;
    TFieldDefs FieldDefs(const QString& table) override;
    int Execute(const QString& sql) override;
    // Only one statement may stand in `sql`; one that returns no columns is refused unrun.
    std::unique_ptr<TResultCursor> Query(const QString& sql) override;
    std::unique_ptr<TResultCursor> OpenTable(const QString& table, int maxRecords) override;
    qsizetype ExecuteWith(const QString& sql, const QVariantList& params, TRowStore* rows) override;
    void StartTransaction() override;
    void Commit() override;
    void Rollback() override;

  private:
    sqlite3* Handle();
    [[noreturn]] void Fail() const;

    QString fileName_;
    sqlite3* db_ = nullptr;
};
