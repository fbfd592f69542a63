#include <gtest/gtest.h>

#include <QDir>
#include <QFont>

#include "WSCommands.h"

namespace {

QFont Font(const QString& family, int points, bool bold, bool italic, bool underline,
           bool strikeOut) {
    QFont font(family, points);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    return font;
}

struct CommandCase {
    const char* name;
    QString sent;
    QString expected;
};

void PrintTo(const CommandCase& c, std::ostream* out) {
    *out << c.name;
}

class CommandText : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandText, IsWhatTheSpreadsheetIsSent) {
    EXPECT_EQ(GetParam().sent, GetParam().expected);
}

const QFont kArial = Font(QStringLiteral("Arial"), 10, false, false, false, false);

QString FontWithColor(int32_t color) {
    return FontCommand(kArial, color);
}

QString FontIndex(int index) {
    return QStringLiteral("[FORMAT.FONT(\"Arial\", 10, 0, 0, 0, 0, %1)]").arg(index);
}

INSTANTIATE_TEST_SUITE_P(
    Worksheet, CommandText,
    ::testing::Values(
        CommandCase{"Select", SelectCommand(12, 3), "[SELECT(\"R12C3\")]"},
        CommandCase{"SelectBeforeSaving", SelectCommand(0, 0), "[SELECT(\"R0C0\")]"},
        CommandCase{"Formula", FormulaCommand("Berlin"), "[FORMULA(\"Berlin\")]"},
        CommandCase{"FormulaEmpty", FormulaCommand(""), "[FORMULA(\"\")]"},
        CommandCase{"QuoteDoubled", FormulaCommand("a\"b"), "[FORMULA(\"a\"\"b\")]"},
        CommandCase{"InjectionStaysOneCell", FormulaCommand("\")][QUIT()]"),
                    "[FORMULA(\"\"\")][QUIT()]\")]"},
        CommandCase{"EqualsIsText", FormulaCommand("=1+1"), "[FORMULA(\"'=1+1\")]"},
        CommandCase{"ApostropheKept", FormulaCommand("'quoted"), "[FORMULA(\"''quoted\")]"},
        CommandCase{"IdBeyondADoubleIsText", FormulaCommand("12345678901234567"),
                    "[FORMULA(\"'12345678901234567\")]"},
        CommandCase{"NonAscii", FormulaCommand("Zürich 北京"), "[FORMULA(\"Zürich 北京\")]"},
        CommandCase{"ColumnWidth", ColumnWidthCommand(10), "[COLUMN.WIDTH(10)]"},
        CommandCase{"AlignLeft", AlignmentCommand(0), "[ALIGNMENT(2, FALSE, 2, 0)]"},
        CommandCase{"AlignRight", AlignmentCommand(1), "[ALIGNMENT(4, FALSE, 2, 0)]"},
        CommandCase{"AlignCentre", AlignmentCommand(2), "[ALIGNMENT(3, FALSE, 2, 0)]"},
        CommandCase{"AlignOther", AlignmentCommand(7), "[ALIGNMENT(1, FALSE, 2, 0)]"},
        CommandCase{"FontBoldRed",
                    FontCommand(Font("Arial", 12, true, false, false, false), 0x0000FF),
                    "[FORMAT.FONT(\"Arial\", 12, 1, 0, 0, 0, 3)]"},
        CommandCase{"FontStyles", FontCommand(Font("Courier New", 9, false, true, true, true), 0),
                    "[FORMAT.FONT(\"Courier New\", 9, 0, 1, 1, 1, 0)]"},
        CommandCase{"FontNameQuoted",
                    FontCommand(Font("My \"Font\"", 8, false, false, false, false), 0),
                    "[FORMAT.FONT(\"My \"\"Font\"\"\", 8, 0, 0, 0, 0, 0)]"},
        CommandCase{"DarkRed", FontWithColor(0x000080), FontIndex(30)},
        CommandCase{"JustAboveDarkRed", FontWithColor(0x000081), FontIndex(3)},
        CommandCase{"DarkGreen", FontWithColor(0x008000), FontIndex(50)},
        CommandCase{"Green", FontWithColor(0x00FF00), FontIndex(4)},
        CommandCase{"Yellow", FontWithColor(0x00FFFF), FontIndex(6)},
        CommandCase{"Navy", FontWithColor(0x800000), FontIndex(11)},
        CommandCase{"Grey", FontWithColor(0x808080), FontIndex(16)},
        CommandCase{"Silver", FontWithColor(0xC0C0C0), FontIndex(15)},
        CommandCase{"Blue", FontWithColor(0xFF0000), FontIndex(41)},
        CommandCase{"Magenta", FontWithColor(0xFF00FF), FontIndex(13)},
        CommandCase{"Cyan", FontWithColor(0xFFFF00), FontIndex(8)},
        CommandCase{"White", FontWithColor(0xFFFFFF), FontIndex(2)},
        CommandCase{"SystemColour", FontWithColor(int32_t(0x80000008)), FontIndex(0)},
        CommandCase{"BeyondWhite", FontWithColor(0x1000000), FontIndex(0)},
        CommandCase{"RenameSheet", RenameSheetCommand("SHEET1", "my \"best\" report"),
                    "[WORKBOOK.NAME(\"SHEET1\",\"my \"\"best\"\" report\")]"},
        CommandCase{"SaveAs", SaveAsCommand("/tmp/a\"b.XLS", 1),
                    "[SAVE.AS(\"/tmp/a\"\"b.XLS\", 1)]"},
        CommandCase{"WorkbookKeepsItsBaseName", WorkbookPath("my.report.txt"),
                    QDir::current().absoluteFilePath("my.report.XLS")},
        CommandCase{"WorkbookWithoutExtension", WorkbookPath("/data/report"), "/data/report.XLS"},
        CommandCase{"CellName", CellName(7, 28), "AB7"},
        CommandCase{"Backup", BackupPath("/data/my.report.XLS"), "/data/my.report.BAK"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
