#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QTime>

#include "core/Exception.h"
#include "db/dataset/FieldEdit.h"
#include "db/dataset/FieldText.h"

namespace {

struct TypedCase {
    const char* name;
    TFieldType type;
    const char* text;
    QVariant value;  // invalid: the text is refused
};

class TypedText : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedText, BecomesAValueOfTheFieldsType) {
    const TFieldDef def{QStringLiteral("F"), GetParam().type, 0};
    const QString text = QString::fromUtf8(GetParam().text);
    if (!GetParam().value.isValid()) {
        try {
            FieldValueFromText(text, def);
            FAIL() << "accepted " << GetParam().text;
        } catch (const EConvertError& error) {
            EXPECT_TRUE(error.Message().startsWith(QLatin1Char('\'') + text + QLatin1Char('\'')));
            EXPECT_TRUE(error.Message().endsWith(QStringLiteral(" for field 'F'")));
        }
        return;
    }
    const QVariant value = FieldValueFromText(text, def);
    EXPECT_EQ(value.metaType(), GetParam().value.metaType()) << value.metaType().name();
    EXPECT_EQ(value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedText,
    ::testing::Values(
        TypedCase{"Integer", ftInteger, " 42 ", QVariant(qlonglong(42))},
        TypedCase{"LargeInteger", ftLargeint, "-9000000000", QVariant(qlonglong(-9000000000))},
        TypedCase{"IntegerWithLetters", ftInteger, "12abc", QVariant()},
        TypedCase{"IntegerWithDecimals", ftSmallint, "1.5", QVariant()},
        TypedCase{"Float", ftFloat, "2.75", QVariant(2.75)},
        TypedCase{"FloatNotANumber", ftFloat, "two", QVariant()},
        TypedCase{"DecimalKeptExact", ftBCD, "12.345678901234567",
                  QVariant(QStringLiteral("12.345678901234567"))},
        TypedCase{"BooleanWords", ftBoolean, "False", QVariant(false)},
        TypedCase{"BooleanDigit", ftBoolean, "1", QVariant(true)},
        TypedCase{"BooleanNonsense", ftBoolean, "maybe", QVariant()},
        TypedCase{"IsoDate", ftDate, "2024-02-29", QVariant(QDate(2024, 2, 29))},
        TypedCase{"NoSuchDate", ftDate, "2023-02-29", QVariant()},
        TypedCase{"IsoTime", ftTime, "13:05:09", QVariant(QTime(13, 5, 9))},
        TypedCase{"DateTimeWithBlank", ftDateTime, "2009-01-01 10:30:00",
                  QVariant(QDateTime(QDate(2009, 1, 1), QTime(10, 30)))},
        TypedCase{"DateTimeFromDateAlone", ftDateTime, "2009-01-01",
                  QVariant(QDateTime(QDate(2009, 1, 1), QTime(0, 0)))},
        TypedCase{"DecimalBeyondDoubles", ftBCD, "12345678901234567890.0123456789",
                  QVariant(QStringLiteral("12345678901234567890.0123456789"))},
        TypedCase{"TimeInMicroseconds", ftTime, "10:20:30.999600",
                  QVariant(QStringLiteral("10:20:30.9996"))},
        TypedCase{"DateTimeInMicroseconds", ftDateTime, "2024-01-31T10:20:30.123456",
                  QVariant(QStringLiteral("2024-01-31 10:20:30.123456"))},
        TypedCase{"TextAsTyped", ftString, " spaced ", QVariant(QStringLiteral(" spaced "))},
        TypedCase{"MemoWithLineBreaks", ftMemo, "a\nb", QVariant(QStringLiteral("a\nb"))},
        TypedCase{"QuotesStayText", ftString, "O'Brien\"; DROP TABLE t; --",
                  QVariant(QStringLiteral("O'Brien\"; DROP TABLE t; --"))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TypedTextEmpty, IsNullForEveryType) {
    for (const TFieldType type : {ftString, ftMemo, ftInteger, ftFloat, ftDate, ftBoolean})
        EXPECT_TRUE(FieldValueFromText(QString(), TFieldDef{QStringLiteral("F"), type, 0}).isNull())
            << type;
}

TEST(CellEditTextRule, WritesDatesTheIsoWaySoTheyComeBackWhole) {
    TRowStore rows;
    rows.Reset(4);
    rows.AppendRow({QStringLiteral("2009-01-01 10:30:15"), QStringLiteral("2024-02-29"),
                    QStringLiteral("07:08:09.250"), 2.5});
    EXPECT_EQ(CellEditText(rows, 0, 0, ftDateTime), QStringLiteral("2009-01-01 10:30:15"));
    EXPECT_EQ(CellEditText(rows, 0, 1, ftDate), QStringLiteral("2024-02-29"));
    EXPECT_EQ(CellEditText(rows, 0, 2, ftTime), QStringLiteral("07:08:09.250"));
    EXPECT_EQ(FieldValueFromText(CellEditText(rows, 0, 0, ftDateTime),
                                 TFieldDef{QStringLiteral("F"), ftDateTime, 0}),
              QVariant(QDateTime(QDate(2009, 1, 1), QTime(10, 30, 15))));
    EXPECT_EQ(CellEditText(rows, 0, 3, ftFloat), CellText(rows, 0, 3, ftFloat));
}

// A time finer than milliseconds is edited with all its digits, so that leaving it as it was
// changes nothing.
TEST(CellEditTextRule, KeepsEveryDigitOfAFractionOfASecond) {
    TRowStore rows;
    rows.Reset(2);
    rows.AppendRow({QStringLiteral("2024-01-31 10:20:30.000456"), QStringLiteral("23:59:59.9996")});
    EXPECT_EQ(CellEditText(rows, 0, 0, ftDateTime), QStringLiteral("2024-01-31 10:20:30.000456"));
    EXPECT_EQ(CellEditText(rows, 0, 1, ftTime), QStringLiteral("23:59:59.9996"));
}

}  // namespace
