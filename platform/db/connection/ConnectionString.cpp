#include "db/connection/ConnectionString.h"

#include "core/Exception.h"

namespace {

[[noreturn]] void Malformed(const QString& detail) {
    throw EDatabaseError(QStringLiteral("Invalid connection string: %1").arg(detail));
}

bool IsSecretKey(const QString& key) {
    return key.compare(QLatin1String("Password"), Qt::CaseInsensitive) == 0 ||
           key.compare(QLatin1String("PWD"), Qt::CaseInsensitive) == 0;
}

// Names a piece of the text in an error. Once a password has begun, any later piece may be
// the rest of it (a ";" the user did not quote), so none is quoted from there on.
class TItemNames {
  public:
    void Passed(const QString& key) {
        if (secret_.isEmpty() && IsSecretKey(key))
            secret_ = key;
    }
    QString Item(const QString& text) const {
        return secret_.isEmpty() ? QStringLiteral("item '%1'").arg(text) : AfterSecret();
    }
    QString Key(const QString& key) const {
        return secret_.isEmpty() || IsSecretKey(key) ? QStringLiteral("'%1'").arg(key)
                                                     : AfterSecret();
    }

  private:
    QString AfterSecret() const {
        return QStringLiteral("an item after the value of '%1'").arg(secret_);
    }
    QString secret_;
};

bool NeedsQuotes(const QString& value) {
    if (value.isEmpty())
        return false;
    return value.contains(QLatin1Char(';')) || value.front().isSpace() || value.back().isSpace() ||
           value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'');
}

}  // namespace

TConnectionString TConnectionString::Parse(const QString& text) {
    TConnectionString result;
    TItemNames names;
    const qsizetype length = text.size();
    qsizetype pos = 0;
    while (pos < length) {
        const qsizetype itemStart = pos;
        while (pos < length && text[pos] != QLatin1Char('=') && text[pos] != QLatin1Char(';'))
            ++pos;
        const QString key = text.mid(itemStart, pos - itemStart).trimmed();
        if (pos == length || text[pos] == QLatin1Char(';')) {
            if (!key.isEmpty())
                Malformed(QStringLiteral("%1 has no '='").arg(names.Item(key)));
            ++pos;  // an empty item, as after a trailing ";"
            continue;
        }
        if (key.isEmpty()) {
            const qsizetype end = text.indexOf(QLatin1Char(';'), pos);
            Malformed(QStringLiteral("%1 has no key")
                          .arg(names.Item(
                              text.mid(itemStart, end < 0 ? -1 : end - itemStart).trimmed())));
        }
        ++pos;  // past "="
        while (pos < length && text[pos].isSpace() && text[pos] != QLatin1Char(';'))
            ++pos;

        QString value;
        if (pos < length && (text[pos] == QLatin1Char('"') || text[pos] == QLatin1Char('\''))) {
            const QChar quote = text[pos++];
            bool closed = false;
            while (pos < length) {
                if (text[pos] == quote) {
                    if (pos + 1 < length && text[pos + 1] == quote) {
                        value += quote;
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    closed = true;
                    break;
                }
                value += text[pos++];
            }
            if (!closed)
                Malformed(
                    QStringLiteral("unterminated quote in the value of %1").arg(names.Key(key)));
            while (pos < length && text[pos].isSpace())
                ++pos;
            if (pos < length && text[pos] != QLatin1Char(';'))
                Malformed(QStringLiteral("text after the quoted value of %1").arg(names.Key(key)));
        } else {
            const qsizetype end = text.indexOf(QLatin1Char(';'), pos);
            value = text.mid(pos, end < 0 ? -1 : end - pos).trimmed();
            pos = end < 0 ? length : end;
        }
        ++pos;  // past ";"
        result.Set(key, value);
        names.Passed(key);
    }
    return result;
}

QString TConnectionString::Value(const QString& key) const {
    for (const auto& item : items_)
        if (item.first.compare(key, Qt::CaseInsensitive) == 0)
            return item.second;
    return {};
}

bool TConnectionString::Has(const QString& key) const {
    for (const auto& item : items_)
        if (item.first.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void TConnectionString::Set(const QString& key, const QString& value) {
    for (auto& item : items_) {
        if (item.first.compare(key, Qt::CaseInsensitive) == 0) {
            item.second = value;
            return;
        }
    }
    items_.append({key, value});
}

void TConnectionString::Remove(const QString& key) {
    items_.removeIf([&](const QPair<QString, QString>& item) {
        return item.first.compare(key, Qt::CaseInsensitive) == 0;
    });
}

QString TConnectionString::ToString() const {
    QStringList parts;
    for (const auto& [key, value] : items_) {
        if (NeedsQuotes(value)) {
            QString quoted = value;
            quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            parts << key + QStringLiteral("=\"") + quoted + QLatin1Char('"');
        } else {
            parts << key + QLatin1Char('=') + value;
        }
    }
    return parts.join(QLatin1Char(';'));
}
