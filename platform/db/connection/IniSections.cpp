#include "db/connection/IniSections.h"

#include <QStringView>

namespace {

QString Unquoted(const QString& value) {
    if (value.size() >= 2 && value.front() == QLatin1Char('"') && value.back() == QLatin1Char('"'))
        return value.mid(1, value.size() - 2);
    return value;
}

}  // namespace

QString TIniSection::Value(const QString& key) const {
    for (const auto& [name, value] : values)
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

bool TIniSection::Has(const QString& key) const {
    for (const auto& item : values)
        if (item.first.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QList<TIniSection> ParseIniSections(const QString& text) {
    QList<TIniSection> sections;
    bool inSection = false;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.front() == QLatin1Char(';') || line.front() == QLatin1Char('#'))
            continue;
        if (line.front() == QLatin1Char('[')) {
            // Whatever follows the closing bracket, a comment most likely, is no part of the name.
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            const QString name =
                close > 0 ? line.mid(1, close - 1).trimmed().toString() : QString();
            inSection = !name.isEmpty();
            if (inSection)
                sections.append({name, {}});
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inSection || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed().toString();
        if (!key.isEmpty())
            sections.back().values.append(
                {key, Unquoted(line.mid(equals + 1).trimmed().toString())});
    }
    return sections;
}
