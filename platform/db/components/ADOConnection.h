#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

#include "db/DbBackend.h"
#include "db/dataset/CursorLocation.h"

// An ADO-style connection: a connection string naming a provider and its data source.
// The object name is the component name ("ADOConnection1"); its parent is its owner.
class TADOConnection : public QObject {
    Q_OBJECT
  public:
    explicit TADOConnection(QObject* owner = nullptr, const QString& name = {});
    ~TADOConnection() override;

    QString ConnectionString() const { return connectionString_; }
    void SetConnectionString(const QString& text);
    bool LoginPrompt() const { return loginPrompt_; }
    void SetLoginPrompt(bool prompt) { loginPrompt_ = prompt; }
    TCursorLocation CursorLocation() const { return cursorLocation_; }
    void SetCursorLocation(TCursorLocation location) { cursorLocation_ = location; }

    // Connects (asking for user name and password first when LoginPrompt is set; a cancelled
    // prompt raises EDatabaseError) and runs AfterConnect. Raises EDatabaseError on failure.
    void Open();
    // Disconnects and runs AfterDisconnect; nothing happens when not connected.
    void Close();
    // Open and not lost.
    bool Connected() const;
    // Whether the open connection was lost under the program; see DbBackend::LostReason.
    bool Lost() const { return backend_ && backend_->ConnectionLost(); }
    // Closes a lost connection as Close does and returns why it was lost; empty when it was not.
    // The data sets on it hold results of the engine, so callers choose a moment when none is
    // being read.
    QString CloseIfLost();

    // Tables and views, system tables left out.
    void GetTableNames(QStringList& list, bool systemTables = false);

    // The engine of the open connection; raises EDatabaseError when not connected.
    DbBackend& Backend();

    std::function<void()> AfterConnect;
    std::function<void()> AfterDisconnect;

  signals:
    // The connection opened or closed: data sets on it close themselves.
    void ConnectionChanged();

  private:
    QString connectionString_;
    bool loginPrompt_ = true;
    TCursorLocation cursorLocation_ = clUseClient;
    std::unique_ptr<DbBackend> backend_;
};
