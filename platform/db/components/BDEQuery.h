#pragma once

#include "db/components/CustomQuery.h"
#include "db/components/SessionLink.h"

// An SQL command on the database of an alias, opened as a result set or executed
// (RowsAffected tells what ExecSQL changed).
class TQuery : public TCustomQuery {
    Q_OBJECT
  public:
    explicit TQuery(QObject* owner = nullptr, const QString& name = {});

    TSession* Session() const { return link_.Session(); }
    void SetSession(TSession* session) { link_.SetSession(session); }
    QString DatabaseName() const { return link_.DatabaseName(); }
    void SetDatabaseName(const QString& name) { link_.SetDatabaseName(name); }

  protected:
    DbBackend& Engine() override { return link_.Engine(); }

  private:
    TSessionLink link_{*this};
};
