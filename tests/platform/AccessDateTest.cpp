#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "db/access/MdbDate.h"
#include "db/access/MdbHeader.h"

namespace {

struct OleDateCase {
    double oleDate;
    const char* iso;
};

class OleDateText : public ::testing::TestWithParam<OleDateCase> {};

TEST_P(OleDateText, IsIsoTextWithTimeOfDayFromTheFraction) {
    EXPECT_EQ(OleDateToIsoText(GetParam().oleDate), QString::fromUtf8(GetParam().iso));
}

INSTANTIATE_TEST_SUITE_P(
    Values, OleDateText,
    ::testing::Values(OleDateCase{0.0, "1899-12-30T00:00:00"},
                      OleDateCase{1.5, "1899-12-31T12:00:00"},
                      OleDateCase{-1.25, "1899-12-29T06:00:00"},  // the fraction stays positive
                      OleDateCase{-1.9999999999, "1899-12-30T00:00:00"},
                      OleDateCase{34654.0, "1994-11-16T00:00:00"},
                      OleDateCase{35000.75 + 1.0 / 86400000.0, "1995-10-28T18:00:00.001"},
                      OleDateCase{2958465.0, "9999-12-31T00:00:00"},
                      OleDateCase{-657434.0, "0100-01-01T00:00:00"}, OleDateCase{3e9, ""},
                      OleDateCase{std::numeric_limits<double>::quiet_NaN(), ""}));

struct LiteralCase {
    const char* text;
    double linearDays;  // NaN: not a date
};

class DateLiterals : public ::testing::TestWithParam<LiteralCase> {};

TEST_P(DateLiterals, ParseToLinearDays) {
    const auto days = ParseDateLiteral(QString::fromUtf8(GetParam().text));
    if (std::isnan(GetParam().linearDays)) {
        EXPECT_FALSE(days.has_value()) << GetParam().text;
    } else {
        ASSERT_TRUE(days.has_value()) << GetParam().text;
        EXPECT_DOUBLE_EQ(*days, GetParam().linearDays);
    }
}

const double kNotADate = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Texts, DateLiterals,
    ::testing::Values(LiteralCase{"1994-11-16", 34654.0}, LiteralCase{"1994-11-16 18:00", 34654.75},
                      LiteralCase{"1994-11-16T06:00:00", 34654.25},
                      LiteralCase{"11/16/1994", 34654.0}, LiteralCase{" 11/16/94 ", 34654.0},
                      LiteralCase{"1/1/29", 47119.0},  // 2029
                      LiteralCase{"1899-12-29 06:00", -0.75}, LiteralCase{"1994-02-30", kNotADate},
                      LiteralCase{"16.11.1994", kNotADate},
                      LiteralCase{"1994-11-16 25:00", kNotADate}, LiteralCase{"", kNotADate}));

TEST(OleDateOrder, LinearDaysOrderLikeTheDates) {
    EXPECT_LT(OleDateToLinearDays(-1.0), OleDateToLinearDays(-1.25));  // 00:00 before 06:00
    EXPECT_LT(OleDateToLinearDays(-1.25), OleDateToLinearDays(0.0));
    EXPECT_DOUBLE_EQ(OleDateToLinearDays(2.5), 2.5);
}

TEST(JetHeader, RecognisesJetAndAceFilesOnly) {
    const QByteArray jet("\0\1\0\0Standard Jet DB\0\1\0\0", 23);
    const QByteArray ace("\0\1\0\0Standard ACE DB\0\2\0\0", 23);
    EXPECT_TRUE(IsJetHeader(jet));
    EXPECT_TRUE(IsJetHeader(ace));
    EXPECT_FALSE(IsJetHeader(jet.left(12)));
    EXPECT_FALSE(IsJetHeader(QByteArray("SQLite format 3\0\0\0\0\0", 20)));
    EXPECT_FALSE(IsJetHeader(QByteArray("Standard Jet DB is what this text says")));
}

}  // namespace
