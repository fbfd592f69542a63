#include "db/dataset/DateTimeFormat.h"

namespace {

// Where the next field of letters starts in a format, skipping text quoted with '.
qsizetype NextField(const QString& format, qsizetype from) {
    bool quoted = false;
    for (qsizetype i = from; i < format.size(); ++i) {
        if (format[i] == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && format[i].isLetter())
            return i;
    }
    return -1;
}

qsizetype FieldLength(const QString& format, qsizetype at) {
    qsizetype end = at;
    while (end < format.size() && format[end] == format[at])
        ++end;
    return end - at;
}

QString WithFourDigitYears(QString format) {
    for (qsizetype at = NextField(format, 0); at >= 0; at = NextField(format, at)) {
        const qsizetype length = FieldLength(format, at);
        if (format[at] == QLatin1Char('y') && length < 4)
            format.replace(at, length, QStringLiteral("yyyy"));
        at += format[at] == QLatin1Char('y') ? 4 : length;
    }
    return format;
}

// Where the first field of `letter` starts, -1 when the format has none.
qsizetype FindField(const QString& format, QChar letter) {
    for (qsizetype at = NextField(format, 0); at >= 0; at = NextField(format, at)) {
        if (format[at] == letter)
            return at;
        at += FieldLength(format, at);
    }
    return -1;
}

// The minutes' field followed by `extra` (seconds, perhaps milliseconds), joined by the same
// separator that stands between hours and minutes.
QString WithAfterMinutes(QString format, const QString& extra) {
    qsizetype hoursEnd = -1;
    for (qsizetype at = NextField(format, 0); at >= 0; at = NextField(format, at)) {
        const qsizetype length = FieldLength(format, at);
        const QChar letter = format[at];
        if (letter == QLatin1Char('h') || letter == QLatin1Char('H'))
            hoursEnd = at + length;
        if (letter == QLatin1Char('m')) {
            QString separator = hoursEnd >= 0 ? format.mid(hoursEnd, at - hoursEnd) : QString();
            if (separator.isEmpty() || separator.contains(QLatin1Char('\'')))
                separator = QStringLiteral(":");
            format.insert(at + length, separator + extra);
            return format;
        }
        at += length;
    }
    return format + QStringLiteral(":") + extra;
}

// The locale's time with seconds: as it is when it shows them already (the C locale's
// "HH:mm:ss"), else with seconds after the minutes.
QString WithSeconds(const QString& format) {
    return FindField(format, QLatin1Char('s')) >= 0
               ? format
               : WithAfterMinutes(format, QStringLiteral("ss"));
}

// The locale's time with seconds and milliseconds, the milliseconds after the seconds.
QString WithMilliseconds(const QString& format, const QString& decimalPoint) {
    if (FindField(format, QLatin1Char('z')) >= 0)
        return format;
    QString seconds = WithSeconds(format);
    const qsizetype at = FindField(seconds, QLatin1Char('s'));
    seconds.insert(at + FieldLength(seconds, at), decimalPoint + QStringLiteral("zzz"));
    return seconds;
}

}  // namespace

TDateTimeFormat::TDateTimeFormat(const QLocale& locale)
    : locale_(locale),
      date_(WithFourDigitYears(locale.dateFormat(QLocale::ShortFormat))),
      minutes_(locale.timeFormat(QLocale::ShortFormat)),
      seconds_(WithSeconds(minutes_)),
      milliseconds_(WithMilliseconds(minutes_, locale.decimalPoint())) {}

const TDateTimeFormat& TDateTimeFormat::System() {
    static TDateTimeFormat format{QLocale::system()};
    if (const QLocale system = QLocale::system(); system != format.locale_)
        format = TDateTimeFormat(system);
    return format;
}

QString TDateTimeFormat::Date(QDate date) const {
    return locale_.toString(date, date_);
}

QString TDateTimeFormat::Time(QTime time, const QString& finer) const {
    if (!finer.isEmpty()) {
        QString format = milliseconds_;
        if (const qsizetype at = format.indexOf(QLatin1String("zzz")); at >= 0)
            format.insert(at + 3, QLatin1Char('\'') + finer + QLatin1Char('\''));
        return locale_.toString(time, format);
    }
    const QString& format =
        time.msec() != 0 ? milliseconds_ : (time.second() != 0 ? seconds_ : minutes_);
    return locale_.toString(time, format);
}

QString TDateTimeFormat::DateTime(const QDateTime& stamp, const QString& finer) const {
    if (stamp.time() == QTime(0, 0) && finer.isEmpty())
        return Date(stamp.date());
    return Date(stamp.date()) + QLatin1Char(' ') + Time(stamp.time(), finer);
}
