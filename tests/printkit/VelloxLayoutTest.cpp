#include <gtest/gtest.h>

#include <QDate>

#include "DateTimeText.h"
#include "KitFixture.h"
#include "LocaleText.h"
#include "ProgramCounters.h"

namespace {
class VelloxLayout : public KitTest {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        CreateKit("none");
    }
    void TearDown() override {
        LastColumnGroup = -1;
        ColumnGroupNumber = 0;
        DocumentPageNumber = 0;
        KitTest::TearDown();
    }
    void DefaultSelectors() {
        kit->SetHLeft(hfEmpty);
        kit->SetHCenter(hfText);
        kit->SetHRight(hfEmpty);
        kit->SetFLeft(hfDate);
        kit->SetFCenter(hfText);
        kit->SetFRight(hfPageNr);
    }
    // The compiled text, accepting a date taken on either side of midnight.
    static bool SameUpToDate(const QString& actual, const QString& withToday,
                             const QString& withYesterday) {
        return actual == withToday || actual == withYesterday;
    }
};

TEST_F(VelloxLayout, AssignedLayoutsAreNormalized) {
    kit->SetColumnLayout(QStringLiteral("30"));
    EXPECT_EQ(kit->ColumnLayout(), QStringLiteral("<30"));
    kit->SetColumnLayout(QStringLiteral(">"));
    EXPECT_EQ(kit->ColumnLayout(), QStringLiteral(">25"));
    kit->SetColumnLayout(QStringLiteral("|"));
    EXPECT_EQ(kit->ColumnLayout(), QStringLiteral("<25|<25"));
    kit->SetColumnLayout(QStringLiteral("^abc"));
    EXPECT_EQ(kit->ColumnLayout(), QStringLiteral("^25"));
    kit->SetColumnLayout(QString());
    EXPECT_EQ(kit->ColumnLayout(), QString());
    kit->SetDefaultColumnWidth(12.5L);
    kit->SetFooterLayout(QStringLiteral("^"));
    EXPECT_EQ(kit->FooterLayout(), Dec("^12.5"));
}

TEST_F(VelloxLayout, HeaderAndFooterFromTheDefaultSelectors) {
    DefaultSelectors();
    kit->SetHeaderText(QStringLiteral("Sales"));
    const QString before = ShortDateText(QDate::currentDate());
    kit->BuildHeaderFooter();
    const QString after = ShortDateText(QDate::currentDate());

    EXPECT_EQ(kit->HeaderLayout(), QStringLiteral("<32|^96|>32"));
    EXPECT_EQ(kit->FooterLayout(), kit->HeaderLayout());
    EXPECT_EQ(kit->HeaderLine(), QStringLiteral("&l &cSales&r "));
    EXPECT_EQ(kit->HeaderCells(), QStringLiteral(" |Sales| "));
    EXPECT_EQ(kit->FooterLine(), QStringLiteral("&l&d&c&r Page &p"));
    EXPECT_TRUE(SameUpToDate(kit->FooterCells(), after + QStringLiteral("|| Page {$PAGE}"),
                             before + QStringLiteral("|| Page {$PAGE}")))
        << kit->FooterCells().toStdString();
    // The footer's date has the century, as the printed data's dates have.
    EXPECT_TRUE(ShortDateText(QDate(2024, 1, 2)).contains(QStringLiteral("2024")));
}

TEST_F(VelloxLayout, HeaderTextIsInsertedWithItsCodes) {
    DefaultSelectors();
    kit->SetHeaderText(QStringLiteral("A&&B"));
    kit->SetFooterText(QStringLiteral("File &f"));
    kit->SetWSFileName(QStringLiteral("/data/export/orders.txt"));
    kit->BuildHeaderFooter();
    EXPECT_EQ(kit->HeaderCells(), QStringLiteral(" |A&B| "));
    EXPECT_TRUE(kit->FooterCells().contains(QStringLiteral("|File orders.txt|")));
}

TEST_F(VelloxLayout, HeaderWidthsFollowTheTextAreaInInches) {
    kit->SetMeasureUnit(muInches);
    kit->BuildHeaderFooter();
    // 8.5 in less two margins of 25 mm.
    const QStringList items = kit->HeaderLayout().split(QLatin1Char('|'));
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0], Dec("<1.30629921259843"));
    EXPECT_EQ(items[1], Dec("^3.91889763779528"));
    EXPECT_EQ(items[2], Dec(">1.30629921259843"));
}

TEST_F(VelloxLayout, MacrosReadTheRunsCounters) {
    kit->BeginDocument();
    kit->NewPage();
    kit->NewPage();
    EXPECT_EQ(kit->ExpandMacros(QStringLiteral(" Page {$PAGE}")), QStringLiteral(" Page 3"));
    EXPECT_EQ(kit->ExpandMacros(QStringLiteral("{$PAGE}/{$PAGE}")), QStringLiteral("3/3"));
    EXPECT_EQ(kit->ExpandMacros(QStringLiteral("{$TITLE}|{$OTHER}")),
              QStringLiteral("Velloxing|{$OTHER}"));

    LastColumnGroup = 1;
    ColumnGroupNumber = 2;
    DocumentPageNumber = 2;
    EXPECT_EQ(kit->ExpandMacros(QStringLiteral(" Page {$PAGE}")), QStringLiteral(" Page 3 - 2/2"));
    DocumentPageNumber = 0;
    ColumnGroupNumber = 0;
    EXPECT_EQ(kit->ExpandMacros(QStringLiteral("x")), QStringLiteral("x - 1/1"));
    LastColumnGroup = 0;
    EXPECT_EQ(kit->ExpandMacros(QStringLiteral("x")), QStringLiteral("x"));
    kit->EndDocument();
}

TEST_F(VelloxLayout, DatesInCodedLinesAreTakenWhenCompiled) {
    const QString before = ShortDateText(QDate::currentDate());
    kit->SetFooterLine(QStringLiteral("&cQ&d"));
    const QString after = ShortDateText(QDate::currentDate());
    EXPECT_TRUE(SameUpToDate(kit->FooterCells(), QStringLiteral("Q") + after,
                             QStringLiteral("Q") + before));
    kit->SetFooterLine(QStringLiteral("&x&"));
    EXPECT_EQ(kit->FooterCells(), QStringLiteral(" "));
}

TEST(DateTimeText, LongTimeHasNoTimeZone) {
    const QString text = LongTimeText(QTime(9, 30, 15));
    EXPECT_TRUE(text.contains(QStringLiteral("30"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("UTC")) || text.contains(QStringLiteral("GMT")))
        << text.toStdString();
    EXPECT_EQ(text, text.trimmed());
}
}  // namespace
