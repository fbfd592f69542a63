#include "db/connection/OdbcConnectionText.h"

#include <QStringList>

namespace {

QString Braced(const QString& value) {
    QString escaped = value;
    escaped.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

QString OdbcValue(const QString& key, const QString& value) {
    if (IsBracedOdbcValue(value))
        return value;
    const bool driver = key.compare(QLatin1String("Driver"), Qt::CaseInsensitive) == 0;
    if (driver || value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('{')) ||
        value.contains(QLatin1Char('}')) || value.trimmed() != value)
        return Braced(value);
    return value;
}

}  // namespace

bool IsBracedOdbcValue(const QString& value) {
    if (value.size() < 2 || value.front() != QLatin1Char('{') || value.back() != QLatin1Char('}'))
        return false;
    const qsizetype end = value.size() - 1;
    for (qsizetype i = 1; i < end; ++i) {
        if (value[i] != QLatin1Char('}'))
            continue;
        if (i + 1 >= end || value[i + 1] != QLatin1Char('}'))
            return false;
        ++i;
    }
    return true;
}

QString OdbcConnectionText(const QList<QPair<QString, QString>>& keys) {
    QStringList parts;
    for (const auto& [key, value] : keys)
        parts << key + QLatin1Char('=') + OdbcValue(key, value);
    return parts.join(QLatin1Char(';'));
}
