#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Dates and times as a locale writes them (its order of day, month and year, its separators,
// its 12- or 24-hour clock) but without losing information: the year always in four digits,
// and seconds (and milliseconds) whenever they are not zero. The saved grid and the printed
// grid both show fields this way.
class TDateTimeFormat {
  public:
    explicit TDateTimeFormat(const QLocale& locale);

    // The system locale's, made again only when that locale changes.
    static const TDateTimeFormat& System();

    // `finer` are digits of the fraction of a second beyond the milliseconds ("456" for
    // microseconds 123456), written after them.
    QString Date(QDate date) const;
    QString Time(QTime time, const QString& finer = {}) const;
    // A date-and-time at midnight is its date alone, as date fields always were.
    QString DateTime(const QDateTime& stamp, const QString& finer = {}) const;

  private:
    QLocale locale_;
    QString date_, minutes_, seconds_, milliseconds_;
};
