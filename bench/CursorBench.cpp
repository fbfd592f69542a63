// Opens, scrolls, edits and saves one large result through the main window, as a user does:
// "Open ADO" with the connection string (and "Use serverside cursorlocation" as asked), "Execute
// SQL", the grid's Ctrl+End and Ctrl+Home, a drag of the Rows bar to the middle, an edit of the
// first record (when a column is named), and "Save grid":
//   quorva_cursor_bench CONNECTION SQL server|client SAVEFILE [EDITCOLUMN]
// prints one line "records=N first_ms=T records_ms=T last_ms=T first_again_ms=T middle_ms=T
// edit_ms=T save_ms=T added_peak_kb=K" (first: the first rows shown in the grid after the click;
// records: the count in the status bar; edit: the post and the result read again, -1 without an
// edit; added_peak_kb: the peak memory beyond that of the connected window). The edit sets the
// integer column to 1 minus its value, so that two runs leave it as it was.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QScrollBar>
#include <cstdio>
#include <stdexcept>

#include "MainUnit.h"
#include "PeakMemory.h"
#include "ScriptedMainWindow.h"
#include "db/dataset/DataSet.h"
#include "db/dataset/Field.h"
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
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: %s CONNECTION SQL server|client SAVEFILE [EDITCOLUMN]\n",
                     argv[0]);
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

        // The bar as a drag leaves it: the rows shown from there, painted.
        timer.start();
        QScrollBar& rows = *grid.RowBar();
        rows.setValue(rows.maximum() / 2);
        grid.viewport()->repaint();
        QApplication::processEvents();
        const double middleMs = Ms(timer);

        double editMs = -1;
        if (argc == 6) {
            TDataSet& dataSet = *grid.DataSet();
            TField& field = dataSet.FieldByName(QString::fromLocal8Bit(argv[5]));
            timer.start();
            dataSet.Edit();
            field.SetAsString(QString::number(1 - field.AsString().toLongLong()));
            dataSet.Post();
            grid.viewport()->repaint();
            QApplication::processEvents();
            editMs = Ms(timer);
            if (dataSet.RecordCount() != records)
                throw std::runtime_error("the edit changed the record count");
        }

        timer.start();
        window.SaveGrid(QString::fromLocal8Bit(argv[4]));
        const double saveMs = Ms(timer);
        std::printf(
            "records=%lld first_ms=%.1f records_ms=%.1f last_ms=%.1f first_again_ms=%.1f "
            "middle_ms=%.1f edit_ms=%.1f save_ms=%.1f added_peak_kb=%ld\n",
            static_cast<long long>(records), firstMs, recordsMs, lastMs, firstAgainMs, middleMs,
            editMs, saveMs, PeakResidentKb() - connectedKb);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
