#pragma once

#include <QStringList>

#include "db/dataset/DataSet.h"

// What the ADO query and the alias query share: SQL text whose lines, joined with "\n", are
// one command, run on the engine the subclass names.
class TCustomQuery : public TDataSet {
    Q_OBJECT
  public:
    using TDataSet::TDataSet;

    QStringList& SQL() { return sql_; }
    const QStringList& SQL() const { return sql_; }
    QString CommandText() const { return sql_.join(QLatin1Char('\n')); }

    // Runs the command without a result set (closing the query first) and returns the rows
    // affected, -1 when the database does not say.
    int ExecSQL();
    int RowsAffected() const { return rowsAffected_; }
    // Whether `command` is one statement that returns rows, asked of this query's engine
    // without running it.
    bool ReturnsRows(const QString& command);
    // A table as TableNames lists it, written as the engine's SQL names it.
    QString SqlTableName(const QString& table);

  protected:
    std::unique_ptr<TResultCursor> OpenCursor() override;
    // The command, refused when there is none.
    QString CheckedCommand() const;

  private:
    QStringList sql_;
    int rowsAffected_ = -1;
};
