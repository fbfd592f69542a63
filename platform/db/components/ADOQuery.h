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
    // Server: the rows stay in the database where its engine keeps a server-side cursor.
    // Takes effect at the next opening.
    TCursorLocation CursorLocation() const { return cursorLocation_; }
    void SetCursorLocation(TCursorLocation location) { cursorLocation_ = location; }

  protected:
    DbBackend& Engine() override { return link_.Engine(); }
    std::unique_ptr<TScrollCursor> OpenScrollCursor() override {
        return cursorLocation_ == clUseServer ? Engine().ScrollQuery(CheckedCommand()) : nullptr;
    }

  private:
    TADOConnectionLink link_{*this};
    TCursorLocation cursorLocation_ = clUseClient;
};
