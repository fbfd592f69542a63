#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <climits>
#include <functional>

#include "Gradient.h"
#include "KitFixture.h"
#include "PreviewColor.h"
#include "PreviewGeometry.h"

namespace {
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

struct PaperCase {
    const char* name;
    int paperPixels, zoom;
    long double ratio;
    int expected;
};

class ZoomedPaper : public ::testing::TestWithParam<PaperCase> {};

TEST_P(ZoomedPaper, ScalesPrinterPaperToTheScreen) {
    const PaperCase& c = GetParam();
    EXPECT_EQ(ZoomedPaperPixels(c.paperPixels, c.zoom, c.ratio), c.expected);
}

// 2480 x 3508 is A4 at 300 dpi; 3.125 its ratio to a 96 dpi screen.
INSTANTIATE_TEST_SUITE_P(Cases, ZoomedPaper,
                         ::testing::Values(PaperCase{"A4WidthTrueSize", 2480, 100, 3.125L, 794},
                                           PaperCase{"A4HeightTrueSize", 3508, 100, 3.125L, 1123},
                                           PaperCase{"A4WidthDefaultZoom", 2480, 35, 3.125L, 278},
                                           PaperCase{"A4HeightDefaultZoom", 3508, 35, 3.125L, 393},
                                           PaperCase{"HalfwayDown", 5, 50, 1, 2},
                                           PaperCase{"HalfwayUp", 7, 50, 1, 4},
                                           PaperCase{"ZoomZero", 2480, 0, 3.125L, 0},
                                           PaperCase{"ZoomNegative", 2480, -35, 3.125L, -278},
                                           PaperCase{"PrinterWithoutResolution", 2480, 35, 0, 868},
                                           PaperCase{"NothingOverNothing", 2480, 0, 0, 0},
                                           PaperCase{"Saturates", 2480, INT_MAX, 0.001L, INT_MAX}),
                         CaseName<PaperCase>);

TEST(PreviewArithmetic, ConvertsLengthsAndZoomsWithTiesToEven) {
    EXPECT_EQ(LengthToScreenPixels(25.4L, muMillimeters, 96), 96);
    EXPECT_EQ(LengthToScreenPixels(210, muMillimeters, 96), 794);
    EXPECT_EQ(LengthToScreenPixels(0.5L, muInches, 5), 2);
    EXPECT_EQ(LengthToScreenPixels(0.5L, muInches, 3), 2);
    EXPECT_EQ(ZoomPixels(94, 35), 33);
    EXPECT_EQ(ZoomPixels(10, 25), 2);
    EXPECT_EQ(ZoomPixels(INT_MAX, INT_MIN), INT_MIN);
    EXPECT_EQ(DpiRatio(300, 0), 1);
}

TEST(PreviewArithmetic, RangesHoldTheShadowOnBothSidesAndStayFinite) {
    EXPECT_EQ(ScrollRange(278, 5), 290);
    EXPECT_EQ(ScrollRange(278, 0), 280);
    EXPECT_EQ(ScrollRange(INT_MAX, UINT_MAX), INT_MAX);
    EXPECT_EQ(SurfaceSize(290, 405, {600, 300}), QSize(600, 405));
    EXPECT_EQ(SurfaceSize(-100, INT_MAX, {600, 300}), QSize(600, kMaxSurfaceSide));
}

TEST(PreviewArithmetic, LaysTheSheetOutCentredWithShadowPageAndMargins) {
    const TSheetLayout sheet = LayOutSheet({301, 400}, {100, 200, 5, 6, 7, 30, 31, 32, 33});
    EXPECT_EQ(sheet.sheet, (TPreviewRect{100, 100, 200, 300}));
    EXPECT_EQ(sheet.shadowRight, (TPreviewRect{200, 105, 205, 305}));
    EXPECT_EQ(sheet.shadowBottom, (TPreviewRect{105, 300, 200, 305}));
    EXPECT_EQ(sheet.page, (TPreviewRect{107, 108, 201, 301}));
    EXPECT_EQ(sheet.margins, (TPreviewRect{130, 131, 168, 267}));
    // A negative zoom turns the sheet inside out around the centre.
    EXPECT_EQ(LayOutSheet({300, 400}, {-100, -200}).sheet, (TPreviewRect{200, 300, 100, 100}));
}

QImage Canvas(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::green);
    return image;
}

TEST(Gradient, RunsFromTheFirstColourToTheSecondInOnePixelStrips) {
    QImage rows = Canvas(3, 4), columns = Canvas(4, 3);
    {
        QPainter painter(&rows);
        DrawGradient(painter, rows.rect(), clBlack, clWhite, true);
        QPainter columnPainter(&columns);
        DrawGradient(columnPainter, columns.rect(), clWhite, 0x0000FF, false);
    }
    const int levels[] = {0, 85, 170, 255};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rows.pixelColor(2, i), QColor(levels[i], levels[i], levels[i])) << i;
        EXPECT_EQ(columns.pixelColor(i, 2), QColor(255, 255 - levels[i], 255 - levels[i])) << i;
    }
}

TEST(Gradient, LeavesAStripOnePixelDeepAndWhatIsClippedAlone) {
    QImage row = Canvas(10, 1), column = Canvas(1, 10), clipped = Canvas(2, 10);
    {
        QPainter rowPainter(&row), columnPainter(&column), clippedPainter(&clipped);
        DrawGradient(rowPainter, row.rect(), clBlack, clWhite, true);
        DrawGradient(columnPainter, column.rect(), clBlack, clWhite, false);
        clippedPainter.setClipRect(0, 5, 2, 5);
        DrawGradient(clippedPainter, clipped.rect(), clBlack, clWhite, true);
    }
    EXPECT_EQ(row, Canvas(10, 1));
    EXPECT_EQ(column, Canvas(1, 10));
    EXPECT_EQ(clipped.pixelColor(0, 4), QColor(Qt::green));
    EXPECT_EQ(clipped.pixelColor(0, 9), QColor(Qt::white));
}

TEST(PreviewColor, ResolvesSystemColoursThroughThePalette) {
    const QPalette palette = QGuiApplication::palette();
    EXPECT_EQ(ColorToRGB(clBtnShadow), palette.color(QPalette::Dark));
    EXPECT_EQ(ColorToRGB(clBtnFace), palette.color(QPalette::Window));
    EXPECT_EQ(ColorToRGB(clSilver), QColor(192, 192, 192));
    EXPECT_EQ(ColorToRGB(0x336699), QColor(0x99, 0x66, 0x33));
}

// Counts the paints of a widget.
class PaintCounter : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

// A kit shown on the offscreen screen, with a 300 dpi A4 printer unless a test says otherwise.
class VelloxPreview : public KitTest {
  protected:
    void Show(const QByteArray& printer, QSize size) {
        CreateKit(printer);
        box = kit->findChild<QWidget*>(QStringLiteral("PaintBox"));
        box->installEventFilter(&counter);
        kit->resize(size);
        kit->show();
        Settle();
        ASSERT_EQ(kit->logicalDpiX(), 96) << "the expectations are those of a 96 dpi screen";
        kit->SetZoomPercent(kit->ZoomPercent());
        Settle();
    }
    void Settle() { QCoreApplication::processEvents(); }
    QImage Render() const {
        QImage image(box->size(), QImage::Format_RGB32);
        box->render(&image);
        return image;
    }
    // The sheet as drawn: centred on the surface.
    QRect Sheet() const {
        const int w = kit->PreviewPaperWidth(), h = kit->PreviewPaperHeight();
        return {(box->width() - w) / 2, (box->height() - h) / 2, w, h};
    }
    QRect Margins() const {
        using enum TPreviewAxis;
        return Sheet().adjusted(kit->ZoomedPixels(Horizontal, kit->MarginLeft()),
                                kit->ZoomedPixels(Vertical, kit->MarginTop()),
                                -kit->ZoomedPixels(Horizontal, kit->MarginRight()),
                                -kit->ZoomedPixels(Vertical, kit->MarginBottom()));
    }
    static int Count(const QImage& image, const QRect& area,
                     const std::function<bool(QColor)>& test) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                count += test(image.pixelColor(x, y)) ? 1 : 0;
        }
        return count;
    }
    static bool Dark(QColor color) { return qGray(color.rgb()) < 128; }

    QWidget* box = nullptr;
    PaintCounter counter;
};

struct SizeCase {
    const char* name;
    const char* printer;
    int zoom;
    QSize sheet;
};

class PreviewPaperSize : public VelloxPreview, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(PreviewPaperSize, ShowsA4AtItsTrueSizeAtFullZoom) {
    Show(GetParam().printer, {300, 300});
    kit->SetZoomPercent(GetParam().zoom);
    EXPECT_EQ(QSize(kit->PreviewPaperWidth(), kit->PreviewPaperHeight()), GetParam().sheet);
}

INSTANTIATE_TEST_SUITE_P(
    Printers, PreviewPaperSize,
    ::testing::Values(SizeCase{"NoPrinterFull", "none", 100, {794, 1123}},
                      SizeCase{"NoPrinterDefault", "none", 35, {278, 393}},
                      // Qt's A4 is 595 x 842 points, a little narrower than 210 mm.
                      SizeCase{"Pdf300Full", "pdf:300", 100, {793, 1123}},
                      SizeCase{"Pdf300Default", "pdf:300", 35, {278, 393}},
                      SizeCase{"Pdf600Full", "pdf:600", 100, {793, 1123}}),
    CaseName<SizeCase>);

TEST_F(VelloxPreview, ComparesPrinterAndScreenResolutions) {
    Show("pdf:300", {300, 300});
    EXPECT_EQ(kit->PrinterScreenRatio(TPreviewAxis::Vertical), 3.125L);
    kit->SetOrientation(poLandscape);
    EXPECT_EQ(QSize(kit->PreviewPaperWidth(), kit->PreviewPaperHeight()), QSize(393, 278));
    SelectPrinter("none");
    EXPECT_EQ(kit->PrinterScreenRatio(TPreviewAxis::Horizontal), 1);
}

TEST_F(VelloxPreview, PaintsGradientShadowSheetAndDottedMargins) {
    Show("pdf:300", {600, 700});
    const QImage image = Render();
    const QRect sheet = Sheet(), margins = Margins();
    // As stored in the image, without the palette's extra precision.
    const QColor shadow(ColorToRGB(clBtnShadow).rgb());
    ASSERT_EQ(sheet.size(), QSize(278, 393));

    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(0, image.height() - 1), QColor(ColorToRGB(kit->Color()).rgb()));
    for (const QPoint outline : {QPoint(sheet.left(), sheet.center().y()), sheet.topRight(),
                                 QPoint(sheet.center().x(), sheet.bottom())})
        EXPECT_EQ(image.pixelColor(outline), QColor(Qt::black))
            << outline.x() << "," << outline.y();
    EXPECT_EQ(image.pixelColor(sheet.topLeft() + QPoint(2, 2)), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(sheet.right() + 3, sheet.center().y()), shadow);
    EXPECT_EQ(image.pixelColor(sheet.center().x(), sheet.bottom() + 3), shadow);
    EXPECT_EQ(image.pixelColor(sheet.right() + 5, sheet.bottom() + 5), shadow);
    EXPECT_NE(image.pixelColor(sheet.right() + 3, sheet.top() + 2), shadow);
    EXPECT_NE(image.pixelColor(sheet.right() + 6, sheet.center().y()), shadow);

    const QRect leftMargin(margins.left(), margins.top(), 1, margins.height());
    const QColor silver(192, 192, 192);
    EXPECT_GT(Count(image, leftMargin, [&](QColor c) { return c == silver; }), 20);
    EXPECT_GT(Count(image, leftMargin, [](QColor c) { return c == Qt::white; }), 20);
    const QRect rightMargin(margins.right(), margins.top(), 1, margins.height());
    EXPECT_GT(Count(image, rightMargin, [&](QColor c) { return c == silver; }), 20);
}

TEST_F(VelloxPreview, ShowsTheComposedPageInsideTheMargins) {
    Show("pdf:300", {600, 700});
    kit->SetZoomPercent(100);
    kit->BeginDocument();
    for (int line = 1; line <= 5; ++line)
        kit->WriteLine(QStringLiteral("Preview line %1|Second column|Right").arg(line));
    kit->EndDocument();
    Settle();
    ASSERT_EQ(kit->PageNumber(), 1);

    const QImage image = Render();
    const QRect margins = Margins();
    const QRect textArea = margins.adjusted(1, 1, -1, -1);
    EXPECT_GT(Count(image, textArea, Dark), 200);
    // The first line starts at the top margin, not at the printable corner.
    int firstDarkRow = -1;
    for (int y = textArea.top(); y <= textArea.bottom() && firstDarkRow < 0; ++y) {
        if (Count(image, QRect(textArea.left(), y, textArea.width(), 1), Dark) > 0)
            firstDarkRow = y;
    }
    EXPECT_GE(firstDarkRow, margins.top());
    EXPECT_LT(firstDarkRow, margins.top() + 20);
    EXPECT_EQ(Count(image,
                    QRect(Sheet().left() + 1, Sheet().top() + 1, Sheet().width() - 2,
                          margins.top() - Sheet().top() - 1),
                    Dark),
              0);
}

TEST_F(VelloxPreview, PaintsItsColourAndLeavesOutWhatIsSwitchedOff) {
    Show("pdf:300", {600, 700});
    kit->SetColor(0x0000FF);
    kit->SetShowMargins(false);
    QImage image = Render();
    EXPECT_EQ(image.pixelColor(0, image.height() - 1), QColor(Qt::red));
    EXPECT_EQ(Count(image, image.rect(), [](QColor c) { return c == QColor(192, 192, 192); }), 0);

    kit->SetGradientBackground(false);
    image = Render();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::red));
}

struct RangeCase {
    const char* name;
    unsigned shadow;
    QSize surface;
};

class PreviewRanges : public VelloxPreview, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(PreviewRanges, HoldTheSheetItsShadowAndAPixelEachSide) {
    Show("pdf:300", {120, 120});
    kit->SetShadowOffset(GetParam().shadow);
    Settle();
    EXPECT_EQ(box->size(), GetParam().surface);
    EXPECT_EQ(kit->horizontalScrollBar()->maximum(),
              GetParam().surface.width() - kit->viewport()->width());
    EXPECT_EQ(kit->horizontalScrollBar()->singleStep(), 16);
}

INSTANTIATE_TEST_SUITE_P(Shadows, PreviewRanges,
                         ::testing::Values(RangeCase{"None", 0, {280, 395}},
                                           RangeCase{"Default", 5, {290, 405}},
                                           RangeCase{"Wide", 20, {320, 435}}),
                         CaseName<RangeCase>);

TEST_F(VelloxPreview, FillsTheVisibleAreaAfterAResize) {
    Show("pdf:300", {120, 120});
    kit->resize(600, 700);
    Settle();
    EXPECT_EQ(box->size(), kit->viewport()->size());
    EXPECT_EQ(kit->verticalScrollBar()->maximum(), 0);
}

struct LocationCase {
    const char* name;
    TZoomLocation location;
    bool centreHorizontally, centreVertically;
};

class PreviewZoomLocation : public VelloxPreview,
                            public ::testing::WithParamInterface<LocationCase> {};

TEST_P(PreviewZoomLocation, TakesEffectAtTheNextZoom) {
    Show("pdf:300", {200, 200});
    QScrollBar* h = kit->horizontalScrollBar();
    QScrollBar* v = kit->verticalScrollBar();
    h->setValue(h->maximum());
    v->setValue(v->maximum());
    kit->SetZoomLocation(GetParam().location);
    EXPECT_EQ(h->value(), h->maximum());
    EXPECT_EQ(v->value(), v->maximum());

    kit->SetZoomPercent(35);
    const QSize client = kit->viewport()->size();
    EXPECT_EQ(h->value(), GetParam().centreHorizontally ? (290 - client.width()) / 2 : 0);
    EXPECT_EQ(v->value(), GetParam().centreVertically ? (405 - client.height()) / 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(Locations, PreviewZoomLocation,
                         ::testing::Values(LocationCase{"TopLeft", zlTopLeft, false, false},
                                           LocationCase{"TopCenter", zlTopCenter, true, false},
                                           LocationCase{"Center", zlCenter, true, true}),
                         CaseName<LocationCase>);

struct RepaintCase {
    const char* name;
    std::function<void(TCustomVellox&)> change;
    bool repaints;
};

class PreviewRepaint : public VelloxPreview, public ::testing::WithParamInterface<RepaintCase> {};

TEST_P(PreviewRepaint, FollowsTheSettersThatShapeThePicture) {
    Show("pdf:300", {300, 300});
    counter.paints = 0;
    GetParam().change(*kit);
    Settle();
    EXPECT_EQ(counter.paints > 0, GetParam().repaints);
}

INSTANTIATE_TEST_SUITE_P(
    Setters, PreviewRepaint,
    ::testing::Values(
        RepaintCase{"SameZoom", [](TCustomVellox& k) { k.SetZoomPercent(35); }, true},
        RepaintCase{"ShadowOffset", [](TCustomVellox& k) { k.SetShadowOffset(2); }, true},
        RepaintCase{"ShadowColor", [](TCustomVellox& k) { k.SetShadowColor(clBlack); }, true},
        RepaintCase{"ShowMargins", [](TCustomVellox& k) { k.SetShowMargins(false); }, true},
        RepaintCase{"Gradient", [](TCustomVellox& k) { k.SetGradientBackground(false); }, true},
        RepaintCase{"Orientation", [](TCustomVellox& k) { k.SetOrientation(poLandscape); }, true},
        RepaintCase{"Color", [](TCustomVellox& k) { k.SetColor(clWhite); }, true},
        RepaintCase{"EndUpdateWithoutBegin", [](TCustomVellox& k) { k.EndUpdate(); }, true},
        RepaintCase{"UnchangedShadowColor",
                    [](TCustomVellox& k) { k.SetShadowColor(k.ShadowColor()); }, false},
        RepaintCase{"ZoomLocation", [](TCustomVellox& k) { k.SetZoomLocation(zlTopLeft); }, false},
        RepaintCase{"Locked",
                    [](TCustomVellox& k) {
                        k.BeginUpdate();
                        k.SetShowMargins(false);
                    },
                    false},
        RepaintCase{"UnlockedAgain",
                    [](TCustomVellox& k) {
                        k.BeginUpdate();
                        k.SetShowMargins(false);
                        k.EndUpdate();
                    },
                    true}),
    CaseName<RepaintCase>);

TEST_F(VelloxPreview, AnUnmatchedEndUpdateLeavesTheLockUsable) {
    Show("pdf:300", {300, 300});
    kit->EndUpdate();
    kit->BeginUpdate();
    Settle();
    counter.paints = 0;
    kit->SetShadowColor(clBlack);
    Settle();
    EXPECT_EQ(counter.paints, 0);
    kit->EndUpdate();
    Settle();
    EXPECT_GT(counter.paints, 0);
}

struct ZoomCase {
    const char* name;
    int zoom;
    bool fitsTheView;  // else the surface is as large as it may be
};

class PreviewOddZoom : public VelloxPreview, public ::testing::WithParamInterface<ZoomCase> {};

TEST_P(PreviewOddZoom, PaintsWithoutFailingOrGrowingTheSurfaceBeyondBounds) {
    Show("pdf:300", {300, 300});
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("Text"));
    kit->EndDocument();
    kit->SetZoomPercent(GetParam().zoom);
    Settle();
    EXPECT_EQ(box->size(), GetParam().fitsTheView ? kit->viewport()->size()
                                                  : QSize(kMaxSurfaceSide, kMaxSurfaceSide));
    QImage middle(200, 200, QImage::Format_RGB32);
    box->render(&middle, {}, QRegion(box->width() / 2 - 100, box->height() / 2 - 100, 200, 200));
}

INSTANTIATE_TEST_SUITE_P(Zooms, PreviewOddZoom,
                         ::testing::Values(ZoomCase{"Zero", 0, true},
                                           ZoomCase{"Negative", -35, true},
                                           ZoomCase{"Huge", INT_MAX, false},
                                           ZoomCase{"HugeNegative", INT_MIN, true}),
                         CaseName<ZoomCase>);

TEST_F(VelloxPreview, AtZoomZeroTheSheetIsGone) {
    Show("pdf:300", {300, 300});
    kit->SetZoomPercent(0);
    Settle();
    EXPECT_EQ(box->size(), kit->viewport()->size());
    const QImage image = Render();
    EXPECT_EQ(Count(image, image.rect(), [](QColor c) { return c == Qt::white; }), 0);
}
}  // namespace
