#include "db/components/SessionLink.h"

#include "core/Exception.h"
#include "db/dataset/DataSet.h"

TSessionLink::~TSessionLink() {
    QObject::disconnect(watch_);
}

void TSessionLink::SetSession(TSession* session) {
    if (session == session_)
        return;
    dataSet_.Close();
    QObject::disconnect(watch_);
    session_ = session;
    if (session_)
        watch_ = QObject::connect(session_, &TSession::SessionChanged, &dataSet_, [this] {
            if (!session_->Active())
                dataSet_.Close();
        });
}

void TSessionLink::SetDatabaseName(const QString& name) {
    if (name == databaseName_)
        return;
    if (dataSet_.Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    databaseName_ = name;
}

DbBackend& TSessionLink::Engine() const {
    if (!session_)
        throw EDatabaseError(QStringLiteral("No session assigned"));
    return session_->Database(databaseName_);
}
