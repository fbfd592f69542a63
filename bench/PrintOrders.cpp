// Prints the orders table as a user does: "Open ADO" with a Provider=SQLite connection string,
// "select * from orders" in the SQL editor, "Execute SQL", then "Print grid" with the print
// dialog answered Print, on the printer QUORVA_PRINTER names (pdf:<dpi>:<file> for a PDF). The
// window and the progress window are shown (offscreen unless QT_QPA_PLATFORM says otherwise).
// Prints one line with the wall time of each phase, the processor time of composing and of
// printing (the part of the wall time that is the program's own on a busy machine) and the
// peak resident memory.
//
//   QUORVA_PRINTER=pdf:600:orders.pdf bench_print_orders <orders.db> [SQL]

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <ctime>
#include <stdexcept>

#include "PeakMemory.h"
#include "ScriptedMainWindow.h"

namespace {
double Seconds(qint64 nanoseconds) {
    return double(nanoseconds) / 1e9;
}

// Processor time of the whole process, all threads.
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorva"));
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: QUORVA_PRINTER=pdf:<dpi>:<file> %s <orders.db> [SQL]\n",
                     argv[0]);
        return 2;
    }
    const QString sql =
        argc == 3 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("select * from orders");
    try {
        QElapsedTimer clock;
        clock.start();
        TScriptedMainWindow window;
        const qint64 started = clock.nsecsElapsed();
        window.Connect(QStringLiteral("Provider=SQLite;Data Source=") +
                       QString::fromLocal8Bit(argv[1]));
        const qint64 connected = clock.nsecsElapsed();
        const qsizetype records = window.Execute(sql);
        const qint64 executed = clock.nsecsElapsed();
        const double executedCpu = CpuSeconds();
        qint64 composed = 0;
        double composedCpu = 0;
        const int pages = window.PrintGrid([&] {
            composed = clock.nsecsElapsed();
            composedCpu = CpuSeconds();
        });
        const qint64 printed = clock.nsecsElapsed();
        const double printedCpu = CpuSeconds();
        std::printf(
            "records=%lld pages=%d window_s=%.3f connect_s=%.3f execute_s=%.3f compose_s=%.3f "
            "print_s=%.3f click_s=%.3f compose_cpu_s=%.3f print_cpu_s=%.3f peak_rss_kb=%ld\n",
            static_cast<long long>(records), pages, Seconds(started), Seconds(connected - started),
            Seconds(executed - connected), Seconds(composed - executed),
            Seconds(printed - composed), Seconds(printed - executed), composedCpu - executedCpu,
            printedCpu - composedCpu, PeakResidentKb());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
