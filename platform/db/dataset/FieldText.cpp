#include "db/dataset/FieldText.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>
#include <algorithm>
#include <optional>

#include "core/FloatText.h"
#include "db/dataset/DateTimeFormat.h"

namespace {

QString StoredText(const TRowStore& rows, qsizetype row, int column) {
    const std::string_view raw = rows.Raw(row, column);
    return QString::fromUtf8(raw.data(), qsizetype(raw.size()));
}

QDateTime ParseDateTime(QString text) {
    CutFinerDigits(text);
    if (text.size() > 10 && text[10] == QLatin1Char(' '))
        text[10] = QLatin1Char('T');
    const QDateTime stamp = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (stamp.isValid())
        return stamp;
    // A stored time names no zone: one the local clock skips (the hour that daylight saving
    // jumps over) is still that time, read as UTC so that it stays valid.
    const QDateTime utc = QDateTime::fromString(text + QLatin1Char('Z'), Qt::ISODateWithMs);
    return utc.isValid() ? utc : stamp;
}

QTime ParseTime(QString text) {
    CutFinerDigits(text);
    QTime time = QTime::fromString(text, Qt::ISODateWithMs);
    if (!time.isValid())
        time = ParseDateTime(text).time();
    return time;
}

QDate ParseDate(const QString& text) {
    QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    return date;
}

std::optional<bool> ParseBoolean(const QString& text) {
    const QString lower = text.trimmed().toLower();
    if (lower == QLatin1String("true") || lower == QLatin1String("t") ||
        lower == QLatin1String("yes") || lower == QLatin1String("1"))
        return true;
    if (lower == QLatin1String("false") || lower == QLatin1String("f") ||
        lower == QLatin1String("no") || lower == QLatin1String("0"))
        return false;
    return std::nullopt;
}

// An exact decimal ("-120.50") as numbers are shown: no trailing zeros after the separator,
// which is the locale's. Nothing for text that is no plain decimal (NaN, say).
std::optional<QString> DecimalText(const QString& text, const QString& decimalPoint) {
    const bool negative = text.startsWith(QLatin1Char('-'));
    const qsizetype start = negative || text.startsWith(QLatin1Char('+')) ? 1 : 0;
    const qsizetype point = text.indexOf(QLatin1Char('.'), start);
    QStringView whole = QStringView(text).sliced(start, (point < 0 ? text.size() : point) - start);
    QStringView fraction = point < 0 ? QStringView() : QStringView(text).sliced(point + 1);
    const auto digits = [](QStringView part) {
        return std::all_of(part.begin(), part.end(),
                           [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (whole.size() + fraction.size() == 0 || !digits(whole) || !digits(fraction))
        return std::nullopt;
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    const bool zero = fraction.isEmpty() && whole.count(QLatin1Char('0')) == whole.size();
    QString shown = negative && !zero ? QStringLiteral("-") : QString();
    shown += whole.isEmpty() ? QStringLiteral("0") : whole.toString();
    if (!fraction.isEmpty())
        shown += decimalPoint + fraction.toString();
    return shown;
}

QString BooleanText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

}  // namespace

QString CellText(const TRowStore& rows, qsizetype row, int column, TFieldType type) {
    return CellText(rows, row, column, type, TDateTimeFormat::System(),
                    QLocale::system().decimalPoint());
}

QString CellText(const TRowStore& rows, qsizetype row, int column, TFieldType type,
                 const TDateTimeFormat& dates, const QString& decimalPoint) {
    switch (rows.Kind(row, column)) {
        case TRowStore::CellKind::Null:
            return {};
        case TRowStore::CellKind::Integer:
            if (type == ftBoolean)
                return BooleanText(rows.Integer(row, column) != 0);
            return QString::number(rows.Integer(row, column));
        case TRowStore::CellKind::Float:
            if (type == ftBoolean)
                return BooleanText(rows.Float(row, column) != 0);
            return FloatToStr(rows.Float(row, column));
        case TRowStore::CellKind::Bytes:
        case TRowStore::CellKind::Text:
            break;
    }
    const QString text = StoredText(rows, row, column);
    QString cut = text;
    const QString finer = type == ftTime || type == ftDateTime ? CutFinerDigits(cut) : QString();
    switch (type) {
        case ftDate:
            if (const QDate date = ParseDate(text); date.isValid())
                return dates.Date(date);
            break;
        case ftTime:
            if (const QTime time = ParseTime(cut); time.isValid())
                return dates.Time(time, finer);
            break;
        case ftDateTime:
            if (const QDateTime stamp = ParseDateTime(cut); stamp.isValid())
                return dates.DateTime(stamp, finer);
            if (const QDate date = ParseDate(text); date.isValid() && text.size() == 10)
                return dates.Date(date);
            break;
        case ftBoolean:
            if (const auto value = ParseBoolean(text))
                return BooleanText(*value);
            break;
        case ftBCD:
            if (const auto decimal = DecimalText(text, decimalPoint))
                return *decimal;
            break;
        default:
            break;
    }
    return text;
}

QVariant CellValue(const TRowStore& rows, qsizetype row, int column, TFieldType type) {
    const TRowStore::CellKind kind = rows.Kind(row, column);
    if (kind == TRowStore::CellKind::Null)
        return {};
    if (type == ftBoolean) {
        if (kind == TRowStore::CellKind::Text) {
            if (const auto value = ParseBoolean(StoredText(rows, row, column)))
                return *value;
        } else if (kind != TRowStore::CellKind::Bytes) {
            return rows.Float(row, column) != 0;
        }
    }
    if (kind == TRowStore::CellKind::Text) {
        const QString text = StoredText(rows, row, column);
        switch (type) {
            case ftDate:
                if (const QDate date = ParseDate(text); date.isValid())
                    return date;
                break;
            case ftTime:
                if (const QTime time = ParseTime(text); time.isValid())
                    return time;
                break;
            case ftDateTime:
                if (const QDateTime stamp = ParseDateTime(text); stamp.isValid())
                    return stamp;
                if (const QDate date = ParseDate(text); date.isValid())
                    return QDateTime(date, QTime(0, 0));
                break;
            default:
                break;
        }
        return text;
    }
    return rows.Value(row, column);
}

QString CutFinerDigits(QString& text) {
    static const QRegularExpression fraction(QStringLiteral(R"(\d:\d\d[.,](\d{4,}))"));
    const QRegularExpressionMatch match = fraction.match(text);
    if (!match.hasMatch())
        return {};
    QString finer = match.captured(1).mid(3);
    text.remove(match.capturedStart(1) + 3, finer.size());
    while (finer.endsWith(QLatin1Char('0')))
        finer.chop(1);
    return finer;
}
