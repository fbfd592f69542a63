#include <gtest/gtest.h>

#include <QStringList>

#include "TextFit.h"

namespace {
// Every character 10 pixels wide, so that widths read as character counts.
int TenPerCharacter(QStringView text) {
    return int(text.size()) * 10;
}

struct FitCase {
    const char* name;
    const char* text;
    int width;
    const char* fitted;
};

class FitTextTable : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitTextTable, LongestFittingPrefixOfAtLeastOneCharacter) {
    EXPECT_EQ(FitText(QString::fromUtf8(GetParam().text), GetParam().width, TenPerCharacter),
              QString::fromUtf8(GetParam().fitted));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FitTextTable,
    ::testing::Values(FitCase{"Fits", "abc", 30, "abc"}, FitCase{"Wider", "abcdef", 35, "abc"},
                      FitCase{"ExactFit", "abcdef", 40, "abcd"},
                      FitCase{"ZeroWidth", "abc", 0, "a"},
                      FitCase{"NarrowerThanOne", "abc", 5, "a"}, FitCase{"Empty", "", 0, ""},
                      FitCase{"LongText", "abcdefghijklmnopqrstuvwxyz", 170, "abcdefghijklmnopq"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FitText, NeverSplitsASurrogatePair) {
    const QString text = QString::fromUtf8(
        "a\xF0\x9F\x98\x80"
        "b");
    EXPECT_EQ(FitText(text, 20, TenPerCharacter), QStringLiteral("a"));
    EXPECT_EQ(FitText(text.mid(1), 0, TenPerCharacter), text.mid(1, 2));
}

struct WrapCase {
    const char* name;
    const char* text;
    int width;
    QStringList pieces;
};

class TakeWrappedPartTable : public ::testing::TestWithParam<WrapCase> {};

TEST_P(TakeWrappedPartTable, BreaksAfterBlanksAndAlwaysProgresses) {
    QString rest = QString::fromUtf8(GetParam().text);
    QStringList pieces;
    while (!rest.isEmpty()) {
        QString part;
        TakeWrappedPart(part, rest, GetParam().width, TenPerCharacter);
        pieces << part;
        ASSERT_LE(pieces.size(), 100);
    }
    EXPECT_EQ(pieces, GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TakeWrappedPartTable,
    ::testing::Values(
        WrapCase{"Fits", "abc", 50, {"abc"}},
        WrapCase{"BreakInsideWordGoesBackToBlank", "hello world", 80, {"hello ", "world"}},
        WrapCase{
            "BreakAtBlankKeepsTheBlankForTheNextLine", "hello world", 50, {"hello", " ", "world"}},
        WrapCase{"LongWordIsCut", "abcdefgh", 30, {"abc", "def", "gh"}},
        WrapCase{"ZeroWidthOneCharacterEach", "ab c", 0, {"a", "b", " ", "c"}},
        WrapCase{"ControlCharacterIsABreak", "ab\ncd", 20, {"ab", "\n", "cd"}}),
    [](const auto& info) { return std::string(info.param.name); });
}  // namespace
