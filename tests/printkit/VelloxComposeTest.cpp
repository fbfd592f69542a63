#include <gtest/gtest.h>

#include <QMetaObject>
#include <QPushButton>
#include <algorithm>

#include "KitFixture.h"
#include "PlacementRules.h"
#include "ProgramCounters.h"
#include "VelloxPrgDlg.h"
#include "metafile/FontMeasure.h"
#include "metafile/Metafile.h"

namespace {
using TextRun = TMetafile::TTextRun;
using Polyline = TMetafile::TPolyline;

int WidthOf(const TextRun& run) {
    return TFontMeasure(run.font).TextWidth(run.text);
}

bool IsHorizontal(const Polyline& line) {
    return line.points[0].y() == line.points[1].y();
}

class VelloxCompose : public KitTest, public ::testing::WithParamInterface<PrinterCase> {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        CreateKit(GetParam().variable);
        L = kit->LeftMarginPixels();
        T = kit->TopMarginPixels();
        LH = kit->LineHeight();
        dpi = Printer().Available() ? Printer().GetDeviceCaps(LOGPIXELSX) : 300;
        inset = CellInset(dpi);
    }

    std::vector<TextRun> Texts(int page) const { return kit->Pages(page).TextRuns(); }
    std::vector<Polyline> Lines(int page) const { return kit->Pages(page).Polylines(); }
    int Px(long double millimetres) const { return kit->UnitsToPixelsX(millimetres); }
    // Lines that fit on a page before the eager break.
    int LinesPerPage() const { return (kit->TextAreaHeightPixels() + LH - 1) / LH - 1; }

    int L = 0, T = 0, LH = 0, dpi = 0, inset = 0;
};

TEST_P(VelloxCompose, AlignsCellsInTheirColumnsWithTheInset) {
    kit->SetColumnLayout(QStringLiteral("<50|>50|^50"));
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("Left|Right|Centre"));
    kit->EndDocument();

    const auto runs = Texts(1);
    ASSERT_EQ(runs.size(), 3u);
    const int w = Px(50);
    EXPECT_EQ(runs[0].position, QPoint(L + inset, T));
    EXPECT_EQ(runs[1].position, QPoint(L + 2 * w - WidthOf(runs[1]) - inset, T));
    EXPECT_EQ(runs[2].position, QPoint(L + 2 * w + (w - WidthOf(runs[2])) / 2, T));
    EXPECT_EQ(runs[0].font.pixelSize(), LH);
}

TEST_P(VelloxCompose, CutsACellToItsColumnWithoutWordWrap) {
    kit->SetColumnLayout(QStringLiteral("<10|<10"));
    kit->SetTableGrid(false);
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ|x"));
    kit->WriteLine(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ|y"));
    kit->EndDocument();

    const auto runs = Texts(1);
    ASSERT_EQ(runs.size(), 4u);
    const QString full = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    ASSERT_TRUE(full.startsWith(runs[0].text));
    ASSERT_LT(runs[0].text.size(), full.size());
    TextRun longer = runs[0];
    longer.text = full.left(runs[0].text.size() + 1);
    EXPECT_LE(WidthOf(runs[0]), Px(10));
    EXPECT_GT(WidthOf(longer), Px(10));
    // No continuation lines: the next logical line follows directly.
    EXPECT_EQ(runs[2].position.y(), T + LH);
}

TEST_P(VelloxCompose, WrapsAZeroWidthColumnOneCharacterPerLine) {
    kit->SetColumnLayout(QStringLiteral("<0|<20"));
    kit->SetWordWrap(true);
    kit->SetTableGrid(false);
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("abc|x"));
    kit->EndDocument();

    const auto runs = Texts(1);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, QStringLiteral("a"));
    EXPECT_EQ(runs[1].text, QStringLiteral("x"));
    EXPECT_EQ(runs[2].text, QStringLiteral("b"));
    EXPECT_EQ(runs[3].text, QStringLiteral("c"));
    EXPECT_EQ(runs[2].position.y(), T + LH);
    EXPECT_EQ(runs[3].position.y(), T + 2 * LH);
    EXPECT_EQ(kit->LineNumber(), 3);
}

TEST_P(VelloxCompose, ALineFeedStartsANewPhysicalLine) {
    kit->SetColumnLayout(QStringLiteral("<100"));
    kit->SetWordWrap(true);
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("one\ntwo\nthree"));
    kit->EndDocument();

    const auto runs = Texts(1);
    ASSERT_EQ(runs.size(), 3u);
    const QString expected[] = {QStringLiteral("one"), QStringLiteral("two"),
                                QStringLiteral("three")};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(runs[size_t(i)].text, expected[i]);
        EXPECT_EQ(runs[size_t(i)].position, QPoint(L + inset, T + i * LH));
    }
}

TEST_P(VelloxCompose, WrapsLongWordsAtBlanksAndCutsWhatIsWiderThanTheColumn) {
    kit->SetColumnLayout(QStringLiteral("<25"));
    kit->SetWordWrap(true);
    const QString text =
        QStringLiteral("alpha beta gamma delta Supercalifragilisticexpialidocious end");
    kit->BeginDocument();
    kit->WriteLine(text);
    kit->EndDocument();

    const auto runs = Texts(1);
    ASSERT_GT(runs.size(), 2u);
    QString joined;
    for (size_t i = 0; i < runs.size(); ++i) {
        joined += runs[i].text;
        EXPECT_LE(WidthOf(runs[i]), Px(25)) << runs[i].text.toStdString();
        EXPECT_EQ(runs[i].position.y(), T + int(i) * LH);
    }
    EXPECT_EQ(joined, text);
    // Words that fit stay whole; the one wider than the column is cut over several lines.
    for (const char* word : {"alpha", "beta", "gamma", "delta", "end"}) {
        EXPECT_TRUE(std::any_of(runs.begin(), runs.end(), [&](const TextRun& run) {
            return run.text.contains(QLatin1String(word));
        })) << word;
    }
    EXPECT_GE(
        std::count_if(runs.begin(), runs.end(),
                      [](const TextRun& run) { return !run.text.contains(QLatin1Char(' ')); }),
        2);
}

TEST_P(VelloxCompose, WrappedLineGetsOneTopLineVerticalsOnEveryLineAndOneBottomLine) {
    kit->SetColumnLayout(QStringLiteral("<0|<30"));
    kit->SetWordWrap(true);
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("ab|x"));
    kit->EndDocument();

    const auto lines = Lines(1);
    const int pen = LinePenWidth(dpi);
    std::vector<Polyline> horizontal, vertical;
    for (const Polyline& line : lines) {
        (IsHorizontal(line) ? horizontal : vertical).push_back(line);
        EXPECT_EQ(line.penWidth, pen);
    }
    ASSERT_EQ(horizontal.size(), 4u);
    const int top = horizontal[0].points[0].y();
    EXPECT_EQ(std::count_if(horizontal.begin(), horizontal.end(),
                            [&](const Polyline& l) { return l.points[0].y() == top; }),
              2);
    EXPECT_EQ(std::count_if(horizontal.begin(), horizontal.end(),
                            [&](const Polyline& l) { return l.points[0].y() == top + 2 * LH; }),
              2);
    // Two columns, two edges each, on both physical lines.
    EXPECT_EQ(vertical.size(), 8u);
    EXPECT_EQ(horizontal[2].points, QPolygon({QPoint(L, top + 2 * LH), QPoint(L, top + 2 * LH)}));
    EXPECT_EQ(horizontal[3].points,
              QPolygon({QPoint(L, top + 2 * LH), QPoint(L + Px(30), top + 2 * LH)}));
}

TEST_P(VelloxCompose, CellsBeyondTheLayoutAreDroppedAndMissingOnesStillFramed) {
    kit->SetColumnLayout(QStringLiteral("<20|<-20|<20"));
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("a|b|c|d|e"));
    kit->WriteLine(QStringLiteral("only"));
    kit->EndDocument();

    const auto runs = Texts(1);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[2].text, QStringLiteral("c"));
    EXPECT_EQ(runs[3].text, QStringLiteral("only"));
    const auto lines = Lines(1);
    // Per line: top, two verticals and bottom for the two framed columns; none for the
    // column of negative width.
    EXPECT_EQ(lines.size(), 16u);
    const int unframedLeft = L + Px(20);
    for (const Polyline& line : lines) {
        if (IsHorizontal(line)) {
            EXPECT_NE(line.points[0].x(), unframedLeft);
        }
    }
}

TEST_P(VelloxCompose, PagesBreakAsSoonAsTheNextLineWouldNotFit) {
    kit->SetTableGrid(false);
    const int perPage = LinesPerPage();
    kit->BeginDocument();
    for (int i = 0; i < perPage; ++i)
        kit->WriteLine(QString::number(i));
    EXPECT_EQ(kit->PageCount(), 2);
    EXPECT_EQ(kit->PageNumber(), 2);
    kit->EndDocument();

    const auto first = Texts(1);
    ASSERT_EQ(first.size(), size_t(perPage));
    EXPECT_EQ(first.back().position.y(), T + (perPage - 1) * LH);
    EXPECT_LT((perPage - 1) * LH + LH, kit->TextAreaHeightPixels() + 1);
    // The page the last break began holds nothing of the document: it is not kept.
    EXPECT_EQ(kit->PageCount(), 1);
    EXPECT_EQ(kit->PageNumber(), 1);
}

TEST_P(VelloxCompose, HeaderAndFooterSitInTheMarginsOfEveryPage) {
    kit->SetHLeft(hfEmpty);
    kit->SetHCenter(hfText);
    kit->SetHRight(hfEmpty);
    kit->SetFLeft(hfDate);
    kit->SetFCenter(hfText);
    kit->SetFRight(hfPageNr);
    kit->SetHeaderText(QStringLiteral("Sales"));
    QFont footerFont(QStringLiteral("Arial"), 8);
    kit->SetFooterFont(footerFont);
    kit->BuildHeaderFooter();
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("body"));
    kit->NewPage();
    kit->EndDocument();

    const int narrow = Px(kit->TextAreaWidth() * 0.2L), wide = Px(kit->TextAreaWidth() * 0.6L);
    const int headerTop =
        HeaderLineTop(kit->UnitsToPixelsY(kit->MarginTop() - kit->PageBorderOffset()), LH,
                      kit->UnitsToPixelsY(kit->MarginTop()), T);
    for (int page : {1, 2}) {
        const auto runs = Texts(page);
        const auto sales = std::find_if(runs.begin(), runs.end(),
                                        [](const TextRun& r) { return r.text == "Sales"; });
        ASSERT_NE(sales, runs.end());
        EXPECT_EQ(sales->position,
                  QPoint(L + narrow + (wide - WidthOf(*sales)) / 2, T + headerTop));
        const QString pageText = QStringLiteral(" Page %1").arg(page);
        const auto number = std::find_if(runs.begin(), runs.end(),
                                         [&](const TextRun& r) { return r.text == pageText; });
        ASSERT_NE(number, runs.end());
        const int footerHeight = number->font.pixelSize();
        EXPECT_EQ(number->position, QPoint(L + 2 * narrow + wide - WidthOf(*number) - inset,
                                           T + kit->TextAreaHeightPixels() + 2 * footerHeight));
        EXPECT_LT(footerHeight, LH);
    }
    // The body is back in its own font and place after the header and footer.
    const auto runs = Texts(1);
    const auto body =
        std::find_if(runs.begin(), runs.end(), [](const TextRun& r) { return r.text == "body"; });
    ASSERT_NE(body, runs.end());
    EXPECT_EQ(body->position, QPoint(L + inset, T));
    EXPECT_EQ(body->font.pixelSize(), LH);
}

TEST_P(VelloxCompose, AHeaderBandShorterThanALineKeepsTheHeaderOnThePrintableArea) {
    kit->SetMarginTop(7);
    kit->SetPageBorderOffset(5);
    kit->SetHeaderLine(QStringLiteral("&cTop"));
    kit->BeginDocument();
    kit->EndDocument();

    const auto runs = Texts(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].text, QStringLiteral("Top"));
    EXPECT_EQ(runs[0].position.y(), 0);
}

TEST_P(VelloxCompose, BordersSurroundTheTextAreaAtTheBorderOffset) {
    kit->SetPageBorders({pbTop, pbBottom, pbLeft, pbRight});
    kit->BeginDocument();
    kit->EndDocument();

    const int b = kit->UnitsToPixelsY(1.5L), a = Px(1.5L);
    const int R = L + kit->TextAreaWidthPixels(), B = T + kit->TextAreaHeightPixels();
    const auto lines = Lines(1);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].points, QPolygon({QPoint(L - b, T - b), QPoint(R + b, T - b)}));
    EXPECT_EQ(lines[1].points, QPolygon({QPoint(L - b, B + b), QPoint(R + b, B + b)}));
    EXPECT_EQ(lines[2].points, QPolygon({QPoint(L - a, T - a), QPoint(L - a, B + a)}));
    EXPECT_EQ(lines[3].points, QPolygon({QPoint(R + a, T - a), QPoint(R + a, B + a)}));
    for (const Polyline& line : lines)
        EXPECT_EQ(line.penWidth, LinePenWidth(dpi));
}

TEST_P(VelloxCompose, MacrosShowLinePageAndTitle) {
    kit->SetPrintTitle(QStringLiteral("Orders"));
    kit->SetColumnLayout(QStringLiteral("<30|<30|<30|<30"));
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("{$PAGE}|{$LINE}|{$TITLE}|{$PAGE}/{$PAGE}"));
    kit->WriteLine(QStringLiteral("{$PAGE}|{$LINE}|{$NAME}|x"));
    kit->EndDocument();

    QStringList texts;
    for (const TextRun& run : Texts(1))
        texts << run.text;
    EXPECT_EQ(texts, QStringList({"1", "0", "Orders", "1/1", "1", "1", "{$NAME}", "x"}));
}

TEST_P(VelloxCompose, APageMacroShowsThePageItsWrappedPieceLandsOn) {
    kit->SetWordWrap(true);
    kit->SetTableGrid(false);
    kit->SetColumnLayout(QStringLiteral("<40"));
    kit->BeginDocument();
    for (int i = 1; i < LinesPerPage(); ++i)
        kit->WriteLine(QStringLiteral("filler"));
    kit->WriteLine(QStringLiteral("on {$PAGE}\nnow {$PAGE}"));
    kit->EndDocument();

    EXPECT_EQ(Texts(1).back().text, QStringLiteral("on 1"));
    ASSERT_FALSE(Texts(2).empty());
    EXPECT_EQ(Texts(2).front().text, QStringLiteral("now 2"));
    EXPECT_EQ(Texts(2).front().position.y(), T);
}

TEST_P(VelloxCompose, ColumnGroupsAppendTheirPageToCellsWithMacros) {
    LastColumnGroup = 1;
    kit->SetColumnLayout(QStringLiteral("<60|<60"));
    kit->BeginDocument();
    ColumnGroupNumber = 2;
    DocumentPageNumber = 2;
    kit->WriteLine(QStringLiteral(" Page {$PAGE}|plain"));
    kit->EndDocument();
    LastColumnGroup = -1;
    ColumnGroupNumber = 0;

    EXPECT_EQ(Texts(1)[0].text, QStringLiteral(" Page 1 - 2/2"));
    EXPECT_EQ(Texts(1)[1].text, QStringLiteral("plain"));
}

TEST_P(VelloxCompose, TheColumnHookShapesTheFirstPhysicalLineOnly) {
    std::vector<int> columns;
    kit->SetColumnLayout(QStringLiteral("<20|<20"));
    kit->SetWordWrap(true);
    kit->SetOnTableLineColumn([&](QObject* sender, int column, TTableLineColumnInfo& info) {
        EXPECT_EQ(sender, kit.get());
        columns.push_back(column);
        EXPECT_NEAR(double(info.Width), 20, 0.1);
        if (column == 1) {
            info.Width = 40;
            info.Alignment = taRightJustify;
            info.Text = info.Text.toUpper();
            info.Grid = false;
        }
    });
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("abc|a\nb"));
    kit->EndDocument();

    EXPECT_EQ(columns, std::vector<int>({1, 2}));
    const auto runs = Texts(1);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].text, QStringLiteral("ABC"));
    EXPECT_EQ(runs[0].position.x(), L + Px(40) - WidthOf(runs[0]) - inset);
    // The widened first column moves the second one on every physical line.
    EXPECT_EQ(runs[1].position.x(), L + Px(40) + inset);
    EXPECT_EQ(runs[2].position.x(), L + Px(40) + inset);
    for (const Polyline& line : Lines(1))
        EXPECT_GE(line.points[0].x(), L + Px(40));
}

// A driver that repeats a title row at the top of every page but the first, as the grid
// adapter does.
class TitledVellox : public TCustomVellox {
  public:
    using TCustomVellox::TCustomVellox;
    QString title = QStringLiteral("Title");
    QStringList events;

  protected:
    void VelloxMessage(TVelloxMessage message) override {
        if (message != WM_PAGESTART)
            return;
        events << QStringLiteral("start");
        if (PageNumber() > 1)
            WriteLine(title);
    }
};

TEST_P(VelloxCompose, PageStartIsSentAtOnceSoTheTitleRowLeadsEveryPage) {
    TitledVellox titled;
    titled.SetShowProgress(false);
    titled.SetTableGrid(false);
    titled.SetOnNewPage([&](QObject*) { titled.events << QStringLiteral("new"); });
    titled.BeginDocument();
    titled.WriteLine(QStringLiteral("first"));
    titled.NewPage();
    titled.WriteLine(QStringLiteral("second"));
    SuppressPageStart = true;
    titled.NewPage();
    SuppressPageStart = false;
    titled.EndDocument();

    ASSERT_EQ(titled.PageCount(), 3);
    EXPECT_EQ(titled.events, QStringList({"start", "new", "start", "new", "new"}));
    const auto second = titled.Pages(2).TextRuns();
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].text, QStringLiteral("Title"));
    EXPECT_EQ(second[0].position.y(), T);
    EXPECT_EQ(second[1].text, QStringLiteral("second"));
    EXPECT_EQ(second[1].position.y(), T + LH);
    EXPECT_TRUE(titled.Pages(3).TextRuns().empty());
}

TEST_P(VelloxCompose, ATitleRowThatNeverFitsEndsInAnError) {
    TitledVellox titled;
    titled.SetShowProgress(false);
    titled.SetWordWrap(true);
    titled.title = QString(200, QLatin1Char('\n')) + QStringLiteral("x");
    titled.BeginDocument();
    try {
        titled.NewPage();
        FAIL() << "no error";
    } catch (const EPagePrinter& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("To many pages created"));
    }
    EXPECT_FALSE(titled.Composing());
    EXPECT_GT(titled.PageCount(), 1);
    titled.ClearContents();
    EXPECT_EQ(titled.PageCount(), 0);
}

TEST_P(VelloxCompose, HandlersThatWriteLinesForeverEndInAnError) {
    kit->BeginDocument();
    kit->SetOnNewLine([&](QObject*) { kit->WriteLine(QStringLiteral("again")); });
    try {
        kit->WriteLine(QStringLiteral("start"));
        FAIL() << "no error";
    } catch (const EPagePrinter& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("To long lines in process"));
    }
    EXPECT_FALSE(kit->IsPrinting());
    kit->SetOnNewLine({});
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("fine"));
    kit->EndDocument();
    EXPECT_EQ(kit->PageCount(), 1);
}

TEST_P(VelloxCompose, AStoppedRunEndsClosedAndKeepsItsPages) {
    kit->SetOnNewPage([&](QObject*) {
        if (kit->PageNumber() == 2)
            kit->CancelPrinting();
    });
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("page one"));
    kit->NewPage();
    kit->WriteLine(QStringLiteral("page two"));
    try {
        kit->NewPage();
        FAIL() << "not cancelled";
    } catch (const ECancelPrinting& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("Printing cancelled"));
    }
    EXPECT_FALSE(kit->Composing());
    EXPECT_FALSE(kit->IsPrinting());
    EXPECT_EQ(kit->PageCount(), 3);
    EXPECT_EQ(kit->PageNumber(), 1);
    EXPECT_EQ(Texts(2).front().text, QStringLiteral("page two"));

    // The driver's clean-up (a last line, the end of the document) finds the run closed.
    kit->NewLine();
    kit->EndDocument();
    EXPECT_EQ(kit->PageCount(), 3);

    kit->SetOnNewPage({});
    kit->ClearContents();
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("again"));
    kit->EndDocument();
    EXPECT_EQ(kit->PageCount(), 1);
}

TEST_P(VelloxCompose, TheStopButtonIsSeenAtTheNextPageStart) {
    kit->SetShowProgress(true);
    kit->SetOnNewPage([&](QObject*) {
        if (kit->PageNumber() != 2)
            return;
        ASSERT_NE(kit->ProgressDialog(), nullptr);
        QMetaObject::invokeMethod(kit->ProgressDialog()->btnCancel, "click", Qt::QueuedConnection);
    });
    kit->BeginDocument();
    kit->NewPage();
    EXPECT_FALSE(kit->CancelRequested());
    EXPECT_THROW(kit->NewPage(), ECancelPrinting);
    EXPECT_FALSE(kit->Composing());
    EXPECT_EQ(kit->ProgressDialog(), nullptr);
    EXPECT_EQ(kit->PageCount(), 3);
}

TEST_P(VelloxCompose, AFailingHookEndsTheRunClosed) {
    kit->SetOnTableLineColumn(
        [](QObject*, int, TTableLineColumnInfo&) { throw EDatabaseError(QStringLiteral("gone")); });
    kit->BeginDocument();
    EXPECT_THROW(kit->WriteLine(QStringLiteral("x")), EDatabaseError);
    EXPECT_FALSE(kit->IsPrinting());
    EXPECT_EQ(kit->PageCount(), 1);
    kit->ClearContents();
}

INSTANTIATE_TEST_SUITE_P(Printers, VelloxCompose, ::testing::ValuesIn(kPrinters), PrinterCaseName);

class VelloxFallbackCompose : public KitTest {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        CreateKit("none");
    }
};

TEST_F(VelloxFallbackCompose, PlacesTheFirstCellAtItsKnownPixels) {
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("x"));
    kit->EndDocument();
    // 25 mm margins less the 6 mm fallback edge at 300 dpi, plus the 6-pixel inset.
    EXPECT_EQ(kit->Pages(1).TextRuns().front().position, QPoint(230, 224));
    EXPECT_EQ(kit->Pages(1).Width(), 2409);
    EXPECT_EQ(kit->Pages(1).Height(), 3437);
    EXPECT_EQ(kit->Pages(1).DpiX(), 300);
}

TEST_F(VelloxFallbackCompose, DefaultHeaderSitsCentredInTheTopBand) {
    kit->SetHeaderLine(QStringLiteral("&cHead"));
    kit->BeginDocument();
    kit->EndDocument();
    // (278 - 38) / 2 - 295 = -175 pixels from the top margin at 224.
    EXPECT_EQ(kit->Pages(1).TextRuns().front().position.y(), 49);
}

TEST(VelloxLowResolution, PenWidthsAndInsetVanishAt150Dpi) {
    SelectPrinter("pdf:150");
    {
        TCustomVellox kit;
        kit.SetShowProgress(false);
        kit.SetPageBorders({pbTop});
        kit.BeginDocument();
        kit.WriteLine(QStringLiteral("x"));
        kit.EndDocument();
        EXPECT_EQ(kit.Pages(1).TextRuns().front().position.x(), kit.LeftMarginPixels());
        for (const Polyline& line : kit.Pages(1).Polylines())
            EXPECT_EQ(line.penWidth, 0);
    }
    SelectPrinter("none");
}
}  // namespace
