#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTimer>

#include "DBGridPrt.h"
#include "DdePause.h"
#include "XlsRegistration.h"
#include "db/components/ADOQuery.h"
#include "db/dataset/DataSource.h"
#include "db/grid/DBGrid.h"
#include "db/grid/DBGridModel.h"
#include "platform/DbTestSupport.h"
#include "registry/RegistryStore.h"
#include "support/ScriptedExcelPeer.h"
#include "support/SharedData.h"
#include "support/SheetExportFixture.h"
#include "support/XlsxContents.h"
#include "ui/ScriptedModalSeam.h"

namespace {
// A grid over a database of its own, exported in a world of its own (registry store, DDE
// sockets, current folder) with a scripted seam.
class GridExport : public SheetExportTest {
  protected:
    void SetUp() override {
        SheetExportTest::SetUp();
        auto owned = std::make_unique<ScriptedModalSeam>();
        seam = owned.get();
        previousSeam = SetModalSeam(std::move(owned));
        DdePause = 0;
    }
    void TearDown() override {
        print.reset();
        SetModalSeam(std::move(previousSeam));
        SheetExportTest::TearDown();
    }
    void Open(const QString& connectionString, const QString& sql) {
        OpenConnection(connection, connectionString);
        query.SetConnection(&connection);
        query.SQL() = QStringList{sql};
        source.SetDataSet(&query);
        grid.SetDataSource(&source);
        query.Open();
        print = std::make_unique<TDBGridPrint>();
        print->SetShowProgress(false);
        print->SetAsgnDBGrid(&grid);
    }
    void OpenItems() {
        file = std::make_unique<TestDatabaseFile>(
            QStringLiteral("CREATE TABLE items(id INTEGER, name VARCHAR(20), price REAL);"
                           "INSERT INTO items VALUES (1, 'pen', 1.5), (2, 'a|\"b', NULL);"));
        Open(QStringLiteral("Provider=SQLite;Data Source=") + file->Path(),
             QStringLiteral("SELECT * FROM items"));
        grid.Columns().SetWidth(0, 48);
        grid.Columns()[1].SetVisible(false);
        grid.Columns().SetWidth(2, 60);
    }

    ScriptedModalSeam* seam = nullptr;
    std::unique_ptr<ModalSeam> previousSeam;
    std::unique_ptr<TestDatabaseFile> file;
    TADOConnection connection;
    TADOQuery query;
    TDataSource source;
    TDBGrid grid;
    std::unique_ptr<TDBGridPrint> print;
};

TEST_F(GridExport, SendsTitlesAndRowsByGridColumnAndSavesTheWorkbook) {
    ASSERT_TRUE(RegisterXlsHandler(RegistryStorePath(), QStringLiteral("unused")));
    ScriptedExcelPeer peer;
    ASSERT_TRUE(peer.Listening());
    OpenItems();
    print->SetPrintWYSIWYG(false);
    print->SetWSFileName(WorkPath(QStringLiteral("my.book.txt")));
    print->ExportToExcel();

    // The hidden second column leaves column B empty; widths are pixels div 6.
    EXPECT_EQ(peer.Taken().join(QLatin1Char('\n')).toStdString(),
              QStringList({"[APP.MINIMIZE()]",
                           "[NEW(1)]",
                           "[ECHO(FALSE)]",
                           "[DISABLE.INPUT(TRUE)]",
                           "[WORKBOOK.NAME(\"SHEET1\",\"my.book\")]",
                           "[SELECT(\"R1C1\")]",
                           "[FORMULA(\"id\")]",
                           "[COLUMN.WIDTH(8)]",
                           "[SELECT(\"R1C3\")]",
                           "[FORMULA(\"price\")]",
                           "[COLUMN.WIDTH(10)]",
                           "[SELECT(\"R2C1\")]",
                           "[FORMULA(\"1\")]",
                           "[SELECT(\"R2C3\")]",
                           "[FORMULA(\"1.5\")]",
                           "[SELECT(\"R3C1\")]",
                           "[FORMULA(\"2\")]",
                           "[SELECT(\"R3C3\")]",
                           "[FORMULA(\"\")]",
                           "[SELECT(\"R0C0\")]",
                           "[SAVE.AS(\"" + WorkPath("my.book.XLS") + "\", 1)]",
                           "[DISABLE.INPUT(FALSE)]",
                           "[ECHO(TRUE)]",
                           "[APP.RESTORE]"})
                  .join(QLatin1Char('\n'))
                  .toStdString());
    EXPECT_EQ(print->WSFileName(), WorkPath(QStringLiteral("my.book")));
    EXPECT_EQ(print->ExpectedPages(), 2);
    EXPECT_EQ(DdePause, 6);  // three columns, 2 ms each
    EXPECT_TRUE(seam->Texts(QStringLiteral("error")).isEmpty());
    EXPECT_EQ(seam->Cursor(), crDefault);
}

TEST_F(GridExport, AStopEndsTheRowsSavesWhatWasSentAndIsReported) {
    ASSERT_TRUE(RegisterXlsHandler(RegistryStorePath(), QStringLiteral("unused")));
    ScriptedExcelPeer peer;
    OpenItems();
    print->SetShowProgress(true);
    print->SetWSFileName(WorkPath(QStringLiteral("book")));
    QTimer::singleShot(0, print.get(), [&] { print->CancelPrinting(); });
    try {
        print->ExportToExcel();
        ADD_FAILURE() << "the Stop was not reported";
    } catch (const ECancelPrinting& stop) {
        EXPECT_EQ(stop.Message(), QStringLiteral("Printing cancelled"));
    }
    const QStringList taken = peer.Taken();
    EXPECT_FALSE(taken.contains(QStringLiteral("[SELECT(\"R3C1\")]")));
    EXPECT_TRUE(taken.contains("[SAVE.AS(\"" + WorkPath("book.XLS") + "\", 1)]"));
    EXPECT_EQ(taken.last(), QStringLiteral("[APP.RESTORE]"));
    EXPECT_EQ(print->ProgressDialog(), nullptr);
}

// Where a Stop meets a program that has stopped answering: seen between rows (the save then
// finds the program silent), or while a command waits for room.
struct SilentStopCase {
    const char* name;
    int posted;  // commands sent ahead of the program's answers
    int stopMs;  // when Stop is pressed
};

void PrintTo(const SilentStopCase& c, std::ostream* out) {
    *out << c.name;
}

class SilentProgram : public GridExport, public ::testing::WithParamInterface<SilentStopCase> {};

TEST_P(SilentProgram, StopEndsTheExportAndKeepsThePreviousWorkbook) {
    // Without the Stop, these time-outs would end the export only after minutes.
    TDdeClientConv::SetTimeouts({2000, 5000, 10000, GetParam().posted});
    ASSERT_TRUE(RegisterXlsHandler(RegistryStorePath(), QStringLiteral("unused")));
    ScriptedExcelPeer peer({.silent = true, .stall = true});
    ASSERT_TRUE(peer.Listening());
    OpenItems();
    WriteFile(WorkPath("kept.XLS"), "previous");
    WriteFile(WorkPath("kept.BAK"), "older");
    print->SetWSFileName(WorkPath(QStringLiteral("kept")));
    QTimer::singleShot(GetParam().stopMs, print.get(), [&] { print->CancelPrinting(); });
    try {
        print->ExportToExcel();
        ADD_FAILURE() << "the Stop was not reported";
    } catch (const ECancelPrinting& stop) {
        EXPECT_EQ(stop.Message(), QStringLiteral("Printing cancelled"));
    }
    for (const QString& command : peer.Received())
        EXPECT_FALSE(command.startsWith(QLatin1String("[SAVE.AS"))) << command.toStdString();
    EXPECT_EQ(ReadFile(WorkPath("kept.XLS")), "previous");
    EXPECT_EQ(ReadFile(WorkPath("kept.BAK")), "older");
    EXPECT_EQ(QDir(WorkPath()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"kept.BAK", "kept.XLS"}));
    EXPECT_EQ(print->ProgressDialog(), nullptr);
    EXPECT_EQ(seam->Cursor(), crDefault);
}

INSTANTIATE_TEST_SUITE_P(Stop, SilentProgram,
                         ::testing::Values(SilentStopCase{"BetweenRows", 256, 0},
                                           SilentStopCase{"WhileACommandWaits", 2, 100}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridExport, ALongTextIsCutTheRestKeptAndTheUserTold) {
    ASSERT_TRUE(RegisterXlsHandler(RegistryStorePath(), QStringLiteral(QUORVA_SHEETSERVER)));
    file = std::make_unique<TestDatabaseFile>(
        QStringLiteral("CREATE TABLE notes(id INTEGER, body TEXT);"
                       "INSERT INTO notes VALUES (12345678901234567, 'short'),"
                       "(2, replace(hex(zeroblob(20000)), '0', 'x')), (3, 'after');"));
    Open(QStringLiteral("Provider=SQLite;Data Source=") + file->Path(),
         QStringLiteral("SELECT * FROM notes"));
    print->SetWSFileName(WorkPath(QStringLiteral("notes")));
    print->ExportToExcel();

    EXPECT_EQ(seam->Texts(QStringLiteral("message")),
              QStringList{QStringLiteral(
                  "Cells cut to the spreadsheet's 32767 characters: 1, the first at B3.")});
    EXPECT_TRUE(seam->Texts(QStringLiteral("error")).isEmpty());
    const std::optional<XlsxSheet> sheet = ReadXlsx(WorkPath("notes.XLS"));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->cells.at("A2").text, "12345678901234567");
    EXPECT_FALSE(sheet->cells.at("A2").number);
    EXPECT_EQ(sheet->cells.at("B3").text, QString(32767, u'x'));
    EXPECT_EQ(sheet->cells.at("B4").text, "after");
}

TEST_F(GridExport, WithoutASpreadsheetProgramTheGridGoesToVelloxTxt) {
    OpenItems();
    grid.Columns()[1].SetVisible(true);
    print->SetWSFileName(QStringLiteral("book"));
    const QString text = TCustomVellox::ProposedTextFileName(QCoreApplication::applicationDirPath(),
                                                             QDir::homePath());
    QFile::remove(text);
    print->ExportToExcel();

    QFile written(text);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray rows = written.readAll();
    written.close();
    QFile::remove(text);
    EXPECT_TRUE(rows.contains(" 2 \t a|\"b \t")) << rows.toStdString();
    EXPECT_EQ(seam->Texts(QStringLiteral("message")),
              QStringList({QStringLiteral("Content exported to ") + text,
                           QStringLiteral("MS Excel not found or not available.\rExport was "
                                          "written to file \"Vellox.TXT\"")}));
    // The next print prints again, under the name it had.
    EXPECT_FALSE(print->PrintToFile());
    EXPECT_EQ(print->WSFileName(), QStringLiteral("book"));
}

TEST_F(GridExport, TheShippedServerSavesChinooksCustomersAsTheyAre) {
    REQUIRE_SHARED_FILE(chinook, "chinook.sqlite");
    ASSERT_TRUE(RegisterXlsHandler(RegistryStorePath(), QStringLiteral(QUORVA_SHEETSERVER)));
    Open(QStringLiteral("Provider=SQLite;Data Source=") + chinook,
         QStringLiteral("SELECT CustomerId, FirstName, LastName, Company FROM Customer"));
    WriteFile(WorkPath("customers.XLS"), "previous");
    // Coloured fonts, as the grid draws them, go into the workbook (fonts go with
    // PrintWYSIWYG, which is on).
    grid.Columns()[1].SetFontColor(0x0000FF);
    grid.Columns()[0].Title().SetFontColor(0xFF0000);
    EXPECT_EQ(grid.Model().data(grid.Model().index(0, 1), Qt::ForegroundRole).value<QBrush>(),
              QBrush(QColor(255, 0, 0)));
    EXPECT_FALSE(grid.Model().data(grid.Model().index(0, 2), Qt::ForegroundRole).isValid());
    print->SetWSFileName(WorkPath(QStringLiteral("customers")));
    print->ExportToExcel();

    EXPECT_EQ(ReadFile(WorkPath("customers.BAK")), "previous");
    const std::optional<XlsxSheet> sheet = ReadXlsx(WorkPath("customers.XLS"));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->name, QStringLiteral("customers"));
    const auto text = [&](const char* cell) {
        const auto found = sheet->cells.find(QString::fromLatin1(cell));
        return found == sheet->cells.end() ? QString() : found->second.text;
    };
    EXPECT_EQ(text("A1"), QStringLiteral("CustomerId"));
    EXPECT_EQ(text("B2"), QStringLiteral("Luís"));
    EXPECT_EQ(text("C2"), QStringLiteral("Gonçalves"));
    EXPECT_EQ(text("D3"), QString());  // a NULL company
    EXPECT_EQ(text("A60"), QStringLiteral("59"));
    EXPECT_TRUE(sheet->cells.at(QStringLiteral("A60")).number);
    const auto color = [&](const char* cell) {
        const auto found = sheet->cells.find(QString::fromLatin1(cell));
        return found == sheet->cells.end() ? QStringLiteral("(none)") : found->second.color;
    };
    // Red is palette entry 3; blue falls in the band of entry 41, a lighter blue.
    EXPECT_EQ(color("B2"), QStringLiteral("FFFF0000"));
    EXPECT_EQ(color("B60"), QStringLiteral("FFFF0000"));
    EXPECT_EQ(color("A1"), QStringLiteral("FF3366FF"));
    EXPECT_EQ(color("B1"), QString());  // automatic
    EXPECT_EQ(color("A2"), QString());
}
}  // namespace
