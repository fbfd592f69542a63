#pragma once

#include <QElapsedTimer>
#include <QFont>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <utility>

#include "WSExportRec.h"
#include "core/Exception.h"
#include "dde/DdeClientConv.h"

// The spreadsheet program's open command line, as LocateExcel found it.
extern QString ExcelCommand;

// Finds the spreadsheet program in the registry store: the document type of ".XLS" under
// HKEY_CLASSES_ROOT, then that type's "shell\open\command". Missing keys give an empty command
// and false.
bool LocateExcel();

// Builds a worksheet in the spreadsheet program through a DDE conversation on its "System"
// topic, one macro command at a time. The caller's order: construct, SetFormatCells, Connect;
// when connected, NewWorkbook, WriteCell for each cell, SaveAndFinish, Disconnect. Failures
// raise WSError. Pending events run before every request, after commands (at most every few
// milliseconds) and every 50 ms while the worksheet waits for the program, so the caller's
// windows stay responsive; one export at a time.
class TWorkSheet : public QObject {
    Q_OBJECT
  public:
    // Set when the spreadsheet program did not become ready: from then on no command is sent
    // and SaveAndFinish fails. Shared by every worksheet; a new export clears it.
    static inline bool TransferAborted = false;

    explicit TWorkSheet(QObject* owner = nullptr);
    ~TWorkSheet() override;

    // The most characters a cell holds; WriteCell cuts a longer text there.
    static constexpr int kMaxCellText = 32767;

    bool Connected() const { return connected_; }
    // Asked while the worksheet waits for the program. Once it says so, a wait that has not
    // ended half a second later is given up, and with it the conversation: the program drops
    // the workbook, nothing is saved and the call raises WSError (Stopped() is then set). Not
    // asked once the save is sent: a save is waited for to its end.
    void SetStopCheck(std::function<bool()> stopRequested) {
        stopRequested_ = std::move(stopRequested);
    }
    bool Stopped() const { return stopped_; }
    // Cells whose text WriteCell cut to kMaxCellText, and the first of them (row, column).
    int CutCells() const { return cutCells_; }
    std::pair<int, int> FirstCutCell() const { return firstCut_; }
    // SaveAndFinish has saved the workbook.
    bool Saved() const { return saved_; }
    // Send alignment and font with every cell.
    bool FormatCells() const { return formatCells_; }
    void SetFormatCells(bool value) { formatCells_ = value; }

    // Opens the conversation, starting the spreadsheet program when nobody answers; three
    // attempts.
    bool Connect();
    void Disconnect();

    // The item's text, or "No Reply from Excel!" when none comes. A command posted earlier
    // and found refused meanwhile raises its "not accepted".
    QString Request(const QString& item);
    // Polls "Status" until it reads "Ready", at most 64 times.
    void WaitReady();
    void SetTopic(const QString& topic);
    // Posts the command without waiting for it. A refusal of a posted command is raised at
    // the next command or request ("\"%s\" not accepted by Excel", naming the refused one);
    // a command that cannot be posted is retried, waiting, once the program reads "Ready".
    void Execute(const QString& command);

    void SetFormula(const QString& text);
    void SetColumnWidth(int width);
    void SetAlignment(uint8_t alignment);
    void SetFont(const QFont& font, int32_t color);
    void RenameSheet(const QString& oldName, const QString& newName);
    void NewWorkbook(const QString& name);
    void WriteCell(const TWSExportRec& cell);
    // Saves to `name` with its extension replaced by ".XLS" unless the name is empty, and hands
    // the spreadsheet program back to the user. Returns once the program has carried out every
    // command sent. The previous file becomes ".BAK" only once the new one is saved; after a
    // failed save the file and the older ".BAK" are as they were. After a Stop gave the
    // conversation up, it does nothing.
    void SaveAndFinish(const QString& name);

  private:
    void NewConversation();
    void SaveAs(const QString& target);
    // Waits until every posted command is carried out; raises a refusal among them, a lost
    // conversation, or the overflow when the program stays busy.
    void AwaitCommands();
    void ThrowIfRefused() const;
    // Raises when the last call to the conversation was given up for a Stop.
    void ThrowIfStopped();
    bool KeepWaiting();

    std::unique_ptr<TDdeClientConv> conversation_;
    bool connected_ = false;
    bool formatCells_ = false;
    // When pending events last ran after a command.
    QElapsedTimer eventsRan_;
    std::function<bool()> stopRequested_;
    // Since the stop check first said so.
    QElapsedTimer stopSeen_;
    bool saving_ = false;
    bool stopped_ = false;
    bool saved_ = false;
    int cutCells_ = 0;
    std::pair<int, int> firstCut_;
};
