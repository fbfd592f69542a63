#include <gtest/gtest.h>

#include "XlsRegistration.h"
#include "registry/RegistryStore.h"
#include "support/SheetExportFixture.h"
#include "support/XlsxContents.h"

namespace {

const QString kServer = QStringLiteral("\"" QUORVA_SHEETSERVER "\"");

using SheetServer = SheetExportTest;

TEST_F(SheetServer, RegistersAsTheXlsHandlerOnlyWhereNoneIs) {
    const QString store = RegistryStorePath();
    EXPECT_TRUE(RegisterXlsHandler(store, kServer));
    ASSERT_TRUE(LocateExcel());
    EXPECT_EQ(ExcelCommand, kServer);
    EXPECT_FALSE(RegisterXlsHandler(store, QStringLiteral("other")));
    LocateExcel();
    EXPECT_EQ(ExcelCommand, kServer);

    // A handler the user has is kept.
    WriteFile(store,
              "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\.xls]\n@=\"Calc.Sheet\"\n\n"
              "[HKEY_CLASSES_ROOT\\Calc.Sheet\\shell\\open\\command]\n"
              "@=\"soffice --calc \\\"%1\\\"\"\n");
    EXPECT_FALSE(RegisterXlsHandler(store, kServer));
    ASSERT_TRUE(LocateExcel());
    EXPECT_EQ(ExcelCommand, "soffice --calc \"%1\"");
}

TEST_F(SheetServer, StartsWhenNeededAndSavesTheCellsAsTheyAre) {
    ASSERT_TRUE(RegisterXlsHandler(RegistryStorePath(), kServer));
    WriteFile(WorkPath("my.report.XLS"), "previous");
    ASSERT_TRUE(LocateExcel());

    QFont plain(QStringLiteral("Arial"), 10);
    QFont title(QStringLiteral("Liberation Serif"), 12);
    title.setBold(true);
    title.setItalic(true);
    title.setUnderline(true);
    title.setStrikeOut(true);
    TWorkSheet sheet;
    sheet.SetFormatCells(true);
    ASSERT_TRUE(sheet.Connect());
    sheet.NewWorkbook(QStringLiteral("my.report"));
    for (const TWSExportRec& cell : {
             TWSExportRec{1, 1, 15, QStringLiteral("Name"), 0, &title, 0x0000FF},
             TWSExportRec{1, 3, 0, QStringLiteral("Price"), 2, &plain, 0},
             TWSExportRec{2, 1, 0, QStringLiteral("a\"b"), 0, &plain, 0},
             TWSExportRec{2, 3, 4, QStringLiteral("12.5"), 1, &plain, 0},
             TWSExportRec{3, 1, 0, QStringLiteral("\")][QUIT()]"), 0, &plain, 0},
             TWSExportRec{3, 3, 0, QStringLiteral("=1+1"), 1, &plain, 0},
             TWSExportRec{4, 1, 0, QStringLiteral("Zürich 北京"), 0, &plain, 0},
             TWSExportRec{4, 3, 0, QStringLiteral("-3"), 1, &plain, 0},
             TWSExportRec{5, 1, 0, QStringLiteral("two\nlines \\ "), 0, &plain, 0},
             TWSExportRec{5, 3, 0, QStringLiteral("007"), 1, &plain, 0},
             TWSExportRec{6, 1, 0, QStringLiteral("9007199254740993"), 1, &plain, 0},
             TWSExportRec{6, 3, 0, QStringLiteral("123456789012345"), 1, &plain, 0},
         })
        sheet.WriteCell(cell);
    sheet.SaveAndFinish(QStringLiteral("my.report.txt"));
    sheet.Disconnect();

    EXPECT_EQ(ReadFile(WorkPath("my.report.BAK")), "previous");
    std::optional<XlsxSheet> saved = ReadXlsx(WorkPath("my.report.XLS"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->name, "my.report");
    // Each cell as text, with "#" in front when it is stored as a number.
    std::map<QString, QString> cells;
    for (const auto& [reference, cell] : saved->cells) {
        EXPECT_FALSE(cell.formula) << reference.toStdString();
        cells[reference] = (cell.number ? "#" : "") + cell.text;
    }
    EXPECT_EQ(cells, (std::map<QString, QString>{{"A1", "Name"},
                                                 {"C1", "Price"},
                                                 {"A2", "a\"b"},
                                                 {"C2", "#12.5"},
                                                 {"A3", "\")][QUIT()]"},
                                                 {"C3", "=1+1"},
                                                 {"A4", "Zürich 北京"},
                                                 {"C4", "#-3"},
                                                 {"A5", "two\nlines \\ "},
                                                 {"C5", "007"},
                                                 {"A6", "9007199254740993"},
                                                 {"C6", "#123456789012345"}}));

    const XlsxCell& name = saved->cells["A1"];
    EXPECT_EQ(name.fontName, "Liberation Serif");
    EXPECT_TRUE(name.bold && name.italic && name.underline && name.strikeOut);
    EXPECT_EQ(name.color, "FFFF0000");
    EXPECT_EQ(name.horizontal, "left");
    EXPECT_EQ(saved->cells["C1"].horizontal, "center");
    EXPECT_EQ(saved->cells["C2"].horizontal, "right");
    EXPECT_EQ(saved->cells["C2"].fontName, "Arial");
    EXPECT_FALSE(saved->cells["C2"].bold);
    // Widths in characters; the file adds the cell padding.
    ASSERT_EQ(saved->widths.size(), 2u);
    EXPECT_NEAR(saved->widths[1], 15, 1);
    EXPECT_NEAR(saved->widths[3], 4, 1);
}

TEST_F(SheetServer, RefusesWhatItCannotCarryOut) {
    ASSERT_TRUE(RegisterXlsHandler(RegistryStorePath(), kServer));
    ASSERT_TRUE(LocateExcel());
    TWorkSheet sheet;
    ASSERT_TRUE(sheet.Connect());
    // A posted command's refusal comes with the next request, naming it.
    for (const QString& command :
         {QStringLiteral("[QUIT()]"), QStringLiteral("[FORMULA(\"a\"b\")]"),
          QStringLiteral("[SELECT(\"R1C1\")][CLOSE(FALSE)]")}) {
        try {
            sheet.Execute(command);
            sheet.Request(QStringLiteral("Status"));
            ADD_FAILURE() << command.toStdString();
        } catch (const WSError& error) {
            EXPECT_EQ(error.Message(), "\"" + command + "\" not accepted by Excel");
        }
    }
    EXPECT_EQ(sheet.Request(QStringLiteral("Status")), "Ready");
}

}  // namespace
