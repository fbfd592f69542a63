// "Save grid" of one result, driven as a user drives it: the main window opens the database
// through the ADO chooser, "Execute SQL" fills the real grid, and "Save grid" is clicked with a
// scripted seam answering the save dialog:
//   quorva_save_bench DATABASE OUTPUT [SQL]
// prints one line "records=N save_ms=T added_peak_kb=K" (K: the most memory the save added to
// what the process held before it). Run it in a process of its own.

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>

#include "Forms.h"
#include "MainUnit.h"
#include "OpenADOForm.h"
#include "ProcessStatus.h"
#include "ui/ScriptedModalSeam.h"

namespace {

// Lets VmHWM measure from now on (Linux resets it on "5").
bool ResetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

int Fail(const ScriptedModalSeam& seam, const char* step) {
    std::fprintf(stderr, "%s: %s\n", step,
                 qPrintable(seam.Texts(QStringLiteral("error")).join('|')));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: %s DATABASE OUTPUT [SQL]\n", argv[0]);
        return 2;
    }
    const QString database = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    const QString sql =
        argc == 4 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("select * from orders");

    auto owned = std::make_unique<ScriptedModalSeam>();
    ScriptedModalSeam& seam = *owned;
    SetModalSeam(std::move(owned));
    CreateApplicationForms();
    MainForm->show();

    seam.AnswerModal([&](QDialog& dialog) {
        auto& chooser = static_cast<TOpenADOForm&>(dialog);
        chooser.RadioButton4->click();
        chooser.FileEdit->setText(database);
        chooser.CheckBox1->setChecked(false);
        chooser.Button2->click();
        return chooser.result();
    });
    MainForm->OpenADOButton->click();
    if (!MainForm->IsConnected())
        return Fail(seam, "open");
    MainForm->Memo1->setPlainText(sql);
    MainForm->ExecuteButton->click();
    QApplication::processEvents();
    if (!seam.Texts(QStringLiteral("error")).isEmpty())
        return Fail(seam, "execute");
    const qsizetype records = MainForm->DataSource1->DataSet()->RecordCount();

    seam.Clear();
    seam.AnswerSaveFile(output);
    const long before = ProcessStatusKb("VmRSS:");
    const bool peakReset = ResetPeak();
    QElapsedTimer timer;
    timer.start();
    MainForm->Button5->click();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    const long peak = ProcessStatusKb("VmHWM:");
    if (seam.Texts(QStringLiteral("message")) !=
        QStringList(QStringLiteral("Grid saved to ") + output))
        return Fail(seam, "save");
    std::printf("records=%lld save_ms=%.1f added_peak_kb=%ld\n", static_cast<long long>(records),
                ms, peakReset ? peak - before : -1);
    DestroyApplicationForms();
    return 0;
}
