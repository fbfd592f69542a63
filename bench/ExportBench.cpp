// The grid's "Export to spreadsheet…" of one result, driven as a user drives it: the main window
// opens the database, "Execute SQL" fills the real grid, and the context menu's export runs with
// a scripted seam answering the workbook's name. The spreadsheet program is whatever the
// settings store (QUORVA_REGISTRY) registers for ".XLS":
//   quorva_export_bench DATABASE WORKBOOK [SQL]
// prints one line "records=N export_ms=T pause_ms=P overshoot_ms=O" (P: the pause the export
// made after each row, so that T - N x P is the time beyond the pacing; O: how much longer than
// P a sleep of P takes on this machine, measured after the export, so that N x O of that time
// is the system waking the program late).

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>
#include <stdexcept>

#include "DdePause.h"
#include "ScriptedMainWindow.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: %s DATABASE WORKBOOK [SQL]\n", argv[0]);
        return 2;
    }
    const QString database = QString::fromLocal8Bit(argv[1]);
    const QString workbook = QString::fromLocal8Bit(argv[2]);
    const QString sql =
        argc == 4 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("select * from orders");
    try {
        TScriptedMainWindow window;
        window.Connect(QStringLiteral("Provider=SQLite;Data Source=") + database);
        const qsizetype records = window.Execute(sql);
        QElapsedTimer timer;
        timer.start();
        window.ExportToSpreadsheet(workbook);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        constexpr int kSleeps = 200;
        QElapsedTimer sleeping;
        sleeping.start();
        for (int i = 0; i < kSleeps; ++i)
            QThread::msleep(DdePause);
        const double overshoot = double(sleeping.nsecsElapsed()) / 1e6 / kSleeps - DdePause;
        std::printf("records=%lld export_ms=%.1f pause_ms=%d overshoot_ms=%.3f\n",
                    static_cast<long long>(records), ms, int(DdePause), overshoot);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
