#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <cmath>
#include <ctime>
#include <limits>

#include "core/FloatText.h"
#include "db/dataset/CellTextWriter.h"
#include "db/dataset/DateTimeFormat.h"
#include "db/DeclaredType.h"
#include "db/dataset/FieldText.h"

namespace {

struct FloatCase {
    const char* name;
    double value;
    const char* text;
};

class FloatFieldText : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatFieldText, GivesGeneralFormatWith15Digits) {
    EXPECT_EQ(FloatToStr(GetParam().value).replace(QLocale::system().decimalPoint(), "."),
              QString::fromLatin1(GetParam().text));
    std::string appended = "x";
    AppendFloatText(appended, GetParam().value, ",");
    EXPECT_EQ(appended, "x" + QString::fromLatin1(GetParam().text).replace('.', ',').toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FloatFieldText,
    ::testing::Values(
        FloatCase{"WholeNumberHasNoDecimals", 3983.0, "3983"}, FloatCase{"Zero", 0.0, "0"},
        FloatCase{"NegativeZero", -0.0, "0"}, FloatCase{"TwoDecimals", 1234.56, "1234.56"},
        FloatCase{"Negative", -0.5, "-0.5"}, FloatCase{"RoundingNoiseDropped", 0.1 + 0.2, "0.3"},
        FloatCase{"FifteenDigitsKept", 123456789.012345, "123456789.012345"},
        FloatCase{"SixteenthDigitRounded", 1.0000000000000002, "1"},
        FloatCase{"ThirdRoundsAt15", 1.0 / 3.0, "0.333333333333333"},
        FloatCase{"SmallestFixed", 0.0001, "0.0001"},
        FloatCase{"LargestFixed", 123456789012345e0, "123456789012345"},
        FloatCase{"BeyondFixed", 1234567890123456e0, "1.23456789012346E15"},
        FloatCase{"LargeRound", 1e20, "1E20"}, FloatCase{"BelowSmallestFixed", 0.00005, "5E-5"},
        FloatCase{"NegativeScientific", -2.5e-7, "-2.5E-7"},
        FloatCase{"Infinity", std::numeric_limits<double>::infinity(), "INF"},
        FloatCase{"NotANumber", std::nan(""), "NAN"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DeclarationCase {
    const char* declared;
    TFieldType type;
    int size;
};

class DeclaredTypes : public ::testing::TestWithParam<DeclarationCase> {};

TEST_P(DeclaredTypes, MapToFieldTypeAndSize) {
    const TFieldDef def =
        FieldDefFromDeclaration(QStringLiteral("F"), QString::fromLatin1(GetParam().declared));
    EXPECT_EQ(def.Name, QStringLiteral("F"));
    EXPECT_EQ(def.DataType, GetParam().type) << GetParam().declared;
    EXPECT_EQ(def.Size, GetParam().size) << GetParam().declared;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeclaredTypes,
    ::testing::Values(
        DeclarationCase{"VARCHAR(50)", ftString, 50},
        DeclarationCase{"nvarchar ( 120 )", ftString, 120},
        DeclarationCase{"character varying(40)", ftString, 40},
        DeclarationCase{"character varying", ftMemo, 0}, DeclarationCase{"CHAR(5)", ftFixedChar, 5},
        DeclarationCase{"character(3)", ftFixedChar, 3}, DeclarationCase{"CHAR", ftFixedChar, 1},
        DeclarationCase{"TEXT", ftMemo, 0}, DeclarationCase{"clob", ftMemo, 0},
        DeclarationCase{"INTEGER", ftInteger, 0}, DeclarationCase{"int", ftInteger, 0},
        DeclarationCase{"BIGINT", ftLargeint, 0}, DeclarationCase{"int8", ftLargeint, 0},
        DeclarationCase{"SMALLINT", ftSmallint, 0}, DeclarationCase{"REAL", ftFloat, 0},
        DeclarationCase{"FLOAT", ftFloat, 0}, DeclarationCase{"double precision", ftFloat, 0},
        DeclarationCase{"NUMERIC(10,2)", ftBCD, 2}, DeclarationCase{"decimal(8, 3)", ftBCD, 3},
        DeclarationCase{"NUMERIC", ftBCD, 0}, DeclarationCase{"DATE", ftDate, 0},
        DeclarationCase{"TIME", ftTime, 0}, DeclarationCase{"DATETIME", ftDateTime, 0},
        DeclarationCase{"timestamp without time zone", ftDateTime, 0},
        DeclarationCase{"timestamp(3) with time zone", ftDateTime, 0},
        DeclarationCase{"BOOLEAN", ftBoolean, 0}, DeclarationCase{"BLOB", ftBlob, 0},
        DeclarationCase{"bytea", ftBlob, 0}, DeclarationCase{"UUID", ftGuid, 0},
        DeclarationCase{"GUID", ftGuid, 0}, DeclarationCase{"money", ftCurrency, 0},
        DeclarationCase{"integer[]", ftArray, 0},
        DeclarationCase{"UNSIGNED BIG INT", ftLargeint, 0},
        DeclarationCase{"MYINTEGER", ftInteger, 0},
        DeclarationCase{"NATIONAL VARYING CHARACTER(9)", ftString, 9},
        DeclarationCase{"SOMETHING ELSE", ftString, 0}, DeclarationCase{"", ftUnknown, 0}),
    [](const auto& info) {
        std::string name;
        for (const char* p = info.param.declared; *p; ++p)
            if (std::isalnum(static_cast<unsigned char>(*p)))
                name += *p;
        return name.empty() ? std::string("Empty") : name;
    });

// One row holding a value in each of the stored forms.
TRowStore OneRow(const QVariantList& values) {
    TRowStore rows;
    rows.Reset(int(values.size()));
    rows.AppendRow(values);
    return rows;
}

TEST(CellText, ShowsNullEmptyIntegersInDecimalAndFloatsByTheRule) {
    const TRowStore rows = OneRow({QVariant(), qlonglong(-42), 3983.0, QStringLiteral("a\tb\nc")});
    EXPECT_EQ(CellText(rows, 0, 0, ftString), QString());
    EXPECT_EQ(CellText(rows, 0, 1, ftInteger), QStringLiteral("-42"));
    EXPECT_EQ(CellText(rows, 0, 2, ftFloat), QStringLiteral("3983"));
    EXPECT_EQ(CellText(rows, 0, 3, ftMemo), QStringLiteral("a\tb\nc"));
}

// Exact decimals (PostgreSQL's numeric, read as text) keep every digit: only trailing zeros go,
// as they do for floats; the separator is the locale's.
TEST(CellText, ShowsExactDecimalsWithEveryDigit) {
    const QString point = QLocale::system().decimalPoint();
    const TRowStore rows = OneRow({QStringLiteral("12345678901234567890.0123456789"),
                                   QStringLiteral("120.50"), QStringLiteral("-0.00"),
                                   QStringLiteral("NaN"), QStringLiteral("9007199254740993")});
    EXPECT_EQ(CellText(rows, 0, 0, ftBCD), "12345678901234567890" + point + "0123456789");
    EXPECT_EQ(CellText(rows, 0, 1, ftBCD), "120" + point + "5");
    EXPECT_EQ(CellText(rows, 0, 2, ftBCD), QStringLiteral("0"));
    EXPECT_EQ(CellText(rows, 0, 3, ftBCD), QStringLiteral("NaN"));
    EXPECT_EQ(CellText(rows, 0, 4, ftBCD), QStringLiteral("9007199254740993"));
}

TEST(CellText, ShowsBooleansAsTrueAndFalse) {
    const TRowStore rows = OneRow({1, 0, QStringLiteral("t"), QStringLiteral("false"), 2.0});
    EXPECT_EQ(CellText(rows, 0, 0, ftBoolean), QStringLiteral("True"));
    EXPECT_EQ(CellText(rows, 0, 1, ftBoolean), QStringLiteral("False"));
    EXPECT_EQ(CellText(rows, 0, 2, ftBoolean), QStringLiteral("True"));
    EXPECT_EQ(CellText(rows, 0, 3, ftBoolean), QStringLiteral("False"));
    EXPECT_EQ(CellText(rows, 0, 4, ftBoolean), QStringLiteral("True"));
    EXPECT_EQ(CellValue(rows, 0, 1, ftBoolean), QVariant(false));
}

struct StampCase {
    const char* locale;
    const char* date;          // 1999-12-31
    const char* minutes;       // 13:45
    const char* seconds;       // 13:45:09
    const char* milliseconds;  // 13:45:09.250
};

// Each locale keeps its order and separators; the century and any seconds are never dropped.
class StampText : public ::testing::TestWithParam<StampCase> {};

TEST_P(StampText, KeepsEveryDigitInTheLocaleOrder) {
    const StampCase& c = GetParam();
    const TDateTimeFormat format{QLocale(QString::fromLatin1(c.locale))};
    const QDate date(1999, 12, 31);
    EXPECT_EQ(format.Date(date), QString::fromUtf8(c.date));
    EXPECT_EQ(format.Time(QTime(13, 45)), QString::fromUtf8(c.minutes));
    EXPECT_EQ(format.Time(QTime(13, 45, 9)), QString::fromUtf8(c.seconds));
    EXPECT_EQ(format.Time(QTime(13, 45, 9, 250)), QString::fromUtf8(c.milliseconds));
    EXPECT_EQ(format.DateTime(QDateTime(date, QTime(13, 45, 9))),
              QString::fromUtf8(c.date) + ' ' + QString::fromUtf8(c.seconds));
    EXPECT_EQ(format.DateTime(QDateTime(date, QTime(0, 0))), QString::fromUtf8(c.date));
    EXPECT_EQ(format.Date(QDate(2024, 1, 2)).count(QStringLiteral("2024")), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, StampText,
    ::testing::Values(StampCase{"en_US", "12/31/1999", "1:45 PM", "1:45:09 PM", "1:45:09.250 PM"},
                      StampCase{"en_GB", "31/12/1999", "13:45", "13:45:09", "13:45:09.250"},
                      StampCase{"de_DE", "31.12.1999", "13:45", "13:45:09", "13:45:09,250"},
                      StampCase{"fi_FI", "31.12.1999", "13.45", "13.45.09", "13.45.09,250"},
                      StampCase{"ja_JP", "1999/12/31", "13:45", "13:45:09", "13:45:09.250"},
                      // Its short time shows seconds already: they are not added twice.
                      StampCase{"C", "31 Dec 1999", "13:45:00", "13:45:09", "13:45:09.250"}),
    [](const auto& info) { return std::string(info.param.locale); });

// Digits finer than milliseconds follow them, in each locale's way of writing seconds.
TEST(StampTextFiner, WritesMicrosecondsAfterTheMilliseconds) {
    for (const auto& [locale, shown] : {std::pair{"en_US", "1:45:09.250001 PM"},
                                        std::pair{"de_DE", "13:45:09,250001"},
                                        std::pair{"fi_FI", "13.45.09,250001"}})
        EXPECT_EQ(TDateTimeFormat(QLocale(QString::fromLatin1(locale)))
                      .Time(QTime(13, 45, 9, 250), QStringLiteral("001")),
                  QString::fromUtf8(shown))
            << locale;
}

TEST(CellText, ShowsIsoDatesAndTimesByTheSystemLocaleWithoutLosingDigits) {
    const TDateTimeFormat& format = TDateTimeFormat::System();
    const QDate date(2009, 1, 3);
    const QTime time(14, 5, 9);
    const TRowStore rows =
        OneRow({QStringLiteral("2009-01-03"), QStringLiteral("14:05:09"),
                QStringLiteral("2009-01-03 14:05:09"), QStringLiteral("2009-01-03T14:05:09.250"),
                QStringLiteral("not a date"), QStringLiteral("2009-01-03 00:00:00")});
    EXPECT_EQ(CellText(rows, 0, 0, ftDate), format.Date(date));
    EXPECT_TRUE(CellText(rows, 0, 0, ftDate).contains(QStringLiteral("2009")));
    EXPECT_EQ(CellText(rows, 0, 1, ftTime), format.Time(time));
    EXPECT_TRUE(CellText(rows, 0, 1, ftTime).contains(QStringLiteral("09")));
    EXPECT_EQ(CellText(rows, 0, 2, ftDateTime), format.DateTime(QDateTime(date, time)));
    EXPECT_EQ(CellText(rows, 0, 3, ftDateTime),
              format.DateTime(QDateTime(date, time.addMSecs(250))));
    EXPECT_EQ(CellText(rows, 0, 4, ftDate), QStringLiteral("not a date"));
    EXPECT_EQ(CellText(rows, 0, 5, ftDateTime), format.Date(date));
    EXPECT_EQ(CellValue(rows, 0, 0, ftDate), QVariant(date));
    EXPECT_EQ(CellValue(rows, 0, 2, ftDateTime).toDateTime(), QDateTime(date, time));
}

// The hour that daylight saving skips is still a time a database holds: stored, shown and
// edited as it was, whatever the local clock does at that hour.
TEST(CellText, KeepsATimeTheLocalClockSkips) {
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const QDate date(2024, 3, 31);
    const QTime time(2, 30);
    TRowStore rows;
    rows.Reset(2);
    rows.BeginRow();
    rows.AddValue(QDateTime(date, time));
    rows.AddText("2024-03-31 02:30:00");
    rows.EndRow();
    const TDateTimeFormat& format = TDateTimeFormat::System();
    const QString shown = format.Date(date) + QLatin1Char(' ') + format.Time(time);
    for (int column = 0; column < 2; ++column) {
        EXPECT_EQ(CellText(rows, 0, column, ftDateTime), shown) << column;
        EXPECT_EQ(CellValue(rows, 0, column, ftDateTime).toDateTime().time(), time) << column;
    }
    if (zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
    tzset();
}

// The grid save writes cells through the quick writer: it must give CellText's text, byte for
// byte, whatever the cell holds.
TEST(CellText, QuickWriterGivesTheSameText) {
    const std::pair<QVariant, TFieldType> cells[] = {
        {QVariant(), ftString},
        {qlonglong(-9007199254740993), ftLargeint},
        {1, ftBoolean},
        {0.0, ftBoolean},
        {3983.0, ftFloat},
        {-2.5e-7, ftFloat},
        {QStringLiteral("plain"), ftMemo},
        {QStringLiteral("B\u00fccher \u20ac\t\r\n"), ftString},
        {QStringLiteral("2009-01-03 14:05:09"), ftDateTime},
        {QStringLiteral("t"), ftBoolean},
        {QStringLiteral("12345678901234567890.0123456789"), ftBCD},
        {QStringLiteral("12:00:00.500001"), ftTime},
        {QByteArray("\x01\xff\x00z", 4), ftBlob},
    };
    QVariantList values;
    for (const auto& cell : cells)
        values << cell.first;
    const TRowStore rows = OneRow(values);
    const TCellTextWriter writer;
    for (int column = 0; column < int(std::size(cells)); ++column) {
        std::string text;
        writer.Append(text, rows, 0, column, cells[column].second);
        EXPECT_EQ(text, CellText(rows, 0, column, cells[column].second).toStdString())
            << "cell " << column;
    }
}

}  // namespace
