#pragma once

#include <QObject>
#include <QStringList>
#include <map>
#include <memory>

#include "db/DbBackend.h"

// The alias session: lists aliases and opens the database behind an alias when a query,
// table or table list first needs it (aliases resolve through AliasResolver()). Closing the
// session closes those databases and the data sets on them. The object name is the
// component name; the parent is the owner.
class TSession : public QObject {
    Q_OBJECT
  public:
    explicit TSession(QObject* owner = nullptr, const QString& name = {});
    ~TSession() override;

    void Open();
    void Close();
    bool Active() const { return active_; }
    void SetActive(bool active);
    // Closes the session when the database of an alias was lost under the program (its server
    // stopped, say) and returns why; empty when none was.
    QString CloseIfLost();

    void GetAliasNames(QStringList& list) const;
    // Tables and views of an alias's database whose names match `pattern` ("*", "cust*").
    // The engines have neither file extensions nor system tables to offer.
    void GetTableNames(const QString& databaseName, const QString& pattern, bool extensions,
                       bool systemTables, QStringList& list);

    // The open database of an alias, opening the session and the database when needed.
    // Raises EDatabaseError naming an unknown alias.
    DbBackend& Database(const QString& databaseName);

  signals:
    // The session opened or closed: data sets on it close themselves.
    void SessionChanged();

  private:
    bool active_ = false;
    std::map<QString, std::unique_ptr<DbBackend>> databases_;  // by upper-case alias
};
