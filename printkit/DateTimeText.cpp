#include "DateTimeText.h"

#include <QLocale>

namespace {
// Drops the time-zone fields ("t" outside quotes) and the blanks they leave.
QString WithoutTimeZone(const QString& format) {
    QString result;
    bool quoted = false;
    for (const QChar ch : format) {
        if (ch == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && ch == QLatin1Char('t'))
            continue;
        result += ch;
    }
    return result.simplified();
}
}  // namespace

QString ShortDateText(const QDate& date) {
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

QString LongDateText(const QDate& date) {
    return QLocale::system().toString(date, QLocale::LongFormat);
}

QString ShortTimeText(const QTime& time) {
    return QLocale::system().toString(time, QLocale::ShortFormat);
}

QString LongTimeText(const QTime& time) {
    return QLocale::system().toString(
        time, WithoutTimeZone(QLocale::system().timeFormat(QLocale::LongFormat)));
}
