#pragma once

#include <QDateTime>
#include <QString>

// Dates and times in the system locale's formats ("ddddd", "dddddd", "t" and "tt" of the
// original format codes). The short date's year has four digits, as in the printed data; the
// long time format carries no time-zone name.
QString ShortDateText(const QDate& date);
QString LongDateText(const QDate& date);
QString ShortTimeText(const QTime& time);
QString LongTimeText(const QTime& time);
