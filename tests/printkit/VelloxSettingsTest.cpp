#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "KitFixture.h"
#include "LocaleText.h"
#include "TextUtils.h"
#include "metafile/PageList.h"

namespace {
class VelloxSettings : public KitTest {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        CreateKit("none");
    }
};

TEST_F(VelloxSettings, CreationDefaults) {
    EXPECT_EQ(kit->MeasureUnit(), muMillimeters);
    for (long double margin :
         {kit->MarginTop(), kit->MarginBottom(), kit->MarginLeft(), kit->MarginRight()}) {
        EXPECT_EQ(margin, 25);
    }
    EXPECT_EQ(kit->PageBorderOffset(), 1.5L);
    EXPECT_TRUE(kit->PageBorders().IsEmpty());
    EXPECT_EQ(kit->Orientation(), poPortrait);
    EXPECT_EQ(kit->LineSpacing(), lsSingleSpace);
    EXPECT_TRUE(kit->Lines().isEmpty());
    EXPECT_EQ(kit->Font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(kit->Font().pointSize(), 9);
    EXPECT_FALSE(kit->Font().bold());
    EXPECT_EQ(kit->HeaderFont(), kit->Font());
    EXPECT_EQ(kit->FooterFont(), kit->Font());
    EXPECT_EQ(kit->PrintTitle(), QStringLiteral("Velloxing"));
    EXPECT_FALSE(kit->PrintToFile());
    EXPECT_EQ(kit->WSFileName(), QString());
    EXPECT_EQ(kit->Copies(), 1);
    EXPECT_TRUE(kit->Collate() && kit->FitPrintToPage() && kit->PrintWYSIWYG() && kit->TableGrid());
    EXPECT_FALSE(kit->WordWrap() || kit->AbortOnCancel() || kit->UseRegistry());
    EXPECT_TRUE(kit->ShowCancel() && kit->ShowMargins() && kit->GradientBackground());
    EXPECT_EQ(kit->ShadowColor(), clBtnShadow);
    EXPECT_EQ(kit->ShadowOffset(), 5u);
    EXPECT_EQ(kit->ZoomLocation(), zlCenter);
    EXPECT_EQ(kit->ZoomPercent(), 35);
    EXPECT_EQ(kit->RegistryKey(), QStringLiteral("Software\\Mervane\\Vellox"));
    EXPECT_EQ(kit->TabSize(), 8);
    EXPECT_EQ(kit->Alignment(), taLeftJustify);
    EXPECT_EQ(kit->PageNumber(), 0);
    EXPECT_EQ(kit->PageCount(), 0);
    EXPECT_EQ(kit->FromPage(), 0);
    EXPECT_EQ(kit->ToPage(), 0);
    EXPECT_EQ(kit->DefaultColumnWidth(), 25);
    EXPECT_EQ(kit->ColumnSeparator(), QLatin1Char('|'));
    for (const QString& layout : {kit->ColumnLayout(), kit->HeaderLayout(), kit->FooterLayout()}) {
        EXPECT_EQ(layout, QStringLiteral("<25|^25|>25"));
    }
    EXPECT_TRUE(kit->HeaderLine().isEmpty() && kit->FooterLine().isEmpty());
    EXPECT_TRUE(kit->HeaderCells().isEmpty() && kit->FooterCells().isEmpty());
    EXPECT_EQ(kit->HLeft() + kit->HCenter() + kit->HRight() + kit->FLeft() + kit->FCenter() +
                  kit->FRight(),
              0);
    EXPECT_FALSE(kit->IsPrinting());
    // Arial 9 realised at the fallback's 300 dpi is 38 pixels high.
    EXPECT_EQ(kit->LineHeight(), 38);
}

TEST_F(VelloxSettings, FallbackGeometryOfA4) {
    EXPECT_EQ(kit->PaperWidth(), 210);
    EXPECT_EQ(kit->PrintableWidth(), 198);
    EXPECT_EQ(kit->TextAreaWidth(), 160);
    EXPECT_EQ(kit->UnitsToPixelsX(25.4L), 300);
    EXPECT_EQ(kit->LeftMarginPixels(), 224);
    EXPECT_EQ(kit->TopMarginPixels(), 224);
    EXPECT_EQ(kit->TextAreaWidthPixels(), 2339 - 2 * 224);
    EXPECT_EQ(kit->TextAreaHeightPixels(), 3366 - 2 * 224);
    kit->SetMeasureUnit(muInches);
    EXPECT_EQ(kit->PaperWidth(), 8.5L);
    EXPECT_EQ(kit->PrintableWidth(), 8);
}

struct MarginCase {
    const char* name;
    std::function<void(TCustomVellox&, long double)> set;
    std::function<long double(const TCustomVellox&)> get;
    long double value;
    long double stored;
};

class MarginClamping : public VelloxSettings, public ::testing::WithParamInterface<MarginCase> {};

TEST_P(MarginClamping, KeepsMarginsOnThePaper) {
    GetParam().set(*kit, GetParam().value);
    EXPECT_EQ(GetParam().get(*kit), GetParam().stored);
}

const auto kTop = [](TCustomVellox& k, long double v) { k.SetMarginTop(v); };
const auto kTopValue = [](const TCustomVellox& k) { return k.MarginTop(); };
const auto kBottom = [](TCustomVellox& k, long double v) { k.SetMarginBottom(v); };
const auto kBottomValue = [](const TCustomVellox& k) { return k.MarginBottom(); };
const auto kLeft = [](TCustomVellox& k, long double v) { k.SetMarginLeft(v); };
const auto kLeftValue = [](const TCustomVellox& k) { return k.MarginLeft(); };
const auto kRight = [](TCustomVellox& k, long double v) { k.SetMarginRight(v); };
const auto kRightValue = [](const TCustomVellox& k) { return k.MarginRight(); };

INSTANTIATE_TEST_SUITE_P(
    Margins, MarginClamping,
    ::testing::Values(MarginCase{"TopBelowOffset", kTop, kTopValue, 0, 6},
                      MarginCase{"TopBeyondPaper", kTop, kTopValue, 1000, 291},
                      MarginCase{"TopInside", kTop, kTopValue, 40.5L, 40.5L},
                      MarginCase{"BottomBeyondPaper", kBottom, kBottomValue, 1000, 291},
                      MarginCase{"LeftBeyondPaper", kLeft, kLeftValue, 500, 204},
                      MarginCase{"RightNegative", kRight, kRightValue, -5, 6},
                      MarginCase{"NotANumber", kLeft, kLeftValue, std::nanl(""), 6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VelloxSettings, SwitchingToInchesConvertsEveryLength) {
    kit->SetMeasureUnit(muInches);
    EXPECT_EQ(FloatToStr(kit->MarginTop()), Dec("0.984251968503937"));
    EXPECT_EQ(FloatToStr(kit->MarginRight()), Dec("0.984251968503937"));
    EXPECT_EQ(FloatToStr(kit->PageBorderOffset()), Dec("0.0590551181102362"));
    EXPECT_EQ(FloatToStr(kit->DefaultColumnWidth()), Dec("0.984251968503937"));
    const QString converted = Dec("<0.984251968503937|^0.984251968503937|>0.984251968503937");
    EXPECT_EQ(kit->ColumnLayout(), converted);
    EXPECT_EQ(kit->HeaderLayout(), converted);
    EXPECT_EQ(kit->FooterLayout(), converted);

    kit->SetMeasureUnit(muMillimeters);
    EXPECT_NEAR(double(kit->MarginTop()), 25, 1e-12);
    EXPECT_NEAR(double(kit->PageBorderOffset()), 1.5, 1e-12);
    EXPECT_EQ(kit->ColumnLayout(), QStringLiteral("<25|^25|>25"));
}

TEST_F(VelloxSettings, ALayoutWithACompiledLineIsNotConverted) {
    kit->SetHeaderLine(QStringLiteral("&cX"));
    kit->SetMeasureUnit(muInches);
    EXPECT_EQ(kit->HeaderLayout(), QStringLiteral("<25|^25|>25"));
    EXPECT_NE(kit->FooterLayout(), QStringLiteral("<25|^25|>25"));
}

TEST_F(VelloxSettings, AssigningTheSameUnitChangesNothing) {
    kit->SetColumnLayout(Dec("<30|>12.5"));
    kit->SetMarginTop(40);
    kit->SetMeasureUnit(muMillimeters);
    EXPECT_EQ(kit->ColumnLayout(), Dec("<30|>12.5"));
    EXPECT_EQ(kit->MarginTop(), 40);
}

TEST_F(VelloxSettings, SimpleSetterRules) {
    kit->SetCopies(-3);
    EXPECT_EQ(kit->Copies(), 1);
    kit->SetCopies(0);
    EXPECT_EQ(kit->Copies(), 1);
    kit->SetCopies(4);
    EXPECT_EQ(kit->Copies(), 4);

    kit->SetWSFileName(QStringLiteral("  \t/tmp/out.txt \r\n"));
    EXPECT_EQ(kit->WSFileName(), QStringLiteral("/tmp/out.txt"));

    kit->SetZoomPercent(-40);
    EXPECT_EQ(kit->ZoomPercent(), -40);
}

TEST_F(VelloxSettings, PrintRangeKeepsFromNotAboveTo) {
    kit->SetFromPage(5);
    EXPECT_EQ(kit->ToPage(), 5);
    kit->SetToPage(0);
    EXPECT_EQ(kit->FromPage(), 0);
    kit->SetToPage(7);
    kit->SetFromPage(3);
    EXPECT_EQ(kit->FromPage(), 3);
    EXPECT_EQ(kit->ToPage(), 7);
}

TEST_F(VelloxSettings, PageNumberMustNameAStoredPage) {
    kit->SetPageNumber(4);
    EXPECT_EQ(kit->PageNumber(), 0);

    kit->BeginDocument();
    kit->NewPage();
    kit->NewPage();
    kit->EndDocument();
    ASSERT_EQ(kit->PageCount(), 3);
    EXPECT_EQ(kit->PageNumber(), 1);
    kit->SetPageNumber(3);
    EXPECT_EQ(kit->PageNumber(), 3);
    for (int outside : {4, 0}) {
        try {
            kit->SetPageNumber(outside);
            FAIL() << "page " << outside << " accepted";
        } catch (const EPagePrinter& error) {
            EXPECT_EQ(error.Message(), QStringLiteral("PageNumber must be between 1 and 3"));
        }
    }
    EXPECT_EQ(kit->PageNumber(), 3);
    EXPECT_THROW(kit->Pages(4), EListError);
    EXPECT_EQ(&kit->Pages(1), &kit->Pages(1));
}

struct RefusalCase {
    const char* name;
    std::function<void(TCustomVellox&)> change;
    const char* message;
};

class RefusedWhilePrinting : public VelloxSettings,
                             public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusedWhilePrinting, RaisesItsMessageAndChangesNothing) {
    kit->BeginDocument();
    ASSERT_TRUE(kit->IsPrinting());
    try {
        GetParam().change(*kit);
        FAIL() << "change accepted while printing";
    } catch (const EPagePrinter& error) {
        EXPECT_EQ(error.Message(), QString::fromUtf8(GetParam().message));
    }
    EXPECT_EQ(kit->MeasureUnit(), muMillimeters);
    EXPECT_EQ(kit->MarginTop(), 25);
    EXPECT_EQ(kit->MarginLeft(), 25);
    EXPECT_EQ(kit->Orientation(), poPortrait);
    EXPECT_FALSE(kit->PrintToFile());
    EXPECT_EQ(kit->WSFileName(), QString());
    EXPECT_EQ(kit->ColumnLayout(), QStringLiteral("<25|^25|>25"));
    EXPECT_EQ(kit->PageCount(), 1);
    kit->EndDocument();
}

INSTANTIATE_TEST_SUITE_P(
    Setters, RefusedWhilePrinting,
    ::testing::Values(
        RefusalCase{"MarginTop", [](TCustomVellox& k) { k.SetMarginTop(30); },
                    "Unable to change top margin while printing"},
        RefusalCase{"MarginBottom", [](TCustomVellox& k) { k.SetMarginBottom(30); },
                    "Unable to change bottom margin while printing"},
        RefusalCase{"MarginLeft", [](TCustomVellox& k) { k.SetMarginLeft(30); },
                    "Unable to change left margin while printing"},
        RefusalCase{"MarginRight", [](TCustomVellox& k) { k.SetMarginRight(30); },
                    "Unable to change right margin while printing"},
        RefusalCase{"MeasureUnit", [](TCustomVellox& k) { k.SetMeasureUnit(muInches); },
                    "Unable to change top margin while printing"},
        RefusalCase{"Orientation", [](TCustomVellox& k) { k.SetOrientation(poLandscape); },
                    "Sending Pages To Printer"},
        RefusalCase{"PrintToFile", [](TCustomVellox& k) { k.SetPrintToFile(true); },
                    "Can't change PrintToFile while printing"},
        RefusalCase{"WSFileName",
                    [](TCustomVellox& k) { k.SetWSFileName(QStringLiteral("x.txt")); },
                    "Can't change FileName while printing"},
        RefusalCase{"ClearContents", [](TCustomVellox& k) { k.ClearContents(); },
                    "Can't clear contents while printing"},
        RefusalCase{"SecondRun", [](TCustomVellox& k) { k.BeginDocument(); },
                    "Can't clear contents while printing"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VelloxSettings, LinesAreCopiedAndReleased) {
    const QStringList lines{QStringLiteral("a"), QStringLiteral("b")};
    kit->SetLines(&lines);
    kit->Lines() << QStringLiteral("c");
    EXPECT_EQ(lines.size(), 2);
    EXPECT_EQ(kit->Lines().size(), 3);
    kit->SetLines(nullptr);
    EXPECT_TRUE(kit->Lines().isEmpty());
}

TEST_F(VelloxSettings, TitleAndOrientationLiveInTheSharedPrinter) {
    TCustomVellox other;
    other.SetPrintTitle(QStringLiteral("Orders"));
    EXPECT_EQ(kit->PrintTitle(), QStringLiteral("Orders"));
    // Without a printer the paper stays portrait.
    kit->SetOrientation(poLandscape);
    EXPECT_EQ(other.Orientation(), poPortrait);
}

TEST_F(VelloxSettings, LandscapeTurnsThePrintersPaper) {
    CreateKit("pdf:300");
    kit->SetOrientation(poLandscape);
    EXPECT_EQ(kit->Orientation(), poLandscape);
    EXPECT_GT(kit->PaperWidth(), kit->PaperHeight());
    kit->SetOrientation(poPortrait);
    EXPECT_LT(kit->PaperWidth(), kit->PaperHeight());
}

TEST_F(VelloxSettings, LineHeightFollowsSpacingAndFont) {
    const std::pair<TLineSpacing, int> heights[] = {
        {lsHalfSpace, 19}, {lsSingleSpace, 38}, {lsSingleAndAHalf, 57}, {lsDoubleSpace, 76}};
    for (const auto& [spacing, height] : heights) {
        kit->SetLineSpacing(spacing);
        EXPECT_EQ(kit->LineHeight(), height);
    }
    kit->SetLineSpacing(lsSingleSpace);
    kit->SetFont(QFont(QStringLiteral("Arial"), 18));
    EXPECT_EQ(kit->LineHeight(), 75);
}

TEST_F(VelloxSettings, LoadingDefersCompilationAndRangeErrors) {
    kit->BeginLoading();
    kit->SetHeaderLine(QStringLiteral("&lLeft&rRight"));
    EXPECT_TRUE(kit->HeaderCells().isEmpty());
    kit->SetPageNumber(5);
    EXPECT_EQ(kit->PageNumber(), 0);
    kit->Loaded();
    EXPECT_EQ(kit->HeaderCells(), QStringLiteral("Left|Right"));
}
}  // namespace
