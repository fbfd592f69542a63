#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>

#include "ColumnGroups.h"
#include "DBGridPrt.h"
#include "ProgramCounters.h"
#include "db/components/ADOQuery.h"
#include "db/grid/DBGrid.h"
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
    EXPECT_EQ(GroupCells(group, true, muMillimeters, true, [&](size_t i) { return texts[int(i)]; })
                  .join(QLatin1Char('|')),
              QStringLiteral(" A |  | C  "));
    EXPECT_EQ(GroupWidth, 20);
    EXPECT_EQ(
        GroupCells(group, false, muMillimeters, false, [&](size_t i) { return texts[int(i)]; })
            .join(QLatin1Char('|')),
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

// Values that look like the kit's own codes, two columns to a group.
const QStringList kOddValues{"a|b", "|", "{$PAGE}", "{$", "x{$LINE}y", QStringLiteral("\u00A6")};

QString OddValuesSql() {
    QStringList columns{QStringLiteral("id")};
    for (int i = 0; i < kOddValues.size(); ++i)
        columns << QStringLiteral("'%1' AS v%2").arg(kOddValues[i], QString::number(i));
    return QStringLiteral("SELECT %1 FROM orders").arg(columns.join(QStringLiteral(", ")));
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST_F(GridPrint, DataValuesArePrintedAsStoredInTheirOwnColumns) {
    Open(1, OddValuesSql());
    for (int i = 0; i < grid.Columns().Count(); ++i)
        grid.Columns().SetWidth(i, 300);  // 75 mm: two columns a group on a 160 mm text area
    print->BuildFromGrid();
    ASSERT_EQ(LastColumnGroup, 3);
    ASSERT_EQ(print->PageCount(), 4);
    const QStringList values = QStringList{"1"} + kOddValues;
    for (int group = 0; group < 4; ++group) {
        const QStringList texts = Texts(group + 1);
        const qsizetype columns = group < 3 ? 2 : 1;
        EXPECT_EQ(texts.mid(columns, columns), values.mid(group * 2, columns)) << group;
    }

    // The rows collected for the text output, and the file a composition to text writes.
    QTemporaryDir folder;
    const QString rows = folder.filePath(QStringLiteral("rows.txt"));
    seam->AnswerPrintDialog(TPrintDialogAnswer{prAllPages, 0, 0, true});
    seam->AnswerInput(rows);
    print->Print();
    const QByteArray expected = QStringLiteral(
                                    " id \t v0  \r\n 1 \t a|b  \r\n"
                                    " v1 \t v2  \r\n | \t {$PAGE}  \r\n"
                                    " v3 \t v4  \r\n {$ \t x{$LINE}y  \r\n"
                                    " v5  \r\n \u00A6  \r\n")
                                    .toUtf8();
    EXPECT_EQ(ReadFile(rows), expected);

    const QString composed = folder.filePath(QStringLiteral("composed.txt"));
    print->SetWSFileName(composed);
    print->SetPrintToFile(true);
    print->BuildFromGrid();
    const QString text = QString::fromUtf8(ReadFile(composed));
    for (const QString& value : values)
        EXPECT_TRUE(text.contains(QLatin1Char(' ') + value + QLatin1Char(' ')))
            << value.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral(" - "))) << text.toStdString();
}

// Titles are column names, so they are data too; binary data prints as the grid shows it.
TEST_F(GridPrint, TitlesAndBinaryCellsArePrintedAsTheGridShowsThem) {
    Open(1, QStringLiteral("SELECT id AS \"x|y\", customer AS \"{$PAGE}\", "
                           "CAST(X'00FF41' AS BLOB) AS b FROM orders"));
    ASSERT_TRUE(query.Fields(2).IsBinary());
    print->BuildFromGrid();
    ASSERT_EQ(print->PageCount(), 1);
    EXPECT_EQ(Texts(1), QStringList({"x|y", "{$PAGE}", "b", "1", "Customer 1", "(BLOB)"}));

    QTemporaryDir folder;
    const QString rows = folder.filePath(QStringLiteral("rows.txt"));
    seam->AnswerPrintDialog(TPrintDialogAnswer{prAllPages, 0, 0, true});
    seam->AnswerInput(rows);
    print->Print();
    EXPECT_EQ(ReadFile(rows), QByteArray(" x|y \t {$PAGE} \t b  \r\n"
                                         " 1 \t Customer 1 \t (BLOB)  \r\n"));
}

TEST_F(GridPrint, AStoppedOrFailedDocumentWritesNoFileAndReportsNoSuccess) {
    struct Case {
        const char* name;
        std::function<void(TDBGridPrint&, TADOQuery&)> meddle;
        const char* error;
    };
    const Case cases[] = {
        {"closed under the run", [](TDBGridPrint&, TADOQuery& query) { query.Close(); },
         "Cannot perform this operation on a closed dataset"},
        {"stopped on the last page", [](TDBGridPrint& kit, TADOQuery&) { kit.CancelPrinting(); },
         "Printing cancelled"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(60);
        QTemporaryDir folder;
        const QString target = folder.filePath(QStringLiteral("grid.txt"));
        {
            QFile old(target);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("previous\r\n");
        }
        print->SetWSFileName(target);
        print->SetPrintToFile(true);
        // The meddling comes after the 50th row: no page start follows it in a text file.
        int lines = 0;
        print->SetOnNewLine([&](QObject*) {
            if (++lines == 52)
                c.meddle(*print, query);
        });
        try {
            print->BuildFromGrid();
            ADD_FAILURE() << "no error reached the caller";
        } catch (const Exception& error) {
            EXPECT_EQ(error.Message(), QString::fromLatin1(c.error));
        }
        EXPECT_EQ(ReadFile(target), QByteArray("previous\r\n"));
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"grid.txt"});
        EXPECT_TRUE(seam->Texts(QStringLiteral("message")).isEmpty());
        EXPECT_FALSE(print->IsPrinting());
        EXPECT_EQ(seam->Cursor(), crDefault);
        seam->Clear();
    }
}

// The pages of a document and the page marks of their footers.
class GridPrintPages : public GridPrint {
  protected:
    QStringList Footers() const {
        QStringList marks;
        for (int page = 1; page <= print->PageCount(); ++page) {
            for (const auto& run : print->Pages(page).TextRuns())
                if (run.text.contains(QStringLiteral("Page")))
                    marks << run.text.trimmed();
        }
        return marks;
    }
    // Texts between the margins of each page: titles and data.
    std::vector<int> TextsPerPage() const {
        std::vector<int> rows;
        for (int page = 1; page <= print->PageCount(); ++page)
            rows.push_back(int(Texts(page).size()));
        return rows;
    }
    void SplitInTwo() {
        for (int i = 0; i < grid.Columns().Count(); ++i)
            grid.Columns().SetWidth(i, i == 0 ? 600 : 200);  // 150 mm, then 2 x 50 mm
    }
};

TEST_F(GridPrintPages, EveryGroupNumbersItsOwnPagesAndEveryPrintStartsAfresh) {
    Open(3);
    SplitInTwo();
    for (int run = 0; run < 2; ++run) {
        print->BuildFromGrid();
        EXPECT_EQ(Footers(), QStringList({"Page 1 - 1/1", "Page 2 - 1/2"})) << run;
    }
}

TEST_F(GridPrintPages, NoSheetWithoutDataRows) {
    Open(300);
    print->BuildFromGrid();
    // Rows that fill the first page exactly: page 1 holds the titles and these.
    const int full = int(Texts(1).size()) / 3 - 1;
    ASSERT_GT(full, 10);
    struct Case {
        int rows;
        bool split;
        QStringList footers;
    };
    const Case cases[] = {
        {full, false, {"Page 1"}},
        {full + 1, false, {"Page 1", "Page 2"}},
        {full, true, {"Page 1 - 1/1", "Page 2 - 1/2"}},
        {full + 1, true, {"Page 1 - 1/1", "Page 2 - 2/1", "Page 3 - 1/2", "Page 4 - 2/2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << (c.split ? " split" : ""));
        Open(c.rows);
        if (c.split)
            SplitInTwo();
        print->BuildFromGrid();
        EXPECT_EQ(Footers(), c.footers);
        const std::vector<int> texts = TextsPerPage();
        for (size_t page = 0; page < texts.size(); ++page) {
            // The footer ends with the page's group: the first holds one column, the second two.
            const QString footer = c.footers[qsizetype(page)];
            const int columns = !c.split ? 3 : footer.endsWith(QStringLiteral("/1")) ? 1 : 2;
            EXPECT_GT(texts[page], columns) << "page " << page + 1 << " holds only titles";
        }
    }
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

class GridPrintPdf : public GridPrint {
  protected:
    // Prints the open grid into a PDF and gives its text.
    QString PrintedText() {
        const QString pdf = folder.filePath(QStringLiteral("grid.pdf"));
        Printer().Select(TPrinterSelection::Pdf(300, pdf));
        print = std::make_unique<TDBGridPrint>();
        print->SetShowProgress(false);
        print->SetAsgnDBGrid(&grid);
        print->BuildFromGrid();
        EXPECT_TRUE(print->PrintPages());
        return pdftools::Text(pdf);
    }
    QTemporaryDir folder;
};

TEST_F(GridPrintPdf, PrintsTheGridIntoAPdf) {
    if (const QString missing = pdftools::Missing(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    Open(120);
    const QString text = PrintedText();
    EXPECT_TRUE(text.contains(QStringLiteral("Customer 120"))) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("customer")), print->PageCount());

    Open(1, OddValuesSql());
    for (int i = 0; i < grid.Columns().Count(); ++i)
        grid.Columns().SetWidth(i, 300);
    const QString odd = PrintedText();
    for (const QString& value : kOddValues)
        EXPECT_TRUE(odd.contains(value)) << value.toStdString() << "\n" << odd.toStdString();
    EXPECT_FALSE(odd.contains(QStringLiteral("{$PAGE} -")));
}
}  // namespace
