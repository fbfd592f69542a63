#include <gtest/gtest.h>

#include "ColumnLayout.h"
#include "LocaleText.h"

namespace {
struct ItemCase {
    const char* name;
    const char* item;
    TAlignment alignment;
    long double width;
};

class ParseLayoutItemTable : public ::testing::TestWithParam<ItemCase> {};

TEST_P(ParseLayoutItemTable, GivesAlignmentAndWidth) {
    const TLayoutItem item = ParseLayoutItem(Dec(GetParam().item), 25);
    EXPECT_EQ(item.alignment, GetParam().alignment);
    EXPECT_EQ(item.width, GetParam().width);
}

INSTANTIATE_TEST_SUITE_P(
    Items, ParseLayoutItemTable,
    ::testing::Values(
        ItemCase{"WidthOnly", "30", taLeftJustify, 30}, ItemCase{"Left", "<12", taLeftJustify, 12},
        ItemCase{"Right", ">12.5", taRightJustify, 12.5L}, ItemCase{"Centre", "^7", taCenter, 7},
        ItemCase{"Empty", "", taLeftJustify, 25}, ItemCase{"LoneRight", ">", taRightJustify, 25},
        ItemCase{"LoneCentre", "^", taCenter, 25}, ItemCase{"Unreadable", "^abc", taCenter, 25},
        ItemCase{"NegativeWidth", "<-20", taLeftJustify, -20},
        ItemCase{"OtherFirstCharacter", "x5", taLeftJustify, 25}),
    [](const auto& info) { return std::string(info.param.name); });

struct NormalizeCase {
    const char* name;
    const char* text;
    std::optional<TMeasureUnit> convertTo;
    const char* normalized;
};

class NormalizeLayoutTable : public ::testing::TestWithParam<NormalizeCase> {};

TEST_P(NormalizeLayoutTable, WritesEveryItemExplicitly) {
    EXPECT_EQ(NormalizeLayout(Dec(GetParam().text), QLatin1Char('|'), 25, GetParam().convertTo),
              Dec(GetParam().normalized));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, NormalizeLayoutTable,
    ::testing::Values(NormalizeCase{"Width", "30", std::nullopt, "<30"},
                      NormalizeCase{"LoneAlignment", ">", std::nullopt, ">25"},
                      NormalizeCase{"LoneSeparator", "|", std::nullopt, "<25|<25"},
                      NormalizeCase{"Unreadable", "^abc", std::nullopt, "^25"},
                      NormalizeCase{"Empty", "", std::nullopt, ""},
                      NormalizeCase{"Mixed", "25|^|", std::nullopt, "<25|^25|<25"},
                      NormalizeCase{"ToInches", "<25|^25|>25", muInches,
                                    "<0.984251968503937|^0.984251968503937|>0.984251968503937"},
                      NormalizeCase{"BackToMillimetres", "<0.984251968503937|>1", muMillimeters,
                                    "<25|>25.4"},
                      NormalizeCase{"NegativeKeepsSign", "<-10", std::nullopt, "<-10"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AlignmentChar, UnknownAlignmentsAreLeft) {
    EXPECT_EQ(AlignmentChar(taLeftJustify), QLatin1Char('<'));
    EXPECT_EQ(AlignmentChar(taRightJustify), QLatin1Char('>'));
    EXPECT_EQ(AlignmentChar(taCenter), QLatin1Char('^'));
    EXPECT_EQ(AlignmentChar(7), QLatin1Char('<'));
}
}  // namespace
