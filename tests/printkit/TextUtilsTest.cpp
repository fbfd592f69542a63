#include <gtest/gtest.h>

#include <limits>

#include "LocaleText.h"
#include "TextUtils.h"

namespace {
struct SplitCase {
    const char* name;
    const char* text;
    QStringList pieces;
};

class SplitByCharTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitByCharTable, EveryBarEndsAPiece) {
    EXPECT_EQ(SplitByChar(QString::fromUtf8(GetParam().text), QLatin1Char('|')), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(Texts, SplitByCharTable,
                         ::testing::Values(SplitCase{"Empty", "", {""}},
                                           SplitCase{"NoSeparator", "abc", {"abc"}},
                                           SplitCase{"ThreeCells", "a|b|c", {"a", "b", "c"}},
                                           SplitCase{"TrailingSeparator", "a|", {"a", ""}},
                                           SplitCase{"LeadingSeparator", "|a", {"", "a"}},
                                           SplitCase{"OnlySeparators", "||", {"", "", ""}},
                                           SplitCase{"BlanksKept", " a | b ", {" a ", " b "}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ReplaceCase {
    const char* name;
    const char* pattern;
    const char* replacement;
    const char* text;
    const char* result;
};

class ReplaceAllTable : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceAllTable, ReplacesLeftToRightWithoutRescanning) {
    const ReplaceCase& c = GetParam();
    EXPECT_EQ(ReplaceAll(QString::fromUtf8(c.pattern), QString::fromUtf8(c.replacement),
                         QString::fromUtf8(c.text)),
              QString::fromUtf8(c.result));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReplaceAllTable,
    ::testing::Values(ReplaceCase{"Every", "{$PAGE}", "2", "{$PAGE}/{$PAGE}", "2/2"},
                      ReplaceCase{"CaseSensitive", "ab", "X", "ab AB aB", "X AB aB"},
                      ReplaceCase{"ReplacementNotSearchedAgain", "a", "aa", "aXa", "aaXaa"},
                      ReplaceCase{"Overlapping", "aa", "b", "aaa", "ba"},
                      ReplaceCase{"Missing", "x", "y", "abc", "abc"},
                      ReplaceCase{"EmptyPattern", "", "y", "abc", "abc"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TrimToLastBlank, KeepsTextUpToAndIncludingTheLastControlOrBlank) {
    EXPECT_EQ(TrimToLastBlank(QStringLiteral("hello wor")), QStringLiteral("hello "));
    EXPECT_EQ(TrimToLastBlank(QStringLiteral("a b\tc")), QStringLiteral("a b\t"));
    EXPECT_EQ(TrimToLastBlank(QStringLiteral("a\nb")), QStringLiteral("a\n"));
    EXPECT_EQ(TrimToLastBlank(QStringLiteral("word")), QStringLiteral("word"));
    EXPECT_EQ(TrimToLastBlank(QString()), QString());
}

struct FloatCase {
    const char* name;
    long double value;
    const char* text;
};

class FloatToStrTable : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatToStrTable, GeneralFormatWithFifteenDigits) {
    EXPECT_EQ(FloatToStr(GetParam().value), Dec(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, FloatToStrTable,
    ::testing::Values(FloatCase{"Integer", 25, "25"}, FloatCase{"Zero", 0, "0"},
                      FloatCase{"Negative", -25, "-25"}, FloatCase{"Fraction", 1.5L, "1.5"},
                      FloatCase{"InchesOf25mm", 25 / 25.4L, "0.984251968503937"},
                      FloatCase{"InchesOf1p5mm", 1.5L / 25.4L, "0.0590551181102362"},
                      FloatCase{"BackToMillimetres", (25 / 25.4L) * 25.4L, "25"},
                      FloatCase{"FifteenDigitsBeforePoint", 123456789012345.0L, "123456789012345"},
                      FloatCase{"SixteenDigitsBeforePoint", 1234567890123456.0L,
                                "1.23456789012346E15"},
                      FloatCase{"SmallFixed", 0.0001L, "0.0001"},
                      FloatCase{"SmallScientific", 0.00001L, "1E-5"},
                      FloatCase{"Tiny", 1.5e-7L, "1.5E-7"}, FloatCase{"Huge", 1e20L, "1E20"},
                      FloatCase{"RoundsAtFifteen", 2.00000000000000049L, "2"},
                      FloatCase{"TwentyPercentOf160", 160 * 0.2L, "32"},
                      FloatCase{"SixtyPercentOf160", 160 * 0.6L, "96"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ParseCase {
    const char* name;
    const char* text;
    bool valid;
    long double value;
};

class StrToFloatTable : public ::testing::TestWithParam<ParseCase> {};

TEST_P(StrToFloatTable, ReadsThePlatformSyntax) {
    const auto parsed = StrToFloat(Dec(GetParam().text));
    ASSERT_EQ(parsed.has_value(), GetParam().valid);
    if (parsed) {
        EXPECT_EQ(*parsed, GetParam().value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrToFloatTable,
    ::testing::Values(
        ParseCase{"Integer", "25", true, 25}, ParseCase{"Fraction", "0.5", true, 0.5L},
        ParseCase{"Blanks", " 12 ", true, 12}, ParseCase{"Signs", "-3", true, -3},
        ParseCase{"Plus", "+3", true, 3}, ParseCase{"LeadingPoint", ".5", true, 0.5L},
        ParseCase{"Exponent", "1.5E2", true, 150},
        ParseCase{"NegativeExponent", "15e-1", true, 1.5L}, ParseCase{"Empty", "", false, 0},
        ParseCase{"Letters", "abc", false, 0}, ParseCase{"Unit", "25mm", false, 0},
        ParseCase{"DanglingExponent", "1E", false, 0}, ParseCase{"Infinity", "inf", false, 0},
        ParseCase{"TwoPoints", "1.2.3", false, 0}, ParseCase{"OnlySign", "-", false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RoundToInt, HalfwayGoesToTheEvenNeighbour) {
    EXPECT_EQ(RoundToInt(0.5L), 0);
    EXPECT_EQ(RoundToInt(1.5L), 2);
    EXPECT_EQ(RoundToInt(2.5L), 2);
    EXPECT_EQ(RoundToInt(-2.5L), -2);
    EXPECT_EQ(RoundToInt(295.27L), 295);
    EXPECT_FALSE(RoundToInt(1e12L).has_value());
    EXPECT_FALSE(RoundToInt(std::numeric_limits<long double>::quiet_NaN()).has_value());
}
}  // namespace
