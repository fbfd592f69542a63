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
    // Polling a program that has gone away would only end in the overflow message.
    if (conversation_->LinkLost())
        throw WSError(conversation_->LastError());
    return data.value_or(QStringLiteral("No Reply from Excel!"));
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
        WaitReady();
        if (!conversation_->ExecuteMacro(command, true))
            throw WSError(QStringLiteral("\"%1\" not accepted by Excel").arg(command));
    }
    QCoreApplication::processEvents();
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
        } catch (const Exception&) {
            if (!firstError)
                firstError = std::current_exception();
        }
    };
    step([this] { Execute(SelectCommand(0, 0)); });
    if (!name.isEmpty() && !firstError)
        step([this, &name] { SaveAs(WorkbookPath(name)); });
    // The program is handed back to the user even when the save failed.
    for (const char* command : {"[DISABLE.INPUT(FALSE)]", "[ECHO(TRUE)]", "[APP.RESTORE]"})
        step([this, command] { Execute(QLatin1String(command)); });
    if (firstError)
        std::rethrow_exception(firstError);
}

void TWorkSheet::SaveAs(const QString& target) {
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
    } catch (const Exception&) {
        // The failed save wrote nothing: the previous workbook goes back where it was.
        if (hadWorkbook && !QFile::exists(target))
            QFile::rename(backup, target);
        throw;
    }
}
