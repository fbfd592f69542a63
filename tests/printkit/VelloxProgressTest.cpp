#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "KitFixture.h"
#include "ProgressText.h"
#include "VelloxPrgDlg.h"

namespace {
struct PageTextCase {
    const char* name;
    int current, first, last, copies;
    const char* text;
};

class ProgressPageTextTable : public ::testing::TestWithParam<PageTextCase> {};

TEST_P(ProgressPageTextTable, CountsFromPageOne) {
    const PageTextCase& c = GetParam();
    EXPECT_EQ(ProgressPageText(QStringLiteral("Page "), c.current, c.first, c.last, c.copies),
              QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Labels, ProgressPageTextTable,
    ::testing::Values(PageTextCase{"WithCopies", 3, 1, 12, 2, "Page 3 of 12 x 2 Copies"},
                      PageTextCase{"OneCopy", 3, 1, 12, 1, "Page 3 of 12"},
                      PageTextCase{"RangeNotFromOne", 5, 4, 9, 2, "Page 5"},
                      PageTextCase{"NothingExpected", 1, 1, 0, 1, "Page 1 of 0"}),
    [](const auto& info) { return std::string(info.param.name); });

class VelloxProgress : public KitTest {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        CreateKit("none");
        kit->SetShowProgress(true);
    }
};

TEST_F(VelloxProgress, ShowsStatusPagesAndCopies) {
    kit->SetCopies(2);
    kit->SetPrintTitle(QStringLiteral("Orders"));
    kit->UpdateProgress(QStringLiteral("Working"), QStringLiteral("Page "), 3, 1, 12);
    TVelloxPrgDlg* window = kit->ProgressDialog();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Orders"));
    EXPECT_EQ(window->lblStatus->text(), QStringLiteral("Working"));
    EXPECT_EQ(window->lblPageNumber->text(), QStringLiteral("Page 3 of 12 x 2 Copies"));
    EXPECT_EQ(window->ProgBar->maximum(), 24);
    EXPECT_EQ(window->ProgBar->value(), 1);

    kit->UpdateProgress(QString(), QStringLiteral("Page "), 4, 1, 12);
    EXPECT_EQ(kit->ProgressDialog(), window);
    EXPECT_EQ(window->lblStatus->text(), QStringLiteral("Sending to printer"));
    EXPECT_EQ(window->ProgBar->value(), 2);

    kit->UpdateProgress(QStringLiteral("<FINISH>"), {}, 0, 0, 0);
    EXPECT_EQ(kit->ProgressDialog(), nullptr);
}

TEST_F(VelloxProgress, StopSetsTheCancelFlag) {
    kit->UpdateProgress(QStringLiteral("Working"), QStringLiteral("Page "), 1, 1, 2);
    ASSERT_NE(kit->ProgressDialog(), nullptr);
    EXPECT_EQ(kit->ProgressDialog()->btnCancel->text(), QStringLiteral("&Stop"));
    kit->ProgressDialog()->btnCancel->click();
    EXPECT_TRUE(kit->CancelRequested());
    EXPECT_NE(kit->ProgressDialog(), nullptr);
}

TEST_F(VelloxProgress, EscapePressesStopInsteadOfClosing) {
    kit->UpdateProgress(QStringLiteral("Working"), QStringLiteral("Page "), 1, 1, 2);
    kit->ProgressDialog()->reject();
    EXPECT_TRUE(kit->CancelRequested());
    EXPECT_TRUE(kit->ProgressDialog()->isVisible());
}

TEST_F(VelloxProgress, WithoutCancelTheButtonRowIsCutOff) {
    kit->SetShowCancel(false);
    kit->UpdateProgress(QStringLiteral("Working"), QStringLiteral("Page "), 1, 1, 2);
    TVelloxPrgDlg* window = kit->ProgressDialog();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->btnCancel->isVisible());
    EXPECT_FALSE(window->btnCancel->isEnabled());
    EXPECT_EQ(window->height(), window->logicalDpiY() * 98 / 96);
}

TEST_F(VelloxProgress, NothingIsShownWithProgressOff) {
    kit->SetShowProgress(false);
    kit->UpdateProgress(QStringLiteral("Working"), QStringLiteral("Page "), 1, 1, 2);
    EXPECT_EQ(kit->ProgressDialog(), nullptr);
    kit->UpdateProgress(QStringLiteral("<FINISH>"), {}, 0, 0, 0);
    EXPECT_EQ(kit->ProgressDialog(), nullptr);
}

TEST_F(VelloxProgress, CompositionReportsEachPage) {
    kit->SetExpectedPages(3);
    QStringList seen;
    kit->SetOnNewPage([&](QObject*) {
        seen << kit->ProgressDialog()->lblStatus->text() + QLatin1Char(':') +
                    kit->ProgressDialog()->lblPageNumber->text();
    });
    kit->BeginDocument();
    kit->NewPage();
    kit->EndDocument();
    EXPECT_EQ(seen, QStringList(
                        {"Regenerating Preview:Page 1 of 3", "Regenerating Preview:Page 2 of 3"}));
}

TEST(VelloxPrgDlg, BarStartsOverPastItsMaximum) {
    TVelloxPrgDlg window;
    window.ProgBar->setMaximum(2);
    window.StepIt();
    window.StepIt();
    EXPECT_EQ(window.ProgBar->value(), 2);
    window.StepIt();
    EXPECT_EQ(window.ProgBar->value(), 0);
    EXPECT_EQ(window.size(), QSize(293, 133));
}
}  // namespace
