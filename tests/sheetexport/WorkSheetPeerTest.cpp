#include <gtest/gtest.h>

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
    EXPECT_FALSE(QFile::exists(WorkPath("report.XLS")));  // the peer writes nothing

    sheet->Disconnect();
    EXPECT_FALSE(sheet->Connected());
    EXPECT_EQ(ErrorOf([&] { sheet->Request(QStringLiteral("Status")); }),
              "Work Sheet not connected!");
}

TEST_F(WorkSheetPeer, PlainCellsSendNeitherAlignmentNorFont) {
    Start({});
    const QFont font(QStringLiteral("Arial"), 10);
    sheet->WriteCell({3, 2, 0, QStringLiteral("x"), 1, &font, 0});
    EXPECT_EQ(peer->Taken(), QStringList({"[SELECT(\"R3C2\")]", "[FORMULA(\"x\")]"}));
}

// Each way the spreadsheet program can fail the worksheet, and what the user is told.
struct FailureCase {
    const char* name;
    ExcelPeerScript script;
    int replyTimeoutMs;
    QString error;         // of NewWorkbook
    bool aborted;          // TransferAborted afterwards
    QStringList received;  // what reached the peer
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class WorkSheetFailure : public WorkSheetPeer, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(WorkSheetFailure, EndsWithTheRightMessage) {
    const FailureCase& c = GetParam();
    TDdeClientConv::SetTimeouts({c.replyTimeoutMs, 10000, 10000});
    Start(c.script);
    WriteFile(WorkPath("kept.XLS"), "previous");

    EXPECT_EQ(ErrorOf([&] { sheet->NewWorkbook(QString()); }), c.error);
    EXPECT_EQ(TWorkSheet::TransferAborted, c.aborted);
    EXPECT_EQ(peer->Received(), c.received);

    // Whatever went wrong, the previous workbook is neither replaced nor pushed aside when the
    // save cannot happen.
    if (!c.error.isEmpty()) {
        EXPECT_FALSE(ErrorOf([&] { sheet->SaveAndFinish(QStringLiteral("kept")); }).isEmpty());
        EXPECT_EQ(ReadFile(WorkPath("kept.XLS")), "previous");
        EXPECT_FALSE(QFile::exists(WorkPath("kept.BAK")));
    }
}

const QStringList kNewWorkbook = {"[APP.MINIMIZE()]", "[NEW(1)]", "[ECHO(FALSE)]",
                                  "[DISABLE.INPUT(TRUE)]"};

INSTANTIATE_TEST_SUITE_P(
    Peer, WorkSheetFailure,
    ::testing::Values(
        FailureCase{"RefusedOnceThenReady",
                    {.refuseExecutes = 1, .busyReplies = 3},
                    1000,
                    QString(),
                    false,
                    QStringList{"[APP.MINIMIZE()]"} + kNewWorkbook},
        FailureCase{"RefusedTwice",
                    {.refuseExecutes = -1},
                    1000,
                    "\"[APP.MINIMIZE()]\" not accepted by Excel",
                    false,
                    {"[APP.MINIMIZE()]", "[APP.MINIMIZE()]"}},
        FailureCase{"NeverReady",
                    {.refuseExecutes = 1, .busyReplies = -1},
                    1000,
                    kOverflow,
                    true,
                    {"[APP.MINIMIZE()]"}},
        FailureCase{"AnswersNothing",
                    {.refuseExecutes = 1, .silent = true},
                    20,
                    kOverflow,
                    true,
                    {"[APP.MINIMIZE()]"}},
        // The retried command is taken but never completes: the next one cannot be sent.
        FailureCase{"Stalls",
                    {.refuseExecutes = 1, .withholdCompletion = true},
                    20,
                    kOverflow,
                    true,
                    {"[APP.MINIMIZE()]", "[APP.MINIMIZE()]"}},
        FailureCase{"Vanishes",
                    {.vanishAfter = 2},
                    1000,
                    "The conversation with DDE service \"Excel\" ended: the service closed it",
                    false,
                    {"[APP.MINIMIZE()]", "[NEW(1)]"}}),
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
    EXPECT_EQ(peer->Taken(), kNewWorkbook);
}

TEST_F(WorkSheetPeer, WithoutASpreadsheetProgramConnectFails) {
    TWorkSheet worksheet;
    EXPECT_FALSE(worksheet.Connect());
    EXPECT_FALSE(worksheet.Connected());
    EXPECT_FALSE(LocateExcel());
}

}  // namespace
