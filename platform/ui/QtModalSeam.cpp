#include "ui/QtModalSeam.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QVBoxLayout>

namespace {
// Texts join their lines with a carriage return; Qt shows only "\n" as a break.
QString Displayed(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QWidget* ActiveWindow() {
    return QApplication::activeWindow();
}

// A message box whose kind a screen reader says before its caption ("Error: Quorva"): the icon
// alone tells only those who see it.
QMessageBox::StandardButton ShowMessageBox(QMessageBox::Icon icon, const QString& kind,
                                           const QString& caption, const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, caption, Displayed(text), buttons, ActiveWindow());
    box.setDefaultButton(defaultButton);
    box.setAccessibleName(QStringLiteral("%1: %2").arg(kind, caption));
    box.setAccessibleDescription(kind);
    return QMessageBox::StandardButton(box.exec());
}

QFileDialog* MakeFileDialog(QWidget* parent, const TFileDialogRequest& request) {
    auto* dialog = new QFileDialog(parent ? parent : ActiveWindow(), request.title);
    dialog->setNameFilter(QtFileFilter(request.filter));
    if (!request.initialDir.isEmpty())
        dialog->setDirectory(request.initialDir);
    if (!request.fileName.isEmpty())
        dialog->selectFile(request.fileName);
    if (!request.defaultExt.isEmpty())
        dialog->setDefaultSuffix(request.defaultExt);
    dialog->setSizeGripEnabled(true);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    return dialog;
}
// The extra tab of the print dialog with the "Print to text file" check box.
QCheckBox* AddTextFileTab(QPrintDialog& dialog) {
    auto* textTab = new QWidget;
    textTab->setWindowTitle(QStringLiteral("Text output"));
    auto* textLayout = new QVBoxLayout(textTab);
    auto* toTextFile = new QCheckBox(QStringLiteral("Print to &text file"));
    toTextFile->setObjectName(QStringLiteral("PrintToTextFile"));
    auto* explanation = new QLabel(QStringLiteral(
        "Saves the rows of the document as text, their columns separated by tabs, in a file "
        "named next. Nothing is printed."));
    explanation->setWordWrap(true);
    explanation->setIndent(20);
    textLayout->addWidget(toTextFile);
    textLayout->addWidget(explanation);
    textLayout->addStretch();
    dialog.setOptionTabs({textTab});
    return toTextFile;
}

// The dialog's OK checks the PDF file of its "print to file" (and asks whether to overwrite
// it) before it closes. With "Print to text file" ticked no PDF is written, so that question
// would be about a file left alone: OK then closes the dialog at once.
void AcceptTextFileWithoutPdfChecks(QPrintDialog& dialog, QCheckBox& toTextFile) {
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    if (!buttons ||
        !QObject::disconnect(buttons, SIGNAL(accepted()), &dialog, SLOT(_q_checkFields())))
        return;
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&dialog, &toTextFile] {
        if (toTextFile.isChecked())
            dialog.accept();
        else
            QMetaObject::invokeMethod(&dialog, "_q_checkFields");
    });
}
}  // namespace

void QtModalSeam::ShowMessage(const QString& text) {
    ShowMessageBox(QMessageBox::Information, QStringLiteral("Information"), ApplicationTitle(),
                   text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtModalSeam::Confirm(const QString& text) {
    return ShowMessageBox(QMessageBox::Question, QStringLiteral("Question"),
                          QStringLiteral("Confirm"), text, QMessageBox::Yes | QMessageBox::No,
                          QMessageBox::No) == QMessageBox::Yes;
}

void QtModalSeam::ErrorBox(const QString& text) {
    ShowMessageBox(QMessageBox::Critical, QStringLiteral("Error"), ApplicationTitle(), text,
                   QMessageBox::Ok, QMessageBox::Ok);
}

void QtModalSeam::InformationBox(const QString& text, const QString& caption) {
    ShowMessageBox(QMessageBox::Information, QStringLiteral("Information"), caption, text,
                   QMessageBox::Ok, QMessageBox::Ok);
}

int QtModalSeam::ShowModal(QDialog& form) {
    // A busy cursor must not hide behind a dialog the user has to answer.
    const bool overridden = QApplication::overrideCursor() != nullptr;
    if (overridden)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = form.exec();
    if (overridden)
        QApplication::restoreOverrideCursor();
    return result;
}

std::optional<QString> QtModalSeam::OpenFile(QWidget* parent, const TFileDialogRequest& request) {
    std::unique_ptr<QFileDialog> dialog(MakeFileDialog(parent, request));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().first();
}

std::optional<QString> QtModalSeam::SaveFile(QWidget* parent, const TFileDialogRequest& request) {
    std::unique_ptr<QFileDialog> dialog(MakeFileDialog(parent, request));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().first();
}

std::optional<QString> QtModalSeam::InputBox(const QString& caption, const QString& prompt,
                                             const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(ActiveWindow(), caption, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return {};
    return text;
}

std::optional<TPrintDialogAnswer> QtModalSeam::PrintDialog(QWidget* parent,
                                                           const TPrintDialogRequest& request) {
    if (!request.device)
        return {};
    QPrintDialog dialog(request.device, parent ? parent : ActiveWindow());
    // The dialog's own "print to file" prints into a PDF file; the document's text goes to a
    // text file through the check box of the extra tab.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintSelection);
    dialog.setMinMax(request.minPage, request.maxPage);
    dialog.setFromTo(request.fromPage, request.toPage);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);

    QCheckBox* toTextFile = nullptr;
    if (request.offerTextFile) {
        toTextFile = AddTextFileTab(dialog);
        AcceptTextFileWithoutPdfChecks(dialog, *toTextFile);
    }

    if (ShowModal(dialog) != QDialog::Accepted)
        return {};
    TPrintDialogAnswer answer;
    switch (dialog.printRange()) {
        case QAbstractPrintDialog::Selection:
        case QAbstractPrintDialog::CurrentPage:
            answer.range = prSelection;
            break;
        case QAbstractPrintDialog::PageRange:
            answer.range = prPageNums;
            break;
        case QAbstractPrintDialog::AllPages:
            answer.range = prAllPages;
            break;
    }
    answer.fromPage = dialog.fromPage();
    answer.toPage = dialog.toPage();
    answer.printToTextFile = toTextFile && toTextFile->isChecked();
    return answer;
}

std::optional<TLoginAnswer> QtModalSeam::LoginPrompt(const QString& database,
                                                     const TLoginAnswer& offered) {
    QDialog dialog(ActiveWindow());
    dialog.setWindowTitle(QStringLiteral("Database Login"));
    auto* form = new QFormLayout(&dialog);
    form->addRow(new QLabel(QStringLiteral("Database: %1").arg(database)));
    auto* user = new QLineEdit(offered.userName);
    auto* password = new QLineEdit(offered.password);
    password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("&User Name:"), user);
    form->addRow(QStringLiteral("&Password:"), password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (offered.userName.isEmpty())
        user->setFocus();
    else
        password->setFocus();
    if (ShowModal(dialog) != QDialog::Accepted)
        return {};
    return TLoginAnswer{user->text(), password->text()};
}

void QtModalSeam::Beep() {
    QApplication::beep();
}

void QtModalSeam::SetCursor(TCursor cursor) {
    if (cursor == cursor_)
        return;
    if (cursor_ != crDefault)
        QApplication::restoreOverrideCursor();
    cursor_ = cursor;
    if (cursor == crHourGlass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (cursor == crSQLWait)
        QApplication::setOverrideCursor(Qt::BusyCursor);
}
