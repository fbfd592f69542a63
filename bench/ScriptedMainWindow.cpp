#include "ScriptedMainWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <stdexcept>

#include "AdoConEd.h"
#include "Forms.h"
#include "MainUnit.h"
#include "OpenADOForm.h"
#include "db/dataset/DataSet.h"
#include "ui/ScriptedModalSeam.h"

TScriptedMainWindow::TScriptedMainWindow() {
    auto seam = std::make_unique<ScriptedModalSeam>();
    seam_ = seam.get();
    previous_ = SetModalSeam(std::move(seam));
    CreateApplicationForms();
    MainForm->show();
    QCoreApplication::processEvents();
}

TScriptedMainWindow::~TScriptedMainWindow() {
    DestroyApplicationForms();
    SetModalSeam(std::move(previous_));
}

TMainForm& TScriptedMainWindow::Form() const {
    return *MainForm;
}

void TScriptedMainWindow::Connect(const QString& connectionString, bool serverCursor) {
    // "Specify another(ODBC) database yourself" leads to the connection string editor.
    seam_->AnswerModal([serverCursor](QDialog& dialog) {
        auto& chooser = static_cast<TOpenADOForm&>(dialog);
        chooser.RadioButton3->click();
        chooser.CheckBox1->setChecked(false);
        chooser.CheckBox2->setChecked(serverCursor);
        chooser.Button2->click();
        return chooser.result();
    });
    seam_->AnswerModal([connectionString](QDialog& dialog) {
        auto& editor = static_cast<TConnEditForm&>(dialog);
        editor.UseConnectionString->click();
        editor.ConnectionString->setText(connectionString);
        return int(mrOk);
    });
    MainForm->OpenADOButton->click();
    RequireNothingShown("Open ADO");
    if (!MainForm->IsConnected())
        throw std::runtime_error("Open ADO: not connected");
}

qsizetype TScriptedMainWindow::Execute(const QString& sql) {
    MainForm->Memo1->setPlainText(sql);
    MainForm->ExecuteButton->click();
    RequireNothingShown("Execute SQL");
    return MainForm->DBGrid1->DataSet()->RecordCount();
}

int TScriptedMainWindow::PrintGrid(const std::function<void()>& dialogShown) {
    int pages = 0;
    seam_->AnswerPrintDialog([&](QPrinter&) {
        if (dialogShown)
            dialogShown();
        pages = seam_->printRequests.back().maxPage;
        return std::optional(TPrintDialogAnswer{prAllPages, 0, 0, false});
    });
    MainForm->Button2->click();
    RequireNothingShown("Print grid");
    if (pages == 0)
        throw std::runtime_error("Print grid: the print dialog did not come up");
    return pages;
}

void TScriptedMainWindow::SaveGrid(const QString& fileName, const std::function<void()>& clicked) {
    seam_->AnswerSaveFile(fileName);
    if (clicked)
        clicked();
    MainForm->Button5->click();
    const QStringList messages = seam_->Texts(QStringLiteral("message"));
    seam_->Clear();
    if (messages != QStringList(QStringLiteral("Grid saved to ") + fileName))
        throw std::runtime_error("Save grid: " + messages.join(QLatin1String(" / ")).toStdString());
}

void TScriptedMainWindow::ExportToSpreadsheet(const QString& fileName) {
    seam_->AnswerSaveFile(fileName);
    MainForm->ExportSheet1->trigger();
    QCoreApplication::sendPostedEvents(MainForm->DBGridPrint1);
    const QStringList errors = seam_->Texts(QStringLiteral("error"));
    seam_->Clear();
    if (!errors.isEmpty())
        throw std::runtime_error("Export: " + errors.join(QLatin1String(" / ")).toStdString());
}

void TScriptedMainWindow::RequireNothingShown(const char* step) const {
    QStringList shown;
    for (const ScriptedModalSeam::Shown& item : seam_->shown)
        if (item.kind == QLatin1String("error") || item.kind == QLatin1String("message") ||
            item.kind == QLatin1String("information"))
            shown << item.text;
    seam_->Clear();
    if (!shown.isEmpty())
        throw std::runtime_error(std::string(step) + ": " +
                                 shown.join(QLatin1String(" / ")).toStdString());
}
