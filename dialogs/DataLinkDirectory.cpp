#include "DataLinkDirectory.h"

#include <QDir>
#include <QStandardPaths>

// The one place that decides the folder; a folder named by the settings store belongs here too.
QString DataLinkDirectory() {
    const QString configured = qEnvironmentVariable("QUORVA_DATALINK_DIR");
    if (!configured.isEmpty())
        return QDir::cleanPath(configured);
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/Quorva/Data Links"));
}
