// "Save grid" of one result, driven as a user drives it: the main window opens the database
// through the ADO chooser, "Execute SQL" fills the real grid, and "Save grid" is clicked with a
// scripted seam answering the save dialog:
//   quorva_save_bench DATABASE OUTPUT [SQL]
// prints one line "records=N save_ms=T added_peak_kb=K" (K: the most memory the save added to
// what the process held before it). Run it in a process of its own.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <stdexcept>

#include "PeakMemory.h"
#include "ScriptedMainWindow.h"

namespace {
// Lets VmHWM measure from now on (Linux resets it on "5").
bool ResetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
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

    try {
        TScriptedMainWindow window;
        window.Connect(QStringLiteral("Provider=SQLite;Data Source=") + database);
        const qsizetype records = window.Execute(sql);
        long before = -1;
        bool peakReset = false;
        QElapsedTimer timer;
        window.SaveGrid(output, [&] {
            before = ProcessStatusKb("VmRSS:");
            peakReset = ResetPeak();
            timer.start();
        });
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        const long peak = PeakResidentKb();
        std::printf("records=%lld save_ms=%.1f added_peak_kb=%ld\n",
                    static_cast<long long>(records), ms, peakReset ? peak - before : -1);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
