#include "db/dataset/UpdateTarget.h"

#include "core/Exception.h"

QString CannotChange(const QString& reason) {
    return QStringLiteral("This result cannot be changed: ") + reason;
}

TUpdateResolver RefuseUpdates(const QString& reason) {
    return [reason]() -> TUpdateTarget { throw EDatabaseError(reason); };
}
