#pragma once

#include <QSqlError>
#include <QString>

// What a failed Qt SQL call says, for the error box; Qt's drivers sometimes say nothing.
inline QString SqlErrorText(const QSqlError& error) {
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("Unknown database error") : text;
}
