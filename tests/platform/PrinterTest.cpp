#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>

#include "core/Exception.h"
#include "print/Printer.h"

namespace {
class PrinterTest : public ::testing::Test {
  protected:
    void TearDown() override { Printer().Select(TPrinterSelection::None()); }
};

TEST_F(PrinterTest, WithoutADeviceEveryDeviceQueryIsRefused) {
    Printer().Select(TPrinterSelection::None());
    EXPECT_FALSE(Printer().Available());
    const std::function<void()> queries[] = {
        [] { Printer().GetDeviceCaps(LOGPIXELSX); },
        [] { Printer().Orientation(); },
        [] { Printer().SetOrientation(poLandscape); },
        [] { Printer().Copies(); },
        [] { Printer().BeginDoc(); },
        [] { Printer().TextMetrics(QFont()); },
    };
    for (const auto& query : queries) {
        try {
            query();
            ADD_FAILURE() << "no EPrinter";
        } catch (const EPrinter& error) {
            EXPECT_EQ(error.Message(),
                      QStringLiteral("There is no default printer currently selected"));
        }
    }
    Printer().SetTitle(QStringLiteral("kept"));
    EXPECT_EQ(Printer().Title(), QStringLiteral("kept"));
}

TEST_F(PrinterTest, APdfPrinterReportsA4WithAnUnprintableEdge) {
    Printer().Select(TPrinterSelection::Pdf(600));
    ASSERT_TRUE(Printer().Available());
    EXPECT_EQ(Printer().GetDeviceCaps(LOGPIXELSX), 600);
    EXPECT_EQ(Printer().GetDeviceCaps(LOGPIXELSY), 600);
    // Qt sizes A4 in whole points (595 x 842).
    EXPECT_EQ(Printer().GetDeviceCaps(PHYSICALWIDTH), 4958);
    EXPECT_EQ(Printer().GetDeviceCaps(PHYSICALHEIGHT), 7017);
    EXPECT_EQ(Printer().GetDeviceCaps(PHYSICALOFFSETX), 100);
    EXPECT_EQ(Printer().GetDeviceCaps(PHYSICALOFFSETY), 100);

    Printer().SetOrientation(poLandscape);
    EXPECT_EQ(Printer().Orientation(), poLandscape);
    EXPECT_EQ(Printer().GetDeviceCaps(PHYSICALWIDTH), 7017);
    EXPECT_EQ(Printer().GetDeviceCaps(PHYSICALOFFSETX), 100);
}

TEST_F(PrinterTest, FontMetricsAreThoseOfThePrintersResolution) {
    Printer().Select(TPrinterSelection::Pdf(600));
    const TTextMetric metric = Printer().TextMetrics(QFont(QStringLiteral("Arial"), 9));
    EXPECT_GT(metric.ascent, 60);
    EXPECT_LT(metric.ascent, 75);
    EXPECT_GE(metric.externalLeading, 0);
}

TEST_F(PrinterTest, AJobWritesItsPagesAndRefusesChangesMeanwhile) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("job.pdf"));
    Printer().Select(TPrinterSelection::Pdf(300, file));
    Printer().SetTitle(QStringLiteral("Job"));
    EXPECT_THROW(Printer().NewPage(), EPrinter);
    Printer().BeginDoc();
    EXPECT_TRUE(Printer().Printing());
    EXPECT_THROW(Printer().BeginDoc(), EPrinter);
    EXPECT_THROW(Printer().Select(TPrinterSelection::None()), EPrinter);
    Printer().Canvas().drawLine(0, 0, 100, 100);
    Printer().NewPage();
    EXPECT_EQ(Printer().PageNumber(), 2);
    Printer().EndDoc();
    EXPECT_FALSE(Printer().Printing());

    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray pdf = written.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "),
              2);
}

TEST_F(PrinterTest, AnAbortedJobIsMarkedSo) {
    QTemporaryDir folder;
    Printer().Select(TPrinterSelection::Pdf(300, folder.filePath(QStringLiteral("aborted.pdf"))));
    Printer().BeginDoc();
    Printer().Abort();
    EXPECT_TRUE(Printer().Aborted());
    EXPECT_FALSE(Printer().Printing());
    Printer().BeginDoc();
    EXPECT_FALSE(Printer().Aborted());
    Printer().EndDoc();
}
}  // namespace
