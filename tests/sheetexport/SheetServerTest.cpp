#include <gtest/gtest.h>

#include <functional>

#include "XlsRegistration.h"
#include "registry/RegistryStore.h"
#include "support/SheetExportFixture.h"
#include "support/XlsxContents.h"

namespace {

const QString kServer = QStringLiteral("\"" QUORVA_SHEETSERVER "\"");

using SheetServer = SheetExportTest;

// The machine's store registers `command` for ".XLS", as the package does.
void RegisterForTheMachine(const QString& configFolder, const QString& command) {
    QDir(configFolder).mkpath(QStringLiteral("Quorva"));
    QFile store(configFolder + QStringLiteral("/Quorva/registry.reg"));
    ASSERT_TRUE(store.open(QIODevice::WriteOnly));
    store.write(
        "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\.XLS]\n@=\"Quorva.Workbook\"\n\n"
        "[HKEY_CLASSES_ROOT\\Quorva.Workbook\\shell\\open\\command]\n@=\"" +
        QString(command).replace("\"", "\\\"").toUtf8() + "\"\n");
}

TEST_F(SheetServer, RegistersAsTheXlsHandlerWhereTheUserHasNone) {
    // The machine's registration serves a user without one of their own.
    RegisterForTheMachine(MachineConfigPath(), QStringLiteral("\"/usr/bin/machine\""));
    ASSERT_TRUE(LocateExcel());
    EXPECT_EQ(ExcelCommand, "\"/usr/bin/machine\"");

    // The user's own is written all the same, and wins.
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
    // Registered for the machine only, as an installed package leaves it.
    RegisterForTheMachine(MachineConfigPath(), kServer);
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

TEST_F(SheetServer, KeepsAWorkbookForEachConversation) {
    ASSERT_TRUE(RegisterXlsHandler(RegistryStorePath(), kServer));
    ASSERT_TRUE(LocateExcel());
    TWorkSheet first;
    TWorkSheet second;
    ASSERT_TRUE(first.Connect());
    ASSERT_TRUE(second.Connect());
    // Each step reaches the server before the other worksheet's next one.
    const auto both = [&](const std::function<void(TWorkSheet&, const QString&)>& step) {
        for (auto [sheet, name] : {std::pair(&first, "first"), std::pair(&second, "second")}) {
            step(*sheet, QString::fromLatin1(name));
            EXPECT_EQ(sheet->Request(QStringLiteral("Status")), "Ready");
        }
    };
    both([](TWorkSheet& sheet, const QString& name) { sheet.NewWorkbook(name); });
    for (int row = 1; row <= 3; ++row) {
        both([row](TWorkSheet& sheet, const QString& name) {
            sheet.WriteCell({row, 1, 0, name + QString::number(row), 0, nullptr, 0});
        });
    }
    both([](TWorkSheet& sheet, const QString& name) { sheet.SaveAndFinish(name); });

    for (const QString name : {"first", "second"}) {
        const std::optional<XlsxSheet> saved = ReadXlsx(WorkPath(name + ".XLS"));
        ASSERT_TRUE(saved) << name.toStdString();
        EXPECT_EQ(saved->name, name);
        std::map<QString, QString> cells;
        for (const auto& [reference, cell] : saved->cells)
            cells[reference] = cell.text;
        EXPECT_EQ(cells, (std::map<QString, QString>{
                             {"A1", name + "1"}, {"A2", name + "2"}, {"A3", name + "3"}}));
    }
}

// What a workbook keeps of one cell text and of the sheet name asked for.
struct StoredCase {
    const char* name;
    QString sheetName;
    QString text;
    QString savedSheetName;
    QString savedText;
    bool number;
};

void PrintTo(const StoredCase& c, std::ostream* out) {
    *out << c.name;
}

class StoredValue : public SheetExportTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredValue, ComesBackFromTheWorkbook) {
    const StoredCase& c = GetParam();
    ASSERT_TRUE(RegisterXlsHandler(RegistryStorePath(), kServer));
    ASSERT_TRUE(LocateExcel());
    TWorkSheet sheet;
    ASSERT_TRUE(sheet.Connect());
    sheet.NewWorkbook(c.sheetName);
    sheet.WriteCell({2, 3, 0, c.text, 0, nullptr, 0});
    sheet.SaveAndFinish(QStringLiteral("stored"));
    sheet.Disconnect();

    const std::optional<XlsxSheet> saved = ReadXlsx(WorkPath("stored.XLS"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->name, c.savedSheetName);
    const XlsxCell cell = saved->cells.at(QStringLiteral("C2"));
    EXPECT_EQ(cell.text, c.savedText);
    EXPECT_EQ(cell.number, c.number);
    const bool cut = c.text.size() > TWorkSheet::kMaxCellText;
    EXPECT_EQ(sheet.CutCells(), cut ? 1 : 0);
    EXPECT_EQ(sheet.FirstCutCell(), cut ? std::pair(2, 3) : std::pair(0, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Sheet, StoredValue,
    ::testing::Values(
        StoredCase{"IdOf17Digits", "ids", "12345678901234567", "ids", "12345678901234567", false},
        StoredCase{"BeyondTwoTo53", "ids", "-9007199254740993", "ids", "-9007199254740993", false},
        StoredCase{"TwoTo53IsANumber", "ids", "9007199254740992", "ids", "9007199254740992", true},
        StoredCase{"DecimalOf16Digits", "d", "1234.567890123456", "d", "1234.567890123456", false},
        StoredCase{"DecimalOf15Digits", "d", "1234.56789012345", "d", "1234.56789012345", true},
        StoredCase{"TrailingZerosKeepNoDigits", "d", "1.50000000000000000000", "d", "1.5", true},
        StoredCase{"EscapeLikeText", "t", "_x0041_ and _X0042_", "t", "_x0041_ and _X0042_", false},
        StoredCase{"TextBeyondTheLimit", "t", QString(40000, u'x'), "t", QString(32767, u'x'),
                   false},
        StoredCase{"ForbiddenSheetName", "'[a]:*?/\\b'", "x", "__a______b_", "x", false},
        StoredCase{"LongSheetName", "a sheet name longer than thirty-one characters", "x",
                   "a sheet name longer than thirty", "x", false}),
    [](const auto& info) { return std::string(info.param.name); });

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
