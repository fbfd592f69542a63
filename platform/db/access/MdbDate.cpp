#include "db/access/MdbDate.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>
#include <cmath>

namespace {

constexpr qint64 kMsPerDay = 86400000;
// Access accepts the years 100 to 9999.
constexpr double kFirstDay = -657434.0;
constexpr double kLastDay = 2958466.0;

QDate Origin() {
    return QDate(1899, 12, 30);
}

std::optional<double> LinearDays(const QDate& date, const QTime& time) {
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return double(Origin().daysTo(date)) + double(time.msecsSinceStartOfDay()) / kMsPerDay;
}

int FullYear(const QString& digits) {
    const int year = digits.toInt();
    if (digits.size() > 2)
        return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

QTime TimeOf(const QRegularExpressionMatch& match, int first) {
    if (match.captured(first).isEmpty())
        return QTime(0, 0);
    return QTime(match.captured(first).toInt(), match.captured(first + 1).toInt(),
                 match.captured(first + 2).toInt());
}

}  // namespace

double OleDateToLinearDays(double oleDate) {
    double whole = 0;
    const double fraction = std::modf(oleDate, &whole);
    return whole + std::fabs(fraction);
}

QString OleDateToIsoText(double oleDate) {
    if (!std::isfinite(oleDate) || oleDate < kFirstDay - 1 || oleDate > kLastDay)
        return {};
    const qint64 ms = std::llround(OleDateToLinearDays(oleDate) * kMsPerDay);
    qint64 days = ms / kMsPerDay;
    qint64 msOfDay = ms % kMsPerDay;
    if (msOfDay < 0) {
        msOfDay += kMsPerDay;
        --days;
    }
    const QDate date = Origin().addDays(days);
    const QTime time = QTime::fromMSecsSinceStartOfDay(int(msOfDay));
    if (date.year() < 100 || date.year() > 9999)
        return {};
    const QString format =
        time.msec() ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss");
    return date.toString(Qt::ISODate) + QLatin1Char('T') + time.toString(format);
}

std::optional<double> ParseDateLiteral(const QString& text) {
    static const QString timePart = QStringLiteral("(?:[T ](\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?");
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})") +
                                        timePart + QLatin1Char('$'));
    static const QRegularExpression us(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4}|\\d{2})") +
                                       timePart + QLatin1Char('$'));
    const QString trimmed = text.trimmed();
    if (const auto match = iso.match(trimmed); match.hasMatch())
        return LinearDays(
            QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt()),
            TimeOf(match, 4));
    if (const auto match = us.match(trimmed); match.hasMatch())
        return LinearDays(QDate(FullYear(match.captured(3)), match.captured(1).toInt(),
                                match.captured(2).toInt()),
                          TimeOf(match, 4));
    return std::nullopt;
}
