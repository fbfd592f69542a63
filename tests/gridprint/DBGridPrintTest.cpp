#include <gtest/gtest.h>

#include <QFile>
#include <QHeaderView>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "ColumnGroups.h"
#include "DBGridPrt.h"
#include "ProgramCounters.h"
#include "db/ADOQuery.h"
#include "db/DBGrid.h"
#include "metafile/Metafile.h"
#include "platform/DbTestSupport.h"
#include "printkit/KitFixture.h"

namespace {
// `rows` orders of three columns: number, customer and amount.
QString OrdersSql(int rows) {
    return QStringLiteral(
               "CREATE TABLE orders(id INTEGER PRIMARY KEY, customer VARCHAR(20), amount REAL);"
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
               "INSERT INTO orders SELECT i, 'Customer ' || i, i * 1.5 FROM n;")
        .arg(rows);
}

class GridPrint : public KitTest {
  protected:
    void Open(int rows, const QString& select = QStringLiteral("SELECT * FROM orders")) {
        query.Close();
        connection.Close();
        file = std::make_unique<TestDatabaseFile>(OrdersSql(rows));
        OpenConnection(connection, QStringLiteral("Provider=SQLite;Data Source=") + file->Path());
        query.SetConnection(&connection);
        query.SQL() = QStringList{select};
        source.SetDataSet(&query);
        grid.SetDataSource(&source);
        query.Open();
        SelectPrinter("none");
        print = std::make_unique<TDBGridPrint>();
        print->SetShowProgress(false);
        print->SetAsgnDBGrid(&grid);
    }
    void TearDown() override {
        print.reset();
        KitTest::TearDown();
    }

    // The texts between the margins of a page (not header or footer) in recording order,
    // blanks trimmed.
    QStringList Texts(int page) const {
        QStringList texts;
        const int top = print->TopMarginPixels();
        const int bottom = print->Pages(page).Height() - print->BottomMarginPixels();
        for (const auto& run : print->Pages(page).TextRuns())
            if (run.position.y() >= top && run.position.y() < bottom)
                texts << run.text.trimmed();
        return texts;
    }

    std::unique_ptr<TestDatabaseFile> file;
    TADOConnection connection;
    TADOQuery query;
    TDataSource source;
    TDBGrid grid;
    std::unique_ptr<TDBGridPrint> print;
};

TEST(ExpectedPages, FiftyFiveRowsAPageRoundedHalfToEven) {
    EXPECT_EQ(ExpectedPagesFor(0, 0), 1);
    EXPECT_EQ(ExpectedPagesFor(100, 0), 2);
    EXPECT_EQ(ExpectedPagesFor(110, 0), 2);
    EXPECT_EQ(ExpectedPagesFor(165, 0), 4);
    EXPECT_EQ(ExpectedPagesFor(100, 1), 6);
}

TEST(GroupRows, BlankBarsAndTwoTrailingBlanks) {
    TColumnArray group(3);
    for (auto& column : group)
        column.Width = 10;
    group[1].Visible = false;
    const QStringList texts{"A", "B", "C"};
    GroupWidth = 0;
    EXPECT_EQ(GroupRow(group, true, muMillimeters, true, [&](size_t i) { return texts[int(i)]; }),
              QStringLiteral(" A |  | C  "));
    EXPECT_EQ(GroupWidth, 20);
    EXPECT_EQ(GroupRow(group, false, muMillimeters, false, [&](size_t i) { return texts[int(i)]; }),
              QStringLiteral("A |  | C  "));
}

TEST_F(GridPrint, ColumnsThatFitMakeOneGroupWithTitleRowsOnEveryPage) {
    Open(120);
    print->BuildFromGrid();
    EXPECT_EQ(LastColumnGroup, 0);
    ASSERT_GE(print->PageCount(), 2);
    const QStringList first = Texts(1);
    ASSERT_GE(first.size(), 6);
    EXPECT_EQ(first.mid(0, 3), QStringList({"id", "customer", "amount"}));
    EXPECT_EQ(first.mid(3, 3), QStringList({"1", "Customer 1", "1.5"}));
    const QStringList second = Texts(2);
    EXPECT_EQ(second.mid(0, 3), QStringList({"id", "customer", "amount"}));
    EXPECT_EQ(print->ZoomLocation(), zlTopCenter);
    EXPECT_EQ(print->PageNumber(), 1);
    EXPECT_EQ(seam->Cursor(), crDefault);
    EXPECT_EQ(print->ExpectedPages(), 2);
}

TEST_F(GridPrint, TheFirstTitleRowStartsWithABlankAndContinuationsDoNot) {
    Open(120);
    print->BuildFromGrid();
    const auto firstCell = [&](int page) {
        for (const auto& run : print->Pages(page).TextRuns())
            if (run.text.contains(QStringLiteral("id")))
                return run.text;
        return QString();
    };
    EXPECT_EQ(firstCell(1), QStringLiteral(" id "));
    EXPECT_EQ(firstCell(2), QStringLiteral("id "));
}

TEST_F(GridPrint, VisibleColumnsAreWidenedToFillTheTextArea) {
    Open(3);
    TTableLineColumnInfo info;
    print->BuildFromGrid();
    CurrentColumnGroup = 0;
    long double total = 0;
    for (int column = 1; column <= 3; ++column) {
        print->GetColumnInfo(print.get(), column, info);
        total += info.Width;
    }
    EXPECT_NEAR(double(total), double(print->TextAreaWidth()), 1e-9)
        << double(GroupWidth) << " " << double(GroupWidthLimit);

    print->SetFitPrintToPage(false);
    total = 0;
    for (int column = 1; column <= 3; ++column) {
        print->GetColumnInfo(print.get(), column, info);
        total += info.Width;
    }
    EXPECT_NEAR(double(total), double(GroupWidth), 1e-9);
}

TEST_F(GridPrint, AWideGridSplitsIntoGroupsEachOnItsOwnPages) {
    Open(10);
    for (int i = 0; i < grid.Columns().Count(); ++i)
        grid.Columns().SetWidth(i, 400);  // 100 mm each on a 160 mm text area
    print->BuildFromGrid();
    EXPECT_EQ(LastColumnGroup, 2);
    EXPECT_EQ(ColumnGroups.size(), 3u);
    ASSERT_EQ(print->PageCount(), 3);
    EXPECT_EQ(Texts(1).mid(0, 2), QStringList({"id", "1"}));
    EXPECT_EQ(Texts(2).mid(0, 2), QStringList({"customer", "Customer 1"}));
    EXPECT_EQ(Texts(3).mid(0, 2), QStringList({"amount", "1.5"}));
    EXPECT_EQ(print->ExpectedPages(), 4);
}

TEST_F(GridPrint, HiddenAndNarrowColumnsPrintEmptyCells) {
    Open(1);
    grid.horizontalHeader()->setMinimumSectionSize(1);
    grid.Columns()[1].SetVisible(false);
    grid.Columns().SetWidth(2, 7);
    print->BuildFromGrid();
    const QStringList texts = Texts(1);
    EXPECT_EQ(texts.mid(0, 3), QStringList({"id", "", ""}));
    EXPECT_EQ(texts.mid(3, 3), QStringList({"1", "", ""}));
}

TEST_F(GridPrint, NothingPrintableGivesOneMessageAndAnEmptyDocument) {
    Open(1, QStringLiteral("SELECT * FROM orders WHERE id < 0"));
    print->BuildFromGrid();
    EXPECT_EQ(print->PageCount(), 0);

    Open(2);
    for (int i = 0; i < grid.Columns().Count(); ++i)
        grid.Columns()[i].SetVisible(false);
    print->BuildFromGrid();
    EXPECT_EQ(print->PageCount(), 0);

    print->SetAsgnDBGrid(nullptr);
    print->BuildFromGrid();
    EXPECT_EQ(print->PageCount(), 0);
    const QString message =
        QStringLiteral("No grid assigned to Rurovazi or none grid column available or visible!");
    // Without a grid nothing is rendered and nothing is said.
    EXPECT_EQ(seam->Texts(QStringLiteral("error")), QStringList({message, message}));
    EXPECT_EQ(seam->Cursor(), crDefault);
}

TEST_F(GridPrint, AValueWithABarStaysInItsCell) {
    Open(1, QStringLiteral("SELECT id, 'a|b' AS odd, amount FROM orders"));
    print->BuildFromGrid();
    EXPECT_EQ(Texts(1).mid(3, 3), QStringList({"1", QStringLiteral("a\u00A6b"), "1.5"}));
}

TEST_F(GridPrint, StopWhileComposingReachesTheCaller) {
    Open(400);
    print->SetShowProgress(true);
    // Stop is pressed as the second page starts.
    print->SetOnNewPage([](QObject* sender) {
        auto* kit = static_cast<TDBGridPrint*>(sender);
        if (kit->PageNumber() == 2)
            kit->CancelPrinting();
    });
    EXPECT_THROW(print->BuildFromGrid(), ECancelPrinting);
    EXPECT_FALSE(print->IsPrinting());
    EXPECT_EQ(print->ProgressDialog(), nullptr);
    EXPECT_EQ(seam->Cursor(), crDefault);
    EXPECT_FALSE(query.ControlsDisabled());
    print->SetOnNewPage(nullptr);
    print->BuildFromGrid();
    EXPECT_GE(print->PageCount(), 7);
}

TEST_F(GridPrint, PrintToTextFileSavesTheRecomposedRows) {
    Open(2);
    print->BuildFromGrid();
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("grid.txt"));
    seam->AnswerPrintDialog(TPrintDialogAnswer{prAllPages, 0, 0, true});
    seam->AnswerInput(target);
    print->Print();
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray(" id \t customer \t amount  \r\n"
                                          " 1 \t Customer 1 \t 1.5  \r\n"
                                          " 2 \t Customer 2 \t 3  \r\n"));
    EXPECT_GE(print->PageCount(), 1);
}

class GridPrintPdf : public GridPrint {};

TEST_F(GridPrintPdf, PrintsTheGridIntoAPdf) {
    if (const QString missing = pdftools::Missing(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    Open(120);
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("grid.pdf"));
    Printer().Select(TPrinterSelection::Pdf(300, pdf));
    print = std::make_unique<TDBGridPrint>();
    print->SetShowProgress(false);
    print->SetAsgnDBGrid(&grid);
    print->BuildFromGrid();
    EXPECT_TRUE(print->PrintPages());
    const QString text = pdftools::Text(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Customer 120"))) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("customer")), print->PageCount());
}
}  // namespace
