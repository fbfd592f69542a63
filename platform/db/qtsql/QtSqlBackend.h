#pragma once

#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <optional>
#include <vector>

#include "db/DbBackend.h"
#include "db/qtsql/PgSession.h"

// Where a Qt SQL driver connects. For QODBC `databaseName` is the ODBC connection string.
struct TQtSqlTarget {
    QString driver;  // "QPSQL", "QODBC"
    QString databaseName;
    QString host;
    int port = -1;
    QString userName;
    QString password;
    QString connectOptions;  // QSqlDatabase::setConnectOptions
};

// A database behind one of Qt's SQL drivers (PostgreSQL, ODBC). Each back end has its own
// named Qt connection, removed again on Close. PostgreSQL's server-side cursors run on that
// connection too (see PgSession).
class QtSqlBackend : public DbBackend {
  public:
    explicit QtSqlBackend(TQtSqlTarget target);
    ~QtSqlBackend() override;

    void Open(const std::optional<TLoginAnswer>& login) override;
    void Close() override;
    bool IsOpen() const override { return db_.isOpen(); }
    QString LostReason() const override;
    QStringList TableNames() override;
    TFieldDefs FieldDefs(const QString& table) override;
    QString SqlName(const QString& name) override;
    // PostgreSQL lists a table outside the public schema as "schema.table".
    QString SqlTableName(const QString& table) override;
    bool ReturnsRows(const QString& sql) override;
    int Execute(const QString& sql) override;
    std::unique_ptr<TResultCursor> Query(const QString& sql) override;
    std::unique_ptr<TResultCursor> OpenTable(const QString& table, int maxRecords) override;
    // PostgreSQL keeps server-side cursors; ODBC drivers are read the ordinary way.
    std::unique_ptr<TScrollCursor> ScrollQuery(const QString& sql) override;
    std::unique_ptr<TScrollCursor> ScrollTable(const QString& table, int maxRecords) override;
    qsizetype ExecuteWith(const QString& sql, const QVariantList& params, TRowStore* rows) override;
    void StartTransaction() override;
    void Commit() override;
    void Rollback() override;

    const TQtSqlTarget& Target() const { return target_; }

  private:
    bool IsPostgres() const;
    QSqlDatabase& Database();
    // One of the program's own statements, kept from harming the cursors' transaction.
    void Step(const std::function<void()>& run, bool changes = false);
    qsizetype ExecuteDirect(const QString& sql, const QVariantList& params, TRowStore* rows);
    std::unique_ptr<TResultCursor> Run(const QString& sql, int maxRecords);
    // The columns of the rows `sql` returns, described unrun; -1 for several statements.
    int ResultColumns(const QString& sql);
    // Refuses, unrun, text that is not one statement returning rows.
    void RequireRows(const QString& sql);
    // Whether the text holds more than one statement.
    bool IsBatch(const QString& sql);
    // Keywords a bare name may not be: PostgreSQL's reserved ones, or the ODBC driver's.
    const QSet<QString>& Keywords();
    TFieldDefs PostgresFieldDefs(const QString& table);
    QString TableQuery(const QString& table, int maxRecords);

    TQtSqlTarget target_;
    QString connectionName_;
    QSqlDatabase db_;
    bool savepoint_ = false;  // the change under way sits in the user's transaction
    bool changing_ = false;   // between StartTransaction and its Commit or Rollback
    PgSession session_;
    // How names are written, read at first use: keywords in upper case; ODBC's quote character
    // and the letter case its bare names fold to.
    std::optional<QSet<QString>> keywords_;
    QString quote_;
    bool foldsToUpper_ = false;
    bool foldsToLower_ = false;
};
