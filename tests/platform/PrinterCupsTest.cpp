#include <gtest/gtest.h>

#include <QFont>
#include <QPainter>
#include <QRegularExpression>
#include <cmath>

#include "print/Printer.h"
#include "support/CupsPdfQueue.h"

// Real printing through CUPS: the system's default printer is the private server's PDF queue.
namespace {
struct Paper {
    const char* name;  // as pdfinfo names it
    double width;      // millimetres
    double height;
};

constexpr Paper kPapers[] = {{"A4", 210, 297}, {"letter", 215.9, 279.4}};

double Millimetres(int pixels, int dpi) {
    return pixels * 25.4 / dpi;
}

// The paper the printer reports, or null when it is neither A4 nor Letter.
const Paper* PrinterPaper() {
    const int dpi = Printer().GetDeviceCaps(LOGPIXELSX);
    const double width = Millimetres(Printer().GetDeviceCaps(PHYSICALWIDTH), dpi);
    const double height = Millimetres(Printer().GetDeviceCaps(PHYSICALHEIGHT), dpi);
    for (const Paper& paper : kPapers) {
        if (std::abs(width - paper.width) < 1 && std::abs(height - paper.height) < 1)
            return &paper;
    }
    return nullptr;
}

class PrinterCups : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_CUPS_PDF_QUEUE();
        Printer().Select(TPrinterSelection{});
        ASSERT_TRUE(Printer().Available()) << "CUPS gave no default printer";
        title = cupspdf::UniqueTitle(QStringLiteral("QuorvaCups"));
        Printer().SetTitle(title);
    }
    void TearDown() override {
        if (!Printer().Printing())
            Printer().Select(TPrinterSelection::None());
    }

    // Writes one line of text an inch into the printable area.
    static void Write(const QString& text) {
        const int inch = Printer().GetDeviceCaps(LOGPIXELSY);
        QPainter& canvas = Printer().Canvas();
        canvas.setFont(QFont(QStringLiteral("Liberation Sans"), 14));
        canvas.drawText(inch, inch, text);
    }

    QString title;
};

TEST_F(PrinterCups, TheDefaultPrinterIsThePdfQueueOnCommonPaper) {
    EXPECT_EQ(Printer().Name(), QLatin1String(cupspdf::kQueue));
    const int dpi = Printer().GetDeviceCaps(LOGPIXELSX);
    EXPECT_EQ(Printer().GetDeviceCaps(LOGPIXELSY), dpi);
    EXPECT_GE(dpi, 72);
    EXPECT_LE(dpi, 2400);
    EXPECT_NE(PrinterPaper(), nullptr)
        << Printer().GetDeviceCaps(PHYSICALWIDTH) << " x "
        << Printer().GetDeviceCaps(PHYSICALHEIGHT) << " pixels at " << dpi << " dpi";
    for (const TDeviceCap offset : {PHYSICALOFFSETX, PHYSICALOFFSETY}) {
        EXPECT_GE(Printer().GetDeviceCaps(offset), 0);
        EXPECT_LT(Printer().GetDeviceCaps(offset), dpi);
    }
}

TEST_F(PrinterCups, TwoPagesArriveAsOnePdfWithTheirTexts) {
    const Paper* paper = PrinterPaper();
    ASSERT_NE(paper, nullptr);
    Printer().BeginDoc();
    Write(QStringLiteral("First page through CUPS"));
    Printer().NewPage();
    Write(QStringLiteral("Second page through CUPS"));
    Printer().EndDoc();

    const QString pdf = cupspdf::WaitForPdf(title);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF for " << title.toStdString() << " in "
                                << cupspdf::OutFolder().toStdString();
    const QString info = pdftools::Info(pdf);
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("(%1)").arg(QLatin1String(paper->name))))
        << info.toStdString();

    const QStringList pages = pdftools::Text(pdf).split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("First page through CUPS")))
        << pages[0].toStdString();
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Second page through CUPS")))
        << pages[1].toStdString();
}

TEST_F(PrinterCups, AnAbortedJobLeavesNoPdf) {
    Printer().BeginDoc();
    Write(QStringLiteral("Never printed"));
    Printer().NewPage();
    Write(QStringLiteral("Never printed either"));
    Printer().Abort();
    EXPECT_TRUE(Printer().Aborted());

    // Whatever the server got has been processed once its queue is idle.
    EXPECT_TRUE(cupspdf::WaitForPdf(title).isEmpty());
}
}  // namespace
