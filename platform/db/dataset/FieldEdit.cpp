#include "db/dataset/FieldEdit.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>
#include <optional>

#include "core/Exception.h"
#include "db/dataset/FieldText.h"

namespace {

QString TimeText(const QTime& time, const QString& finer) {
    if (!finer.isEmpty())
        return time.toString(QStringLiteral("HH:mm:ss.zzz")) + finer;
    return time.toString(time.msec() ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
}

// Typed "12345678901234567890,5" in a locale that writes it so: "12345678901234567890.5".
std::optional<QString> PlainDecimal(QString text) {
    static const QRegularExpression decimal(QStringLiteral(R"(^[-+]?(\d+\.?\d*|\.\d+)$)"));
    const QString separator = QLocale::system().decimalPoint();
    if (!text.contains(QLatin1Char('.')) && separator != QLatin1String("."))
        text.replace(separator, QLatin1String("."));
    if (!decimal.match(text).hasMatch())
        return std::nullopt;
    return text;
}

[[noreturn]] void Refuse(const QString& text, const char* kind, const TFieldDef& def) {
    throw EConvertError(QStringLiteral("'%1' is not a valid %2 for field '%3'")
                            .arg(text, QLatin1String(kind), def.Name));
}

QDate ReadDate(const QString& text) {
    const QLocale locale = QLocale::system();
    for (const QDate date :
         {QDate::fromString(text, Qt::ISODate), locale.toDate(text, QLocale::ShortFormat),
          locale.toDate(text, QLocale::LongFormat)})
        if (date.isValid())
            return date;
    return {};
}

QTime ReadTime(const QString& text) {
    const QLocale locale = QLocale::system();
    for (const QTime time :
         {QTime::fromString(text, Qt::ISODateWithMs), locale.toTime(text, QLocale::ShortFormat),
          locale.toTime(text, QLocale::LongFormat)})
        if (time.isValid())
            return time;
    return {};
}

QDateTime ReadDateTime(QString text) {
    if (text.size() > 10 && text[10] == QLatin1Char(' '))
        text[10] = QLatin1Char('T');
    const QLocale locale = QLocale::system();
    for (const QDateTime& stamp : {QDateTime::fromString(text, Qt::ISODateWithMs),
                                   locale.toDateTime(text, QLocale::ShortFormat),
                                   locale.toDateTime(text, QLocale::LongFormat)})
        if (stamp.isValid())
            return stamp;
    if (const QDate date = ReadDate(text); date.isValid())
        return QDateTime(date, QTime(0, 0));
    return {};
}

std::optional<double> ReadNumber(const QString& text) {
    bool ok = false;
    double value = QLocale::c().toDouble(text, &ok);
    if (!ok)
        value = QLocale::system().toDouble(text, &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

}  // namespace

QString CellEditText(const TRowStore& rows, qsizetype row, int column, TFieldType type) {
    const QVariant value = CellValue(rows, row, column, type);
    QString finer;
    if ((type == ftTime || type == ftDateTime) &&
        rows.Kind(row, column) == TRowStore::CellKind::Text) {
        const std::string_view raw = rows.Raw(row, column);
        QString stored = QString::fromUtf8(raw.data(), qsizetype(raw.size()));
        finer = CutFinerDigits(stored);
    }
    const QString text = SqlDateTimeText(value, finer);
    return text.isEmpty() ? CellText(rows, row, column, type) : text;
}

QString SqlDateTimeText(const QVariant& value, const QString& finer) {
    switch (value.metaType().id()) {
        case QMetaType::QDate:
            return value.toDate().toString(Qt::ISODate);
        case QMetaType::QTime:
            return TimeText(value.toTime(), finer);
        case QMetaType::QDateTime: {
            const QDateTime stamp = value.toDateTime();
            return stamp.date().toString(Qt::ISODate) + QLatin1Char(' ') +
                   TimeText(stamp.time(), finer);
        }
        default:
            return {};
    }
}

QVariant FieldValueFromText(const QString& text, const TFieldDef& def) {
    if (text.isEmpty())
        return {};
    const QString trimmed = text.trimmed();
    switch (def.DataType) {
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftAutoInc:
        case ftLargeint: {
            bool ok = false;
            const qlonglong value = trimmed.toLongLong(&ok);
            if (!ok)
                Refuse(text, "integer value", def);
            return value;
        }
        case ftFloat:
        case ftCurrency:
            if (const auto value = ReadNumber(trimmed))
                return *value;
            Refuse(text, "floating point value", def);
        case ftBCD: {
            // Exact decimals go to the database as text, in the form SQL reads.
            if (const auto plain = PlainDecimal(trimmed))
                return *plain;
            const auto value = ReadNumber(trimmed);
            if (!value)
                Refuse(text, "floating point value", def);
            bool plain = false;
            QLocale::c().toDouble(trimmed, &plain);
            return plain ? trimmed : QLocale::c().toString(*value, 'g', 17);
        }
        case ftBoolean: {
            const QString lower = trimmed.toLower();
            for (const char* yes : {"true", "t", "yes", "y", "1"})
                if (lower == QLatin1String(yes))
                    return true;
            for (const char* no : {"false", "f", "no", "n", "0"})
                if (lower == QLatin1String(no))
                    return false;
            Refuse(text, "boolean value", def);
        }
        case ftDate:
            if (const QDate date = ReadDate(trimmed); date.isValid())
                return date;
            Refuse(text, "date", def);
        case ftTime: {
            QString cut = trimmed;
            const QString finer = CutFinerDigits(cut);
            if (const QTime time = ReadTime(cut); time.isValid())
                return finer.isEmpty() ? QVariant(time) : QVariant(TimeText(time, finer));
            Refuse(text, "time", def);
        }
        case ftDateTime: {
            QString cut = trimmed;
            const QString finer = CutFinerDigits(cut);
            if (const QDateTime stamp = ReadDateTime(cut); stamp.isValid())
                return finer.isEmpty() ? QVariant(stamp) : QVariant(SqlDateTimeText(stamp, finer));
            Refuse(text, "date and time", def);
        }
        default:
            return text;
    }
}
