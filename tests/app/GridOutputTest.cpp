#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextBlock>
#include <csignal>

#include "MainWindowFixture.h"
#include "printkit/KitFixture.h"
#include "support/PdfTools.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A database made of `statements`, at `path`.
void MakeDatabase(const QString& path, const QStringList& statements) {
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("gridsave"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(db.transaction());
        for (const QString& sql : statements)
            ASSERT_TRUE(query.exec(sql)) << sql.toStdString();
        ASSERT_TRUE(db.commit());
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("gridsave"));
}

const QString kLongName = QStringLiteral("a_field_name_that_is_much_longer_than_forty_chars");

QStringList ShopStatements() {
    QStringList sql = {
        "CREATE TABLE stock (id INTEGER PRIMARY KEY, name VARCHAR(50), qty INTEGER)",
        "INSERT INTO stock VALUES (1, 'pen', 2), (2, NULL, 5), (3, 'Bücher', NULL)",
        "CREATE TABLE items (id INTEGER PRIMARY KEY, name VARCHAR(50), " + kLongName +
            " CHAR(8), note TEXT, price REAL)",
        "CREATE TABLE notes (id INTEGER, body TEXT)",
        "INSERT INTO notes VALUES (1, 'two' || char(10) || 'lines'), (2, 'tab' || char(9) || "
        "'inside')"};
    QString wide = QStringLiteral("CREATE TABLE wide (f000 INTEGER");
    for (int i = 1; i < 150; ++i)
        wide += QStringLiteral(", f%1 VARCHAR(%2)").arg(i, 3, 10, QLatin1Char('0')).arg(i);
    sql << wide + QLatin1Char(')');
    return sql;
}

}  // namespace

// A window connected to a test database, with no printer unless a test selects one.
class GridOutputTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        savedPrinter_ = qgetenv(TPrinterSelection::kVariable);
        SelectPrinter("none");
        database = temp.filePath("shop.db");
        MakeDatabase(database, ShopStatements());
        OpenSqliteFile(database);
        ASSERT_TRUE(form->IsConnected());
        seam->Clear();
    }
    void TearDown() override {
        SelectPrinter(savedPrinter_);
        MainWindowTest::TearDown();
    }

    void Run(const QString& sql) {
        form->Memo1->setPlainText(sql);
        form->ExecuteButton->click();
        ASSERT_TRUE(seam->Texts("error").isEmpty()) << seam->Texts("error").join('|').toStdString();
        seam->Clear();
    }
    void SaveTo(const QString& path) {
        seam->AnswerSaveFile(path);
        form->Button5->click();
    }
    void SelectTable(const QString& name) {
        if (form->ListBox1->count() == 0)
            form->TableButton->click();
        const auto items = form->ListBox1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        form->ListBox1->setCurrentItem(items.first());
        seam->Clear();
    }
    QStringList ReportLines() const {
        return form->RichEdit1->toPlainText().split(QLatin1Char('\n'));
    }
    TDataSet& Grid() const { return *form->DataSource1->DataSet(); }

    QString database;

  private:
    QByteArray savedPrinter_;
};

TEST_F(GridOutputTest, SavesEveryRecordTabSeparatedAndReturnsToTheCurrentOne) {
    Run("SELECT name, qty FROM stock ORDER BY id");
    Grid().SetRecNo(2);
    const QString path = temp.filePath("stock.txt");
    SaveTo(path);

    EXPECT_EQ(ReadAll(path), QByteArray("pen\t2\r\n\t5\r\nB\xC3\xBC"
                                        "cher\t\r\n"));
    EXPECT_EQ(seam->Texts("message"), QStringList("Grid saved to " + path));
    EXPECT_EQ(Grid().RecNo(), 2);
    EXPECT_FALSE(Grid().ControlsDisabled());
    EXPECT_TRUE(form->RichEdit2->toPlainText().isEmpty()) << "the rows go to the file alone";
    EXPECT_EQ(seam->cursorHistory, (std::vector<TCursor>{crHourGlass, crDefault}));
    ASSERT_EQ(seam->fileRequests.size(), 1u);
    const TFileDialogRequest& request = seam->fileRequests[0];
    EXPECT_EQ(request.title, QStringLiteral("Save Grid Data"));
    EXPECT_EQ(request.filter, QStringLiteral("Text file (Tab Delimited) (*.txt)|*.txt|"));
    EXPECT_EQ(request.defaultExt, QStringLiteral("txt"));
    EXPECT_TRUE(request.overwritePrompt);
}

// A new record nobody typed into goes when focus leaves the grid, here for "Save grid" as a
// click gives it focus; the save then writes the stored rows.
TEST_F(GridOutputTest, UntouchedNewRecordGoesWhenFocusLeavesTheGrid) {
    struct Case {
        const char* name;
        Qt::Key key;
        qsizetype recNo;
    };
    const Case cases[] = {{"Insert", Qt::Key_Insert, 2}, {"DownOnTheLastRow", Qt::Key_Down, 3}};
    Run("SELECT name, qty FROM stock ORDER BY id");
    form->CheckBox1->click();
    form->show();
    form->activateWindow();
    QApplication::setActiveWindow(form);
    const QString path = temp.filePath("stock.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        seam->Clear();
        Grid().SetRecNo(c.recNo);
        form->DBGrid1->setFocus(Qt::MouseFocusReason);
        QKeyEvent press(QEvent::KeyPress, c.key, Qt::NoModifier);
        QApplication::sendEvent(form->DBGrid1, &press);
        ASSERT_EQ(Grid().State(), dsInsert);
        ASSERT_EQ(Grid().RecordCount(), 4);

        form->Button5->setFocus(Qt::MouseFocusReason);
        EXPECT_EQ(Grid().State(), dsBrowse);
        EXPECT_EQ(Grid().RecordCount(), 3);
        SaveTo(path);
        EXPECT_TRUE(seam->Texts("error").isEmpty()) << seam->Texts("error").join('|').toStdString();
        EXPECT_EQ(seam->Texts("message"), QStringList("Grid saved to " + path));
        EXPECT_EQ(ReadAll(path), QByteArray("pen\t2\r\n\t5\r\nB\xC3\xBC"
                                            "cher\t\r\n"));
    }
}

TEST_F(GridOutputTest, ValuesAreWrittenUnchangedSoLineBreaksAddLines) {
    Run("SELECT id, body FROM notes ORDER BY id");
    const QString path = temp.filePath("notes.txt");
    SaveTo(path);
    const QByteArray bytes = ReadAll(path);
    EXPECT_EQ(bytes, QByteArray("1\ttwo\nlines\r\n2\ttab\tinside\r\n"));
    EXPECT_GT(bytes.count('\n'), Grid().RecordCount());
}

TEST_F(GridOutputTest, NothingToSaveStopsBeforeTheDialog) {
    struct Case {
        const char* name;
        const char* sql;  // run first, when given
        const char* kind;
        const char* text;
    };
    const Case cases[] = {
        {"BeforeAnyQuery", nullptr, "error", "Cannot perform this operation on a closed dataset."},
        {"EmptyResult", "SELECT * FROM stock WHERE id > 99", "message", "No data in grid!"},
        {"AfterAChange", "UPDATE stock SET qty = 1 WHERE id = 99", "error",
         "Cannot perform this operation on a closed dataset."},
    };
    form->CheckBox2->setChecked(false);
    seam->Clear();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.sql)
            Run(QString::fromUtf8(c.sql));
        form->Button5->click();
        EXPECT_EQ(seam->Texts(c.kind), QStringList(c.text));
        EXPECT_TRUE(seam->fileRequests.empty());
        EXPECT_TRUE(seam->cursorHistory.empty());
        seam->Clear();
    }
}

TEST_F(GridOutputTest, CancelledDialogWritesNothing) {
    Run("SELECT * FROM stock");
    seam->AnswerSaveFile(std::nullopt);
    form->Button5->click();
    EXPECT_EQ(seam->fileRequests.size(), 1u);
    EXPECT_TRUE(seam->Texts("message").isEmpty());
    EXPECT_TRUE(seam->cursorHistory.empty());
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files), QStringList("shop.db"));
}

TEST_F(GridOutputTest, TargetInAMissingFolderFailsCleanly) {
    Run("SELECT * FROM stock");
    Grid().SetRecNo(3);
    const QString path = temp.filePath("missing/grid.txt");
    SaveTo(path);
    ASSERT_EQ(seam->Texts("error").size(), 1);
    EXPECT_TRUE(seam->Texts("error")[0].startsWith("Cannot create file \"" + path + "\""));
    EXPECT_TRUE(seam->Texts("message").isEmpty());
    EXPECT_EQ(seam->Cursor(), crDefault);
    EXPECT_EQ(Grid().RecNo(), 3);
    EXPECT_FALSE(Grid().ControlsDisabled());
}

// The disk filling up half way: the limit on file size stands in for it, as it holds for root
// too.
TEST_F(GridOutputTest, FailedWriteKeepsThePreviousFile) {
    QStringList rows;
    for (int i = 0; i < 2000; ++i)
        rows << QStringLiteral("(%1, 'name %1', %1)").arg(i + 10);
    MakeDatabase(database, {"INSERT INTO stock VALUES " + rows.join(',')});
    Run("SELECT * FROM stock");
    const QString path = temp.filePath("grid.txt");
    WriteAll(path, "previous contents\r\n");

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    SaveTo(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    ASSERT_EQ(seam->Texts("error").size(), 1);
    EXPECT_TRUE(seam->Texts("error")[0].startsWith("Cannot write to file \"" + path + "\""));
    EXPECT_EQ(ReadAll(path), QByteArray("previous contents\r\n"));
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files), (QStringList{"grid.txt", "shop.db"}))
        << "no partial file is left beside it";
    EXPECT_EQ(seam->Cursor(), crDefault);
    EXPECT_FALSE(Grid().ControlsDisabled());
    EXPECT_TRUE(seam->Texts("message").isEmpty());
}

TEST_F(GridOutputTest, FieldReportOfAnAccessKindNamesTheFile) {
    SelectTable("items");
    seam->AnswerPrintDialog(std::nullopt);
    form->Button3->click();

    const QString pad(40 - 4, QLatin1Char(' '));
    EXPECT_EQ(ReportLines(),
              (QStringList{
                  "Database file: " + database,
                  "",
                  "Table 'items' has 5 fields:",
                  "",
                  "Nr: Fieldname:                               Type:           Size:",
                  "000 id                                       Long Integer        -",
                  "001 name                                     String             50",
                  "002 a_field_name_that_is_much_longer_than_fo Fixed char          8",
                  "003 note                                     Memo                -",
                  "004 price                                    Float               -",
              }));
    for (const QString& line : ReportLines().mid(4))
        EXPECT_EQ(line.size(), 66) << line.toStdString();

    QTextDocument& report = *form->RichEdit1->document();
    for (QTextBlock block = report.begin(); block.isValid(); block = block.next()) {
        if (block.text().isEmpty())
            continue;
        const QTextCharFormat format = block.begin().fragment().charFormat();
        EXPECT_EQ(format.fontWeight() == QFont::Bold, block.blockNumber() < 5)
            << block.text().toStdString();
        EXPECT_EQ(format.foreground().color(), QColor(Qt::black));
    }
    EXPECT_EQ(report.defaultFont().family(), QStringLiteral("Courier New"));

    ASSERT_EQ(seam->printRequests.size(), 1u);
    EXPECT_EQ(seam->printRequests[0].maxPage, 1);
    EXPECT_FALSE(seam->printRequests[0].offerTextFile);
    EXPECT_EQ(seam->cursorHistory, (std::vector<TCursor>{crHourGlass, crDefault}));
    EXPECT_FALSE(form->ADOTable1->Active());
}

TEST_F(GridOutputTest, FieldReportOfAnotherDatabaseHasNoFileOrNameLine) {
    ChooseAdo(3);
    AnswerEditor("Provider=SQLite;Data Source=" + database + ";");
    form->OpenADOButton->click();
    ASSERT_TRUE(form->IsConnected());
    SelectTable("stock");
    seam->AnswerPrintDialog(std::nullopt);
    form->Button3->click();
    EXPECT_EQ(ReportLines().mid(0, 3),
              (QStringList{"Table 'stock' has 3 fields:", "",
                           "Nr: Fieldname:                               Type:           Size:"}));
    EXPECT_EQ(ReportLines().size(), 6);
}

TEST_F(GridOutputTest, FieldOfAnotherTableEndsTheReportUnprinted) {
    SelectTable("stock");
    form->LoadFieldsCheckbox->setChecked(false);
    SelectTable("notes");
    ASSERT_EQ(form->ListBox2->item(1)->text(), QStringLiteral("name"));
    form->Button3->click();
    EXPECT_EQ(seam->Texts("error"), QStringList("Field 'name' not found."));
    EXPECT_TRUE(seam->printRequests.empty());
    EXPECT_EQ(seam->Cursor(), crDefault);
    EXPECT_FALSE(form->ADOTable1->Active());
}

class PrintedReportTest : public GridOutputTest {
  protected:
    void SetUp() override {
        GridOutputTest::SetUp();
        if (const QString missing = pdftools::Missing(); !missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
        pdf = temp.filePath("report.pdf");
    }
    // The printed text, blanks between words made single.
    QStringList PrintedLines() const {
        QStringList lines;
        for (const QString& line : pdftools::Text(pdf, {"-layout"}).split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty())
                lines << line.simplified();
        return lines;
    }

    QString pdf;
};

TEST_F(PrintedReportTest, PrintsTheReportUnderItsTitle) {
    SelectPrinter("pdf:300:" + pdf.toUtf8());
    SelectTable("items");
    seam->AnswerPrintDialog(TPrintDialogAnswer{});
    form->Button3->click();
    ASSERT_TRUE(seam->Texts("error").isEmpty()) << seam->Texts("error")[0].toStdString();

    EXPECT_TRUE(pdftools::Info(pdf).contains(QRegularExpression("Title: +Fields of table\n")));
    EXPECT_TRUE(pdftools::Info(pdf).contains(QRegularExpression("Pages: +1\n")));
    QStringList expected;
    for (const QString& line : ReportLines())
        if (!line.isEmpty())
            expected << line.simplified();
    EXPECT_EQ(PrintedLines(), expected);
    EXPECT_EQ(seam->cursorHistory, (std::vector<TCursor>{crHourGlass, crDefault}));
}

TEST_F(PrintedReportTest, LongReportGoesOnOverSeveralPagesWithoutLosingALine) {
    SelectPrinter("pdf:300:" + pdf.toUtf8());
    SelectTable("wide");
    ASSERT_EQ(form->ListBox2->count(), 150);
    seam->AnswerPrintDialog(TPrintDialogAnswer{});
    form->Button3->click();
    ASSERT_TRUE(seam->Texts("error").isEmpty());

    const QRegularExpressionMatch pages =
        QRegularExpression("Pages: +(\\d+)\n").match(pdftools::Info(pdf));
    ASSERT_TRUE(pages.hasMatch());
    EXPECT_GE(pages.captured(1).toInt(), 2);
    const QStringList printed = PrintedLines();
    EXPECT_EQ(printed.size(), 3 + 150 + 2);
    EXPECT_EQ(printed.last(), QStringLiteral("149 f149 String 149"));
}

TEST_F(PrintedReportTest, WithoutPrinterThePdfDeviceIsLentForTheJobAndKept) {
    ASSERT_EQ(Printer().Device(), nullptr);
    SelectTable("stock");
    QPrinter* offered = nullptr;
    seam->AnswerPrintDialog([&](QPrinter& device) {
        offered = &device;
        device.setOutputFileName(pdf);
        return std::optional<TPrintDialogAnswer>(TPrintDialogAnswer{});
    });
    form->Button3->click();
    ASSERT_TRUE(seam->Texts("error").isEmpty()) << seam->Texts("error")[0].toStdString();
    ASSERT_NE(offered, nullptr);
    EXPECT_EQ(offered->resolution(), 300);
    EXPECT_EQ(offered->pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_TRUE(QFileInfo::exists(pdf));
    EXPECT_EQ(Printer().Device(), nullptr) << "the loan ends with the job";

    seam->AnswerPrintDialog(std::nullopt);
    form->Button3->click();
    ASSERT_EQ(seam->printRequests.size(), 2u);
    EXPECT_EQ(seam->printRequests[1].device, offered);
    EXPECT_EQ(offered->outputFileName(), pdf) << "the file chosen last is offered again";
}

TEST_F(PrintedReportTest, FailedJobIsAbortedAndTheDeviceGivenBack) {
    SelectTable("stock");
    const QString unreachable = temp.filePath("missing/report.pdf");
    seam->AnswerPrintDialog([&](QPrinter& device) {
        device.setOutputFileName(unreachable);
        return std::optional<TPrintDialogAnswer>(TPrintDialogAnswer{});
    });
    form->Button3->click();
    EXPECT_EQ(seam->Texts("error").size(), 1);
    EXPECT_EQ(seam->Cursor(), crDefault);
    EXPECT_FALSE(Printer().Printing());
    EXPECT_EQ(Printer().Device(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(unreachable));
}
