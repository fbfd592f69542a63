#include "WSUnit.h"

#include <QCoreApplication>
#include <QFile>
#include <functional>

#include "WSCommands.h"
#include "XlsRegistration.h"
#include "registry/Registry.h"

QString ExcelCommand;

namespace {
const QString kService = QStringLiteral("Excel");
const QString kSystemTopic = QStringLiteral("System");

const QString kOverflow =
    QStringLiteral("Overflow of DDE transfer.\rIncrease \"Pause\" value in \"Settings\"!");

constexpr qint64 kEventIntervalMs = 5;

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
    connected_ = false;
}

bool TWorkSheet::Connect() {
    bool opened = conversation_->OpenLink();
    if (!opened) {
        if (LocateExcel())
            conversation_->SetServiceApplication(ExcelCommand);
        QCoreApplication::processEvents();
        opened = conversation_->OpenLink() || conversation_->OpenLink();
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
    if (TransferAborted || !connected_)
        return;
    if (conversation_->AwaitPosted(TDdeClientConv::Timeouts().execute))
        return;
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
    if (TransferAborted)
        return;
    SetTopic(kSystemTopic);
    if (!conversation_->ExecuteMacro(command, false)) {
        // A command posted earlier was refused: that one is reported, this one was not sent.
        ThrowIfRefused();
        WaitReady();
        if (!conversation_->ExecuteMacro(command, true)) {
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
    SetFormula(cell.Text);
    if (formatCells_)
        SetAlignment(cell.Alignment);
    SetColumnWidth(cell.Width);
    if (formatCells_ && cell.Font)
        SetFont(*cell.Font, cell.FontColor);
}

void TWorkSheet::SaveAndFinish(const QString& name) {
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
    // The selection before it must be taken before the previous workbook is put aside.
    AwaitCommands();
    if (TransferAborted)
        throw WSError(kOverflow);
    const QString backup = BackupPath(target);
    const bool hadWorkbook = QFile::exists(target);
    if (hadWorkbook) {
        QFile::remove(backup);
        if (!QFile::rename(target, backup)) {
            throw WSError(
                QStringLiteral("Cannot keep the previous workbook as \"%1\"").arg(backup));
        }
    }
    try {
        Execute(SaveAsCommand(target, 1));
        AwaitCommands();
    } catch (const Exception&) {
        // The failed save wrote nothing: the previous workbook goes back where it was.
        if (hadWorkbook && !QFile::exists(target))
            QFile::rename(backup, target);
        throw;
    }
}
