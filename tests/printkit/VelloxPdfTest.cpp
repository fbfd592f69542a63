#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

#include "KitFixture.h"
#include "metafile/Metafile.h"
#include "support/PdfTools.h"

namespace {
// Composes on a 600 dpi PDF printer, prints the pages into the PDF file and reads it back
// with the poppler tools.
class VelloxPdf : public PdfKitTest {
  protected:
    void SetUp() override {
        PdfKitTest::SetUp();
        SetUpPdf(600);
    }

    void PrintPages() {
        Printer().BeginDoc();
        for (int page = 1; page <= kit->PageCount(); ++page) {
            if (page > 1)
                Printer().NewPage();
            kit->Pages(page).Play(Printer().Canvas());
        }
        Printer().EndDoc();
    }
};

TEST_F(VelloxPdf, ComposedPagesPrintAsTextAtTrueSize) {
    kit->SetPrintTitle(QStringLiteral("Order list"));
    kit->SetHLeft(hfEmpty);
    kit->SetHCenter(hfText);
    kit->SetHRight(hfEmpty);
    kit->SetFLeft(hfEmpty);
    kit->SetFCenter(hfText);
    kit->SetFRight(hfPageNr);
    kit->SetHeaderText(QStringLiteral("Quarterly orders"));
    kit->SetFooterText(QStringLiteral("{$TITLE}"));
    kit->BuildHeaderFooter();
    kit->SetPageBorders({pbTop, pbBottom});
    kit->SetColumnLayout(QStringLiteral("<20|<60|>30"));
    kit->BeginDocument();
    for (int row = 1; row <= 200; ++row) {
        kit->WriteLine(QStringLiteral("%1|Customer %2|%3.50").arg(row).arg(row * 7).arg(row * 11));
    }
    kit->EndDocument();
    ASSERT_EQ(kit->PageCount(), 3);
    PrintPages();

    const QString info = pdftools::Info(pdf);
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Order list\\n"))))
        << info.toStdString();

    const QString text = pdftools::Text(pdf, {QStringLiteral("-layout")});
    const QStringList pages = text.split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 3);
    for (int page = 0; page < 3; ++page) {
        EXPECT_TRUE(pages[page].contains(QStringLiteral("Quarterly orders"))) << page;
        EXPECT_TRUE(pages[page].contains(QStringLiteral("Page %1").arg(page + 1))) << page;
        EXPECT_TRUE(pages[page].contains(QStringLiteral("Order list"))) << page;
    }
    EXPECT_TRUE(
        pages[0].contains(QRegularExpression(QStringLiteral("\\b1\\s+Customer 7\\s+11\\.50"))));
    EXPECT_TRUE(pages[2].contains(
        QRegularExpression(QStringLiteral("\\b200\\s+Customer 1400\\s+2200\\.50"))));
}

TEST_F(VelloxPdf, TextSitsWhereItWasComposed) {
    kit->SetColumnLayout(QStringLiteral("<100"));
    kit->BeginDocument();
    kit->WriteLine(QStringLiteral("Marker"));
    kit->EndDocument();
    PrintPages();

    // pdftotext reports word boxes in points from the paper's corner: 25 mm margins.
    const QString boxes = pdftools::Text(pdf, {QStringLiteral("-bbox")});
    const QRegularExpression word(
        QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>Marker<"));
    const QRegularExpressionMatch match = word.match(boxes);
    ASSERT_TRUE(match.hasMatch()) << boxes.toStdString();
    const double inset = 12 * 72.0 / 600;
    EXPECT_NEAR(match.captured(1).toDouble(), 25 / 25.4 * 72 + inset, 1.0);
    EXPECT_NEAR(match.captured(2).toDouble(), 25 / 25.4 * 72, 3.0);
}
}  // namespace
