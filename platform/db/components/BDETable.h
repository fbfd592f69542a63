#pragma once

#include "db/components/CustomTable.h"
#include "db/components/SessionLink.h"

// A table of an alias's database by name.
class TTable : public TCustomTable {
    Q_OBJECT
  public:
    explicit TTable(QObject* owner = nullptr, const QString& name = {});

    TSession* Session() const { return link_.Session(); }
    void SetSession(TSession* session) { link_.SetSession(session); }
    QString DatabaseName() const { return link_.DatabaseName(); }
    void SetDatabaseName(const QString& name) { link_.SetDatabaseName(name); }

  protected:
    DbBackend& Engine() override { return link_.Engine(); }

  private:
    TSessionLink link_{*this};
};
