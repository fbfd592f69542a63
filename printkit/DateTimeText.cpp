#include "DateTimeText.h"

#include <QLocale>

#include "db/dataset/DateTimeFormat.h"

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
    // The year in four digits, as the printed data's dates have it.
    return TDateTimeFormat::System().Date(date);
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
