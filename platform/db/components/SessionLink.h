#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QString>

#include "db/components/Session.h"

class TDataSet;

// Ties an alias data set to its session and database name: the data set closes when the
// session closes, and runs on the database of its alias.
class TSessionLink {
  public:
    explicit TSessionLink(TDataSet& dataSet) : dataSet_(dataSet) {}
    ~TSessionLink();

    TSession* Session() const { return session_; }
    void SetSession(TSession* session);
    QString DatabaseName() const { return databaseName_; }
    // Only while the data set is closed.
    void SetDatabaseName(const QString& name);
    // Raises EDatabaseError without a session or for an unknown alias.
    DbBackend& Engine() const;

  private:
    TDataSet& dataSet_;
    QPointer<TSession> session_;
    QMetaObject::Connection watch_;
    QString databaseName_;
};
