#include "db/components/ADOConnectionLink.h"

#include "core/Exception.h"
#include "db/dataset/DataSet.h"

TADOConnectionLink::~TADOConnectionLink() {
    QObject::disconnect(watch_);
}

void TADOConnectionLink::SetConnection(TADOConnection* connection) {
    if (connection == connection_)
        return;
    dataSet_.Close();
    QObject::disconnect(watch_);
    connection_ = connection;
    if (connection_)
        watch_ = QObject::connect(connection_, &TADOConnection::ConnectionChanged, &dataSet_,
                                  [this] { dataSet_.Close(); });
}

DbBackend& TADOConnectionLink::Engine() const {
    if (!connection_)
        throw EDatabaseError(QStringLiteral("Missing Connection or ConnectionString"));
    return connection_->Backend();
}
