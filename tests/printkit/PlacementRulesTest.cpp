#include <gtest/gtest.h>

#include "PlacementRules.h"

namespace {
struct ResolutionCase {
    int dpi;
    int inset;
    int pen;
};

class ResolutionRules : public ::testing::TestWithParam<ResolutionCase> {};

TEST_P(ResolutionRules, ScaleInWholeStepsOf300Dpi) {
    EXPECT_EQ(CellInset(GetParam().dpi), GetParam().inset);
    EXPECT_EQ(LinePenWidth(GetParam().dpi), GetParam().pen);
}

INSTANTIATE_TEST_SUITE_P(Printers, ResolutionRules,
                         ::testing::Values(ResolutionCase{150, 0, 0}, ResolutionCase{299, 0, 0},
                                           ResolutionCase{300, 6, 2}, ResolutionCase{600, 12, 4},
                                           ResolutionCase{720, 12, 4}, ResolutionCase{1200, 24, 8}),
                         [](const auto& info) { return "Dpi" + std::to_string(info.param.dpi); });

struct OffsetCase {
    const char* name;
    TAlignment alignment;
    int column, text, inset, offset;
};

class CellOffsetTable : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(CellOffsetTable, PlacesTextInsideItsColumn) {
    const OffsetCase& c = GetParam();
    EXPECT_EQ(CellOffset(c.alignment, c.column, c.text, c.inset), c.offset);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, CellOffsetTable,
    ::testing::Values(OffsetCase{"LeftWithInset", taLeftJustify, 300, 100, 6, 6},
                      OffsetCase{"RightWithInset", taRightJustify, 300, 100, 6, 194},
                      OffsetCase{"CentreNeverMoves", taCenter, 300, 100, 6, 100},
                      OffsetCase{"CentreOddDifference", taCenter, 301, 100, 6, 100},
                      OffsetCase{"LeftWithoutRoom", taLeftJustify, 300, 295, 6, 0},
                      OffsetCase{"RightWithoutRoom", taRightJustify, 300, 295, 6, 5},
                      OffsetCase{"RightWiderThanColumn", taRightJustify, 0, 40, 6, -40},
                      OffsetCase{"CentreInZeroWidth", taCenter, 0, 40, 6, 0},
                      OffsetCase{"CentreWiderTruncatesTowardZero", taCenter, 10, 15, 6, -2}),
    [](const auto& info) { return std::string(info.param.name); });

struct SpacingCase {
    TLineSpacing spacing;
    int lineHeight;  // for a 38-pixel font
    int lift;        // for an external leading of 3
};

class SpacingRules : public ::testing::TestWithParam<SpacingCase> {};

TEST_P(SpacingRules, FollowTheLineSpacing) {
    EXPECT_EQ(LineHeightFor(GetParam().spacing, -38), GetParam().lineHeight);
    EXPECT_EQ(FrameLift(GetParam().spacing, 3), GetParam().lift);
}

INSTANTIATE_TEST_SUITE_P(Spacings, SpacingRules,
                         ::testing::Values(SpacingCase{lsHalfSpace, 19, 1},
                                           SpacingCase{lsSingleSpace, 38, 3},
                                           SpacingCase{lsSingleAndAHalf, 57, 4},
                                           SpacingCase{lsDoubleSpace, 76, 6}));

TEST(FrameLift, HalfwayLeadingRoundsToEven) {
    EXPECT_EQ(FrameLift(lsSingleAndAHalf, 1), 2);
    EXPECT_EQ(FrameLift(lsSingleAndAHalf, 5), 8);
}

struct HeaderCase {
    const char* name;
    std::optional<int> band;
    int lineHeight;
    std::optional<int> marginTop;
    int topMargin;
    int top;
};

class HeaderLineTopTable : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderLineTopTable, CentresInTheBandAndStaysOnThePrintableArea) {
    const HeaderCase& c = GetParam();
    EXPECT_EQ(HeaderLineTop(c.band, c.lineHeight, c.marginTop, c.topMargin), c.top);
}

INSTANTIATE_TEST_SUITE_P(
    Bands, HeaderLineTopTable,
    ::testing::Values(
        // 25 mm top margin, 1.5 mm border offset, 6 mm unprintable edge at 300 dpi.
        HeaderCase{"DefaultA4", 278, 38, 295, 224, -175},
        // A band shorter than the line: the negative difference is halved as such and the
        // header goes to the top of the printable area, not far below the page.
        HeaderCase{"BandShorterThanLine", 24, 38, 83, 12, -12},
        HeaderCase{"BandAboveThePrintableArea", 53, 38, 71, 0, 0},
        HeaderCase{"UnconvertibleLengths", std::nullopt, 38, 295, 224, -100},
        HeaderCase{"UnconvertibleNearTheEdge", std::nullopt, 38, 295, 50, -50}),
    [](const auto& info) { return std::string(info.param.name); });
}  // namespace
