#include <gtest/gtest.h>

#include <QRegularExpression>

#include "KitFixture.h"
#include "support/CupsPdfQueue.h"

// A print run on the system's default printer, the private server's PDF queue: the pages
// asked for, in the order the copies ask for, arrive in the queue's PDF.
namespace {
struct RunCase {
    const char* name;
    int copies;
    bool collate;
    QList<int> pages;  // the page numbers of the PDF's pages, in order
};

const RunCase kRuns[] = {
    {"OneCopy", 1, true, {2, 3}},
    {"TwoCollatedCopies", 2, true, {2, 3, 2, 3}},
    {"TwoUncollatedCopies", 2, false, {2, 2, 3, 3}},
};

class VelloxCups : public KitTest, public ::testing::WithParamInterface<RunCase> {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        REQUIRE_CUPS_PDF_QUEUE();
        CreateKit("");
        ASSERT_TRUE(Printer().Available()) << "CUPS gave no default printer";
        title = cupspdf::UniqueTitle(QStringLiteral("QuorvaKit"));
    }

    // Three pages or more, each footed with its number.
    void Compose() {
        kit->SetPrintTitle(title);
        kit->SetHLeft(hfEmpty);
        kit->SetHCenter(hfEmpty);
        kit->SetHRight(hfEmpty);
        kit->SetFLeft(hfEmpty);
        kit->SetFCenter(hfEmpty);
        kit->SetFRight(hfPageNr);
        kit->BuildHeaderFooter();
        kit->SetColumnLayout(QStringLiteral("<100"));
        kit->BeginDocument();
        int row = 1;
        while (kit->PageCount() < 3)
            kit->WriteLine(QStringLiteral("Row %1").arg(row++));
        // A page holding no row would not be kept.
        kit->WriteLine(QStringLiteral("Row %1").arg(row));
        kit->EndDocument();
    }

    QString title;
};

TEST_P(VelloxCups, TheRangeArrivesInTheOrderOfTheCopies) {
    const RunCase& run = GetParam();
    Compose();
    kit->SetFromPage(2);
    kit->SetToPage(3);
    kit->SetCopies(run.copies);
    kit->SetCollate(run.collate);
    ASSERT_TRUE(kit->PrintPages());

    const QString pdf = cupspdf::WaitForPdf(title);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF for " << title.toStdString() << " in "
                                << cupspdf::OutFolder().toStdString();
    const QString info = pdftools::Info(pdf);
    EXPECT_TRUE(
        info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(run.pages.size()))))
        << info.toStdString();
    const QStringList pages = pdftools::Text(pdf).split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), run.pages.size());
    for (qsizetype i = 0; i < run.pages.size(); ++i) {
        const QRegularExpression number(QStringLiteral("\\bPage %1\\b").arg(run.pages[i]));
        EXPECT_TRUE(pages[i].contains(number)) << "PDF page " << i + 1 << ":\n"
                                               << pages[i].toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, VelloxCups, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });
}  // namespace
