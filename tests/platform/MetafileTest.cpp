#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "core/Exception.h"
#include "metafile/FontMeasure.h"
#include "metafile/FontRealization.h"
#include "metafile/LineBatch.h"
#include "metafile/Metafile.h"
#include "metafile/MetafileCanvas.h"
#include "metafile/PageList.h"

namespace {
const QFont kArial9(QStringLiteral("Arial"), 9);

TEST(FontRealization, PointSizesBecomeWholePixelsAtTheResolution) {
    EXPECT_EQ(MulDiv(9, 300, 72), 38);
    EXPECT_EQ(MulDiv(-9, 300, 72), -38);
    EXPECT_EQ(MulDiv(9, 600, 72), 75);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(FontPixelHeight(kArial9, 300), 38);
    EXPECT_EQ(FontPixelHeight(kArial9, 96), 12);
    EXPECT_EQ(RealizeFont(kArial9, 600).pixelSize(), 75);
    EXPECT_EQ(RealizeFont(RealizeFont(kArial9, 600), 300).pixelSize(), 75);
}

TEST(FontMeasure, SumsAdvancesAsTheFontShapesPlainText) {
    const QFont realized = RealizeFont(kArial9, 300);
    const TFontMeasure measure(realized);
    const QFontMetricsF metrics(realized);
    for (const QString& text :
         {QStringLiteral("Quarterly orders, 2024"), QStringLiteral("Wolfgang Müller"),
          QStringLiteral("iiiiiiiiii WWWWWWWWWW")}) {
        EXPECT_NEAR(measure.TextWidth(text), metrics.horizontalAdvance(text), 1.0)
            << text.toStdString();
    }
    EXPECT_EQ(measure.TextWidth(QStringLiteral("a\tb")), measure.TextWidth(QStringLiteral("a b")));
    EXPECT_GT(measure.TextWidth(QString::fromUtf8("日本語")), 0);
    EXPECT_EQ(measure.TextWidth(QString()), 0);
}

TEST(MetafileCanvas, RecordsTextAndLinesInPixels) {
    TMetafile page(2409, 3437, 300, 300);
    {
        TMetafileCanvas canvas(page, 300);
        canvas.SetFont(kArial9);
        EXPECT_EQ(canvas.FontHeight(), 38);
        canvas.TextOut(230, 224, QStringLiteral("Hello"));
        canvas.TextOut(10, 10, QString());
        canvas.SetPenWidth(2);
        canvas.Polyline({QPoint(224, 220), QPoint(600, 220)});
        canvas.Polyline({QPoint(1, 1), QPoint(2, 2), QPoint(3, 1)});
        canvas.SetFontResolution(600);
        EXPECT_EQ(canvas.FontHeight(), 75);
        canvas.TextOut(0, 0, QStringLiteral("Big"));
    }
    ASSERT_EQ(page.RecordCount(), 4);
    const auto texts = page.TextRuns();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].position, QPoint(230, 224));
    EXPECT_EQ(texts[0].text, QStringLiteral("Hello"));
    EXPECT_EQ(texts[0].font.pixelSize(), 38);
    EXPECT_EQ(texts[1].font.pixelSize(), 75);
    const auto lines = page.Polylines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points, QPolygon({QPoint(224, 220), QPoint(600, 220)}));
    EXPECT_EQ(lines[0].penWidth, 2);
    EXPECT_EQ(lines[1].points.size(), 3);
    EXPECT_EQ(page.PlainText(), QStringLiteral("Hello\nBig"));
}

TEST(Metafile, PlaysAtTrueSizeOnAnyResolution) {
    TMetafile page(300, 300, 300, 300);
    {
        TMetafileCanvas canvas(page, 300);
        canvas.SetPenWidth(4);
        canvas.Polyline({QPoint(0, 150), QPoint(300, 150)});
    }
    // One inch square recorded at 300 dpi onto a 100 dpi image: the line lies at 50 pixels.
    QImage image(100, 100, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(100 / 0.0254));
    image.setDotsPerMeterY(qRound(100 / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        page.Play(painter);
    }
    EXPECT_EQ(image.pixelColor(50, 50), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(50, 20), QColor(Qt::white));
}

TEST(Metafile, StretchesIntoATarget) {
    TMetafile page(300, 300, 300, 300);
    {
        TMetafileCanvas canvas(page, 300);
        canvas.SetFont(QFont(QStringLiteral("Arial"), 24));
        canvas.TextOut(0, 0, QStringLiteral("MMMM"));
    }
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        page.Play(painter, QRectF(100, 100, 100, 100));
    }
    int inked = 0, outside = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (image.pixelColor(x, y) == QColor(Qt::white))
                continue;
            (x >= 100 && y >= 100 ? inked : outside)++;
        }
    }
    EXPECT_GT(inked, 0);
    EXPECT_EQ(outside, 0);
}

TEST(PageList, OwnsItsPagesAndReportsBadIndices) {
    TPageList pages;
    EXPECT_EQ(pages.Count(), 0);
    TMetafile& first = pages.Add(std::make_unique<TMetafile>(10, 10, 300, 300));
    pages.Add(std::make_unique<TMetafile>(20, 20, 300, 300));
    EXPECT_EQ(&pages.Items(0), &first);
    EXPECT_EQ(pages.Items(1).Width(), 20);
    try {
        pages.Items(2);
        FAIL() << "no index error";
    } catch (const EListError& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("List index out of bounds (2)"));
    }
    EXPECT_THROW(pages.Items(-1), EListError);
    pages.Clear();
    EXPECT_EQ(pages.Count(), 0);
}
}  // namespace

namespace {
TEST(LineBatch, JoinsLinesThatMeetOnARowOrColumnAndDropsRepeats) {
    TLineBatch batch;
    batch.Add(QLine(0, 10, 50, 10));
    batch.Add(QLine(50, 10, 90, 10));    // touches the first
    batch.Add(QLine(120, 10, 100, 10));  // drawn right to left, apart from the others
    batch.Add(QLine(0, 10, 50, 10));     // drawn again
    batch.Add(QLine(5, 0, 5, 20));
    batch.Add(QLine(5, 10, 5, 40));  // overlaps on the same column
    batch.Add(QLine(7, 7, 7, 7));    // a dot
    batch.Add(QLine(0, 0, 30, 30));  // neither row nor column
    const std::vector<QLine> lines = batch.Take();
    EXPECT_EQ(lines,
              std::vector<QLine>({QLine(0, 0, 30, 30), QLine(7, 7, 7, 7), QLine(0, 10, 90, 10),
                                  QLine(100, 10, 120, 10), QLine(5, 0, 5, 40)}));
    EXPECT_TRUE(batch.Take().empty());
}
}  // namespace
