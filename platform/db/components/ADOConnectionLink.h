#pragma once

#include <QMetaObject>
#include <QPointer>

#include "db/components/ADOConnection.h"

class TDataSet;

// Ties an ADO data set to its connection: the data set closes when the connection closes,
// and runs on the connection's open database.
class TADOConnectionLink {
  public:
    explicit TADOConnectionLink(TDataSet& dataSet) : dataSet_(dataSet) {}
    ~TADOConnectionLink();

    TADOConnection* Connection() const { return connection_; }
    void SetConnection(TADOConnection* connection);
    // Raises EDatabaseError without a connection or when it is not open.
    DbBackend& Engine() const;

  private:
    TDataSet& dataSet_;
    QPointer<TADOConnection> connection_;
    QMetaObject::Connection watch_;
};
