#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
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
    explicit PrintDialogUser(bool toTextFile) : toTextFile_(toTextFile) {
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
        PrintDialogUser user(toTextFile);
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
