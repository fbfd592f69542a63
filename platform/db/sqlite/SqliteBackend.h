#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "db/DbBackend.h"

struct sqlite3;
struct sqlite3_stmt;
struct TSqliteOrigins;
class SqliteScrollCursor;
struct TSqliteKeeping;

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
    QString SqlName(const QString& name) override;
    bool ReturnsRows(const QString& sql) override;
    int Execute(const QString& sql) override;
    // Only one statement may stand in `sql`; one that returns no columns is refused unrun.
    std::unique_ptr<TResultCursor> Query(const QString& sql) override;
    std::unique_ptr<TResultCursor> OpenTable(const QString& table, int maxRecords) override;
    // Nothing for a statement that cannot be read from a given row (a PRAGMA, say).
    std::unique_ptr<TScrollCursor> ScrollQuery(const QString& sql) override;
    std::unique_ptr<TScrollCursor> ScrollTable(const QString& table, int maxRecords) override;
    qsizetype ExecuteWith(const QString& sql, const QVariantList& params, TRowStore* rows) override;
    void StartTransaction() override;
    void Commit() override;
    void Rollback() override;

  private:
    sqlite3* Handle();
    sqlite3_stmt* PrepareQuery(const QString& sql, TSqliteOrigins& origins);
    QString TableQuery(const QString& table, int maxRecords);
    // Runs the statements of `text` one after the other, as they stand; returns the rows they
    // changed. `refuseTransactions` refuses a statement that begins or ends a transaction.
    qsizetype RunStatements(const QByteArray& text, bool refuseTransactions = false);
    // Where a server-side result that needs keeping is kept: a temporary database attached
    // for that, or, inside the user's transaction, one on a connection of its own.
    TSqliteKeeping KeepingPlace();
    [[noreturn]] void Fail() const;

    QString fileName_;
    sqlite3* db_ = nullptr;
    std::vector<SqliteScrollCursor*> cursors_;
    bool keepingAttached_ = false;
    sqlite3* keeper_ = nullptr;  // the connection of its own, opened when first needed
    int keptResults_ = 0;
};
