#include <gtest/gtest.h>

#include "InvalidOp.h"
#include "PageGeometry.h"

namespace {
// A 600 dpi A4 printer with an unprintable edge of 100 pixels (1/6 inch).
const TDeviceMetrics kPrinter{true, 600, 600, 4961, 7016, 100, 100};

TEST(PageGeometry, FallsBackToA4InMillimetres) {
    const TPageGeometry mm({}, muMillimeters);
    EXPECT_EQ(mm.PaperWidth(), 210);
    EXPECT_EQ(mm.PaperHeight(), 297);
    EXPECT_EQ(mm.OffsetLeft(), 6);
    EXPECT_EQ(mm.OffsetBottom(), 6);
    EXPECT_EQ(mm.PrintableWidth(), 198);
    EXPECT_EQ(mm.UnitsToPixelsX(25.4L), 300);
    EXPECT_EQ(mm.DpiY(), 300);
}

TEST(PageGeometry, FallsBackToLetterInInches) {
    const TPageGeometry inches({}, muInches);
    EXPECT_EQ(inches.PaperWidth(), 8.5L);
    EXPECT_EQ(inches.PaperHeight(), 11);
    EXPECT_EQ(inches.OffsetTop(), 0.25L);
    EXPECT_EQ(inches.PrintableWidth(), 8);
    EXPECT_EQ(inches.UnitsToPixelsY(1), 300);
}

TEST(PageGeometry, ReadsThePrinter) {
    const TPageGeometry mm(kPrinter, muMillimeters);
    EXPECT_NEAR(double(mm.PaperWidth()), 210.02, 0.01);
    EXPECT_NEAR(double(mm.OffsetLeft()), 4.2333, 0.0001);
    EXPECT_EQ(mm.OffsetRight(), mm.OffsetLeft());
    EXPECT_EQ(mm.UnitsToPixelsX(25.4L), 600);
    EXPECT_EQ(mm.PixelsToUnitsY(600), 25.4L);
}

struct RoundingCase {
    const char* name;
    TMeasureUnit unit;
    long double length;
    int pixels;  // at 300 dpi
};

class UnitsToPixelsTable : public ::testing::TestWithParam<RoundingCase> {};

TEST_P(UnitsToPixelsTable, RoundsToTheNearestPixel) {
    const TPageGeometry geometry({}, GetParam().unit);
    EXPECT_EQ(geometry.UnitsToPixelsX(GetParam().length), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Lengths, UnitsToPixelsTable,
                         ::testing::Values(RoundingCase{"Margin", muMillimeters, 19, 224},
                                           RoundingCase{"Inch", muInches, 1, 300},
                                           RoundingCase{"Negative", muMillimeters, -25.4L, -300}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PageGeometry, HalfwayPixelsGoToTheEvenNeighbour) {
    // At 4 dpi eighths of an inch are exact halves of a pixel.
    const TPageGeometry geometry({true, 4, 4, 34, 44, 1, 1}, muInches);
    EXPECT_EQ(geometry.UnitsToPixelsX(0.125L), 0);
    EXPECT_EQ(geometry.UnitsToPixelsX(0.375L), 2);
    EXPECT_EQ(geometry.UnitsToPixelsX(0.625L), 2);
    EXPECT_EQ(geometry.UnitsToPixelsY(-0.625L), -2);
}

TEST(PageGeometry, LengthsWithoutPixelValueRaise) {
    const TPageGeometry geometry({}, muMillimeters);
    EXPECT_FALSE(geometry.TryUnitsToPixelsX(1e30L).has_value());
    EXPECT_THROW(geometry.UnitsToPixelsX(1e30L), EInvalidOp);
    EXPECT_THROW(geometry.UnitsToPixelsY(-1e30L), EInvalidOp);
}

TEST(PageGeometry, ZeroResolutionConvertsBackAt300) {
    const TPageGeometry geometry({true, 0, 0, 2480, 3508, 0, 0}, muInches);
    EXPECT_EQ(geometry.PixelsToUnitsX(300), 1);
    EXPECT_EQ(geometry.UnitsToPixelsX(1), 0);
}
}  // namespace
