#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "ui/QtModalSeam.h"

namespace {

// Answers the real print dialog as a user does: ticks "Print to text file" or not, presses
// OK, and answers Yes to any question, noting it.
class PrintDialogUser : public QObject {
  public:
    PrintDialogUser(bool toTextFile, const QString& pdf) : toTextFile_(toTextFile), pdf_(pdf) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { Step(); });
        timer_.start();
    }
    QStringList questions;

  private:
    void Step() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            questions << box->text();
            box->button(QMessageBox::Yes)->click();
        } else if (auto* dialog = qobject_cast<QPrintDialog*>(modal); dialog && !pressed_) {
            pressed_ = true;
            // "Print to File (PDF)" with the file, whatever printers the machine has.
            auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
            auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
            const int toFile =
                printers ? printers->findText(QStringLiteral("Print to File"), Qt::MatchStartsWith)
                         : -1;
            if (toFile < 0 || !fileName) {
                ADD_FAILURE() << "the dialog has no \"Print to File\" choice";
                dialog->reject();
                return;
            }
            printers->setCurrentIndex(toFile);
            fileName->setText(pdf_);
            dialog->findChild<QCheckBox*>(QStringLiteral("PrintToTextFile"))
                ->setChecked(toTextFile_);
            QList<QDialogButtonBox*> boxes = dialog->findChildren<QDialogButtonBox*>();
            for (QDialogButtonBox* buttons : boxes)
                if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
                    // Queued: a question the click opens must not run inside this timer's
                    // call, which Qt would not call again until it returns.
                    QMetaObject::invokeMethod(ok, &QPushButton::click, Qt::QueuedConnection);
        }
    }
    bool toTextFile_;
    QString pdf_;
    bool pressed_ = false;
    QTimer timer_;
};

}  // namespace

// With "Print to text file" ticked nothing goes to the PDF file the dialog names, so nobody is
// asked about overwriting it; without the tick the question is asked as before.
TEST(PrintDialog, AsksAboutOverwritingOnlyTheFileWritten) {
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("grid.pdf"));
    for (const bool toTextFile : {true, false}) {
        {
            QFile existing(pdf);
            ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
            existing.write("kept");
        }
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QtModalSeam seam;
        PrintDialogUser user(toTextFile, pdf);
        TPrintDialogRequest request{&printer, 1, 3, 1, 3, true};
        const std::optional<TPrintDialogAnswer> answer = seam.PrintDialog(nullptr, request);
        ASSERT_TRUE(answer.has_value()) << toTextFile;
        EXPECT_EQ(answer->printToTextFile, toTextFile);
        EXPECT_EQ(user.questions.size(), toTextFile ? 0 : 1)
            << user.questions.join('|').toStdString();
        QFile existing(pdf);
        ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
        EXPECT_EQ(existing.readAll(), QByteArray("kept"));
    }
}
