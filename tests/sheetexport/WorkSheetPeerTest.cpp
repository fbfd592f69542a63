#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <functional>

#include "support/ScriptedExcelPeer.h"
#include "support/SheetExportFixture.h"

namespace {

const QString kOverflow =
    QStringLiteral("Overflow of DDE transfer.\rIncrease \"Pause\" value in \"Settings\"!");

class WorkSheetPeer : public SheetExportTest {
  protected:
    // Connects a worksheet to a peer following the script.
    void Start(ExcelPeerScript script) {
        peer = std::make_unique<ScriptedExcelPeer>(script);
        ASSERT_TRUE(peer->Listening());
        sheet = std::make_unique<TWorkSheet>();
        ASSERT_TRUE(sheet->Connect());
    }
    QString ErrorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const WSError& error) {
            return error.Message();
        }
        return QString();
    }

    std::unique_ptr<ScriptedExcelPeer> peer;
    std::unique_ptr<TWorkSheet> sheet;
};

TEST_F(WorkSheetPeer, SendsTheWorkbookInOrderAndKeepsThePreviousFileAsBackup) {
    Start({});
    WriteFile(WorkPath("report.XLS"), "previous");
    WriteFile(WorkPath("report.BAK"), "older");
    const QFont font(QStringLiteral("Arial"), 10);
    sheet->SetFormatCells(true);
    sheet->NewWorkbook(QStringLiteral("report"));
    sheet->WriteCell({1, 1, 10, QStringLiteral("Name"), 2, &font, 0x0000FF});
    sheet->WriteCell({2, 3, 0, QStringLiteral("a\"b"), 1, &font, 0});
    sheet->SaveAndFinish(QStringLiteral("report.txt"));

    EXPECT_EQ(
        peer->Taken(),
        QStringList({"[APP.MINIMIZE()]", "[NEW(1)]", "[ECHO(FALSE)]", "[DISABLE.INPUT(TRUE)]",
                     "[WORKBOOK.NAME(\"SHEET1\",\"report\")]", "[SELECT(\"R1C1\")]",
                     "[FORMULA(\"Name\")]", "[ALIGNMENT(3, FALSE, 2, 0)]", "[COLUMN.WIDTH(10)]",
                     "[FORMAT.FONT(\"Arial\", 10, 0, 0, 0, 0, 3)]", "[SELECT(\"R2C3\")]",
                     "[FORMULA(\"a\"\"b\")]", "[ALIGNMENT(4, FALSE, 2, 0)]",
                     "[FORMAT.FONT(\"Arial\", 10, 0, 0, 0, 0, 0)]", "[SELECT(\"R0C0\")]",
                     "[SAVE.AS(\"" + WorkPath("report.XLS") + "\", 1)]", "[DISABLE.INPUT(FALSE)]",
                     "[ECHO(TRUE)]", "[APP.RESTORE]"}));
    EXPECT_EQ(ReadFile(WorkPath("report.BAK")), "previous");
    EXPECT_EQ(ReadFile(WorkPath("report.XLS")), "previous");  // the peer writes nothing

    sheet->Disconnect();
    EXPECT_FALSE(sheet->Connected());
    EXPECT_EQ(ErrorOf([&] { sheet->Request(QStringLiteral("Status")); }),
              "Work Sheet not connected!");
}

TEST_F(WorkSheetPeer, PlainCellsSendNeitherAlignmentNorFont) {
    Start({});
    const QFont font(QStringLiteral("Arial"), 10);
    sheet->WriteCell({3, 2, 0, QStringLiteral("x"), 1, &font, 0});
    // Commands are posted: the answer to a request comes after theirs.
    EXPECT_EQ(sheet->Request(QStringLiteral("Status")), "Ready");
    EXPECT_EQ(peer->Taken(), QStringList({"[SELECT(\"R3C2\")]", "[FORMULA(\"x\")]"}));
}

// Each way the spreadsheet program can fail the worksheet, and what the user is told.
struct FailureCase {
    const char* name;
    ExcelPeerScript script;
    TDdeTimeouts timeouts;
    QString error;           // the first of the export; %1 stands for the save command
    bool aborted;            // TransferAborted afterwards
    std::vector<int> taken;  // the commands the peer carried out, by their number in kExport
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class WorkSheetFailure : public WorkSheetPeer, public ::testing::WithParamInterface<FailureCase> {
  protected:
    // What an export sends, numbered from 1: a workbook, one cell, the save to "kept".
    QStringList ExportCommands() const {
        return {"[APP.MINIMIZE()]",
                "[NEW(1)]",
                "[ECHO(FALSE)]",
                "[DISABLE.INPUT(TRUE)]",
                "[SELECT(\"R1C1\")]",
                "[FORMULA(\"x\")]",
                "[SELECT(\"R0C0\")]",
                "[SAVE.AS(\"" + WorkPath("kept.XLS") + "\", 1)]",
                "[DISABLE.INPUT(FALSE)]",
                "[ECHO(TRUE)]",
                "[APP.RESTORE]"};
    }
    // As the grid export runs it: the rows stop at the first failure, the save runs anyway,
    // and the first failure is the one reported.
    QString Export() {
        QString first = ErrorOf([&] {
            sheet->NewWorkbook(QString());
            sheet->WriteCell({1, 1, 0, QStringLiteral("x"), 0, nullptr, 0});
        });
        const QString saving = ErrorOf([&] { sheet->SaveAndFinish(QStringLiteral("kept")); });
        return first.isEmpty() ? saving : first;
    }
};

TEST_P(WorkSheetFailure, EndsWithTheRightMessage) {
    const FailureCase& c = GetParam();
    TDdeClientConv::SetTimeouts(c.timeouts);
    Start(c.script);
    WriteFile(WorkPath("kept.XLS"), "previous");
    WriteFile(WorkPath("kept.BAK"), "older");

    EXPECT_EQ(Export(), QString(c.error).replace(QLatin1String("%1"), ExportCommands()[7]));
    EXPECT_EQ(TWorkSheet::TransferAborted, c.aborted);
    QStringList taken;
    for (const int number : c.taken)
        taken << ExportCommands()[number - 1];
    EXPECT_EQ(peer->Taken().join(QLatin1Char('\n')).toStdString(),
              taken.join(QLatin1Char('\n')).toStdString());

    // The previous workbook becomes the backup only after a save that was carried out (the
    // peer writes nothing); otherwise the workbook and the older backup stay as they were.
    EXPECT_EQ(ReadFile(WorkPath("kept.XLS")), "previous");
    EXPECT_EQ(ReadFile(WorkPath("kept.BAK")),
              taken.contains(ExportCommands()[7]) ? "previous" : "older");
    EXPECT_EQ(QDir(WorkPath()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"kept.BAK", "kept.XLS"}));
}

const QString kLost = "The conversation with DDE service \"Excel\" ended: the service closed it";
// A small window and a short wait make a program that does not answer in time one that cannot
// take the next command.
const TDdeTimeouts kNarrow{1000, 100, 10000, 2};

INSTANTIATE_TEST_SUITE_P(
    Peer, WorkSheetFailure,
    ::testing::Values(
        // The command after the refused selection would fill the cell selected before: it is
        // skipped, and the save still keeps what was taken.
        FailureCase{"Refused",
                    {.refuse = 5},
                    {},
                    "\"[SELECT(\"R1C1\")]\" not accepted by Excel",
                    false,
                    {1, 2, 3, 4, 7, 8, 9, 10, 11}},
        FailureCase{"RefusedEverything",
                    {.refuse = -1},
                    {},
                    "\"[APP.MINIMIZE()]\" not accepted by Excel",
                    false,
                    {}},
        FailureCase{"SaveRefused",
                    {.refuse = 8},
                    {},
                    "\"%1\" not accepted by Excel",
                    false,
                    {1, 2, 3, 4, 5, 6, 7, 9, 10, 11}},
        // Refused after the save: not a success either.
        FailureCase{"RefusedAtTheEnd",
                    {.refuse = 11},
                    {},
                    "\"[APP.RESTORE]\" not accepted by Excel",
                    false,
                    {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        // Behind, then "Busy" three times, then "Ready": the third command goes once, waited.
        FailureCase{"CatchesUpWhenAsked",
                    {.holdFirst = 2, .busyReplies = 3},
                    kNarrow,
                    QString(),
                    false,
                    {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        FailureCase{"RefusedWhenRetried",
                    {.refuse = 3, .holdFirst = 2},
                    kNarrow,
                    "\"[ECHO(FALSE)]\" not accepted by Excel",
                    false,
                    {1, 2, 7, 8, 9, 10, 11}},
        FailureCase{"NeverReady",
                    {.holdFirst = 2, .busyReplies = -1},
                    kNarrow,
                    kOverflow,
                    true,
                    {1, 2}},
        FailureCase{"AnswersNothing",
                    {.silent = true, .stall = true},
                    {20, 100, 10000},
                    kOverflow,
                    true,
                    {1, 2, 3, 4, 5, 6}},
        // The retried command is taken but never completes: the next one cannot be sent.
        FailureCase{"Stalls",
                    {.holdFirst = 2, .withholdCompletion = true},
                    {20, 100, 10000, 2},
                    kOverflow,
                    true,
                    {1, 2, 3}},
        FailureCase{"Vanishes", {.vanishAfter = 2}, {}, kLost, false, {1, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorkSheetPeer, AnUnansweredRequestReadsNoReply) {
    TDdeClientConv::SetTimeouts({20, 10000, 10000});
    Start({.silent = true});
    EXPECT_EQ(sheet->Request(QStringLiteral("Status")), "No Reply from Excel!");
}

TEST_F(WorkSheetPeer, AnAbortedTransferSendsNothingUntilItIsCleared) {
    Start({});
    TWorkSheet::TransferAborted = true;
    sheet->NewWorkbook(QStringLiteral("x"));
    EXPECT_TRUE(peer->Received().isEmpty());
    TWorkSheet::TransferAborted = false;
    sheet->NewWorkbook(QString());
    EXPECT_EQ(sheet->Request(QStringLiteral("Status")), "Ready");
    EXPECT_EQ(peer->Taken(), QStringList({"[APP.MINIMIZE()]", "[NEW(1)]", "[ECHO(FALSE)]",
                                          "[DISABLE.INPUT(TRUE)]"}));
}

TEST_F(WorkSheetPeer, WithoutASpreadsheetProgramConnectFails) {
    TWorkSheet worksheet;
    EXPECT_FALSE(worksheet.Connect());
    EXPECT_FALSE(worksheet.Connected());
    EXPECT_FALSE(LocateExcel());
}

}  // namespace
