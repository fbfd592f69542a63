// Opens, scrolls and saves one large result through the main window, as a user does: "Open ADO"
// with the connection string (and "Use serverside cursorlocation" as asked), "Execute SQL",
// the grid's Ctrl+End and Ctrl+Home, and "Save grid":
//   quorva_cursor_bench CONNECTION SQL server|client SAVEFILE
// prints one line "records=N first_ms=T records_ms=T last_ms=T first_again_ms=T save_ms=T
// added_peak_kb=K" (first: the first rows shown in the grid after the click; records: the count
// in the status bar; added_peak_kb: the peak memory beyond that of the connected window).

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <cstdio>
#include <stdexcept>

#include "MainUnit.h"
#include "PeakMemory.h"
#include "ScriptedMainWindow.h"
#include "db/dataset/DataSet.h"
#include "db/grid/DBGrid.h"

namespace {

// The peak so far becomes the current resident memory (Linux: "5" into clear_refs).
void ResetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double Ms(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

// A key on the grid, and what it sets off painted.
double PressOnGrid(TDBGrid& grid, int key) {
    QElapsedTimer timer;
    timer.start();
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
    QApplication::sendEvent(&grid, &press);
    grid.viewport()->repaint();
    QApplication::processEvents();
    return Ms(timer);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s CONNECTION SQL server|client SAVEFILE\n", argv[0]);
        return 2;
    }
    try {
        TScriptedMainWindow window;
        window.Connect(QString::fromLocal8Bit(argv[1]), qstrcmp(argv[3], "server") == 0);
        QApplication::processEvents();
        ResetPeak();
        const long connectedKb = ProcessStatusKb("VmRSS:");

        TDBGrid& grid = *window.Form().DBGrid1;
        QElapsedTimer timer;
        double firstMs = -1;
        QObject::connect(grid.DataSet(), &TDataSet::Opened, &grid, [&] {
            grid.viewport()->repaint();
            firstMs = Ms(timer);
        });
        timer.start();
        const qsizetype records = window.Execute(QString::fromLocal8Bit(argv[2]));
        const double recordsMs = Ms(timer);
        QApplication::processEvents();

        const double lastMs = PressOnGrid(grid, Qt::Key_End);
        if (grid.DataSet()->RecNo() != records)
            throw std::runtime_error("Ctrl+End did not reach the last record");
        const double firstAgainMs = PressOnGrid(grid, Qt::Key_Home);

        timer.start();
        window.SaveGrid(QString::fromLocal8Bit(argv[4]));
        const double saveMs = Ms(timer);
        std::printf(
            "records=%lld first_ms=%.1f records_ms=%.1f last_ms=%.1f first_again_ms=%.1f "
            "save_ms=%.1f added_peak_kb=%ld\n",
            static_cast<long long>(records), firstMs, recordsMs, lastMs, firstAgainMs, saveMs,
            PeakResidentKb() - connectedKb);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
