#pragma once

#include "db/components/ADOConnectionLink.h"
#include "db/components/CustomQuery.h"

// An SQL command on an ADO connection, opened as a result set or executed.
class TADOQuery : public TCustomQuery {
    Q_OBJECT
  public:
    explicit TADOQuery(QObject* owner = nullptr, const QString& name = {});

    TADOConnection* Connection() const { return link_.Connection(); }
    void SetConnection(TADOConnection* connection) { link_.SetConnection(connection); }
    // Kept for the caller; every result is read whole into memory either way.
    TCursorLocation CursorLocation() const { return cursorLocation_; }
    void SetCursorLocation(TCursorLocation location) { cursorLocation_ = location; }

  protected:
    DbBackend& Engine() override { return link_.Engine(); }

  private:
    TADOConnectionLink link_{*this};
    TCursorLocation cursorLocation_ = clUseClient;
};
