#include "WSUnit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <functional>

#include "WSCommands.h"
#include "XlsRegistration.h"
#include "core/CheckedFileCopy.h"
#include "registry/Registry.h"

QString ExcelCommand;

namespace {
const QString kService = QStringLiteral("Excel");
const QString kSystemTopic = QStringLiteral("System");

const QString kOverflow =
    QStringLiteral("Overflow of DDE transfer.\rIncrease \"Pause\" value in \"Settings\"!");

constexpr qint64 kEventIntervalMs = 5;
// After a Stop a program still answering has this long to catch up; one that does not is
// given up, so that a Stop ends the export within a second whatever the program does.
constexpr qint64 kStopGraceMs = 500;

const QString kStopped = QStringLiteral("The export was stopped while Excel did not answer");

QString CannotKeep(const QString& backup) {
    return QStringLiteral("Cannot keep the previous workbook as \"%1\"").arg(backup);
}

// Over a file already there, as QFile::rename is not.
bool ReplaceFile(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

QString NotAccepted(const QString& command) {
    return QStringLiteral("\"%1\" not accepted by Excel").arg(command);
}
}  // namespace

bool LocateExcel() {
    TRegistry registry;
    ExcelCommand = XlsOpenCommand(registry);
    return !ExcelCommand.isEmpty();
}

TWorkSheet::TWorkSheet(QObject* owner) : QObject(owner) {
    NewConversation();
}

TWorkSheet::~TWorkSheet() {
    if (connected_)
        conversation_->CloseLink();
}

void TWorkSheet::NewConversation() {
    conversation_ = std::make_unique<TDdeClientConv>();
    conversation_->SetConnectMode(ddeManual);
    conversation_->SetServiceApplication(ExcelCommand);
    conversation_->SetLink(kService, kSystemTopic);
    conversation_->SetWaitHook([this] { return KeepWaiting(); });
    connected_ = false;
}

bool TWorkSheet::KeepWaiting() {
    QCoreApplication::processEvents();
    if (saving_ || !stopRequested_ || !stopRequested_())
        return true;
    if (!stopSeen_.isValid())
        stopSeen_.start();
    return stopSeen_.elapsed() < kStopGraceMs;
}

void TWorkSheet::ThrowIfStopped() {
    if (!conversation_->Interrupted())
        return;
    stopped_ = true;
    throw WSError(kStopped);
}

bool TWorkSheet::Connect() {
    bool opened = conversation_->OpenLink();
    if (!opened) {
        if (LocateExcel())
            conversation_->SetServiceApplication(ExcelCommand);
        QCoreApplication::processEvents();
        opened = conversation_->OpenLink() ||
                 (!conversation_->Interrupted() && conversation_->OpenLink());
    }
    connected_ = opened;
    return opened;
}

void TWorkSheet::Disconnect() {
    if (!connected_)
        return;
    conversation_->CloseLink();
    NewConversation();
}

QString TWorkSheet::Request(const QString& item) {
    if (!connected_)
        throw WSError(QStringLiteral("Work Sheet not connected!"));
    QCoreApplication::processEvents();
    const std::optional<QString> data = conversation_->RequestData(item);
    ThrowIfStopped();
    ThrowIfRefused();
    // Polling a program that has gone away would only end in the overflow message.
    if (conversation_->LinkLost())
        throw WSError(conversation_->LastError());
    return data.value_or(QStringLiteral("No Reply from Excel!"));
}

void TWorkSheet::ThrowIfRefused() const {
    const QString& refused = conversation_->RefusedCommand();
    if (!refused.isEmpty())
        throw WSError(NotAccepted(refused));
}

void TWorkSheet::AwaitCommands() {
    if (TransferAborted || stopped_ || !connected_)
        return;
    if (conversation_->AwaitPosted(TDdeClientConv::Timeouts().execute))
        return;
    ThrowIfStopped();
    ThrowIfRefused();
    if (conversation_->LinkLost())
        throw WSError(conversation_->LastError());
    // Commands still unanswered: polled as a program that cannot take a command is.
    WaitReady();
}

void TWorkSheet::WaitReady() {
    SetTopic(kSystemTopic);
    for (int poll = 0; poll < 64; ++poll) {
        if (Request(QStringLiteral("Status")) == QLatin1String("Ready"))
            return;
    }
    TransferAborted = true;
    throw WSError(kOverflow);
}

void TWorkSheet::SetTopic(const QString& topic) {
    if (conversation_->DdeTopic() == topic)
        return;
    if (connected_)
        conversation_->CloseLink();
    conversation_->SetLink(kService, topic);
    if (connected_)
        conversation_->OpenLink();
}

void TWorkSheet::Execute(const QString& command) {
    if (TransferAborted || stopped_)
        return;
    SetTopic(kSystemTopic);
    if (!conversation_->ExecuteMacro(command, false)) {
        ThrowIfStopped();
        // A command posted earlier was refused: that one is reported, this one was not sent.
        ThrowIfRefused();
        WaitReady();
        if (!conversation_->ExecuteMacro(command, true)) {
            ThrowIfStopped();
            if (conversation_->LinkLost() && conversation_->RefusedCommand().isEmpty())
                throw WSError(conversation_->LastError());
            throw WSError(NotAccepted(command));
        }
    }
    // A pass of the event loop costs more than posting a command; the windows stay as
    // responsive, and a Stop is seen as soon, with one every few milliseconds.
    if (!eventsRan_.isValid() || eventsRan_.elapsed() >= kEventIntervalMs) {
        QCoreApplication::processEvents();
        eventsRan_.start();
    }
}

void TWorkSheet::SetFormula(const QString& text) {
    Execute(FormulaCommand(text));
}

void TWorkSheet::SetColumnWidth(int width) {
    if (width > 0)
        Execute(ColumnWidthCommand(width));
}

void TWorkSheet::SetAlignment(uint8_t alignment) {
    Execute(AlignmentCommand(alignment));
}

void TWorkSheet::SetFont(const QFont& font, int32_t color) {
    Execute(FontCommand(font, color));
}

void TWorkSheet::RenameSheet(const QString& oldName, const QString& newName) {
    Execute(RenameSheetCommand(oldName, newName));
}

void TWorkSheet::NewWorkbook(const QString& name) {
    conversation_->SetServiceApplication(ExcelCommand);
    for (const char* command :
         {"[APP.MINIMIZE()]", "[NEW(1)]", "[ECHO(FALSE)]", "[DISABLE.INPUT(TRUE)]"}) {
        Execute(QLatin1String(command));
    }
    if (!name.isEmpty())
        RenameSheet(QStringLiteral("SHEET1"), name);
}

void TWorkSheet::WriteCell(const TWSExportRec& cell) {
    Execute(SelectCommand(cell.Row, cell.Col));
    if (cell.Text.size() > kMaxCellText) {
        if (cutCells_++ == 0)
            firstCut_ = {cell.Row, cell.Col};
        // Cut as the rest of the export goes on; never between the halves of a character.
        const bool splitsPair = cell.Text[kMaxCellText - 1].isHighSurrogate();
        SetFormula(cell.Text.left(kMaxCellText - (splitsPair ? 1 : 0)));
    } else {
        SetFormula(cell.Text);
    }
    if (formatCells_)
        SetAlignment(cell.Alignment);
    SetColumnWidth(cell.Width);
    if (formatCells_ && cell.Font)
        SetFont(*cell.Font, cell.FontColor);
}

void TWorkSheet::SaveAndFinish(const QString& name) {
    // The program has dropped the workbook with the conversation.
    if (stopped_)
        return;
    // Nothing reached the spreadsheet since the overflow: saving would keep a part as the
    // whole and push the previous workbook aside.
    if (TransferAborted)
        throw WSError(kOverflow);
    std::exception_ptr firstError;
    const auto step = [&firstError](const std::function<void()>& action) {
        try {
            action();
            return true;
        } catch (const Exception&) {
            if (!firstError)
                firstError = std::current_exception();
            return false;
        }
    };
    // What was sent before is carried out first. A refusal found among it is the cells'
    // failure, as if found while they were written: reported, and what was taken still saved.
    bool cellsRefused = false;
    step([&] {
        try {
            AwaitCommands();
        } catch (const WSError&) {
            cellsRefused = !conversation_->RefusedCommand().isEmpty();
            throw;
        }
    });
    const bool selected =
        (!firstError || cellsRefused) && step([this] { Execute(SelectCommand(0, 0)); });
    if (!name.isEmpty() && selected)
        step([this, &name] { SaveAs(WorkbookPath(name)); });
    // The program is handed back to the user even when the save failed.
    for (const char* command : {"[DISABLE.INPUT(FALSE)]", "[ECHO(TRUE)]", "[APP.RESTORE]"})
        step([this, command] { Execute(QLatin1String(command)); });
    // Finished only once the program has carried out the last of them.
    step([this] { AwaitCommands(); });
    if (firstError)
        std::rethrow_exception(firstError);
}

void TWorkSheet::SaveAs(const QString& target) {
    // The selection before it must be taken before the previous workbook is copied.
    AwaitCommands();
    if (TransferAborted)
        throw WSError(kOverflow);
    if (stopped_)
        return;
    // The previous workbook waits as a copy beside it until the new one is saved; only then
    // does the copy replace the older backup.
    const QString backup = BackupPath(target);
    const QFileInfo targetInfo(target);
    const QString pending = targetInfo.dir().filePath(
        QLatin1Char('.') + QFileInfo(backup).fileName() + QStringLiteral(".saving"));
    const bool hadWorkbook = targetInfo.exists();
    if (hadWorkbook) {
        try {
            CopyFileChecked(target, pending);
        } catch (const EInOutError& error) {
            throw WSError(CannotKeep(backup) + QStringLiteral(": ") + error.Message());
        }
    }
    saving_ = true;
    try {
        Execute(SaveAsCommand(target, 1));
        AwaitCommands();
    } catch (const Exception&) {
        // Whatever the program did to it, the previous workbook is put back as it was.
        if (hadWorkbook)
            ReplaceFile(pending, target);
        throw;
    }
    saved_ = true;
    // Replaces the older backup in one step; should that fail, the copy stays where it is.
    if (hadWorkbook && !ReplaceFile(pending, backup))
        throw WSError(CannotKeep(backup));
}
