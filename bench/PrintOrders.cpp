// Prints the orders table through the kit into a PDF, as "Print grid" would, and reports the
// times: composition alone, reading and composing, playing the pages into the PDF, in all.
//
//   bench_print_orders <orders.db> <out.pdf> [dpi]

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "GridLikeVellox.h"
#include "OrdersSource.h"
#include "metafile/Metafile.h"
#include "print/Printer.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <orders.db> <out.pdf> [dpi]\n", argv[0]);
        return 2;
    }
    const int dpi = argc > 3 ? std::atoi(argv[3]) : 600;
    QElapsedTimer total;
    total.start();

    Printer().Select(TPrinterSelection::Pdf(dpi, QString::fromLocal8Bit(argv[2])));
    const TOrdersSource source(QString::fromLocal8Bit(argv[1]));
    TGridLikeVellox kit(source.ColumnTitles(), source.NumericColumns());

    QElapsedTimer phase, line;
    qint64 composing = 0;
    int rows = 0;
    phase.start();
    kit.Compose([&](const std::function<void(const QString&)>& writeLine) {
        rows = source.ForEachRow([&](const QString& cells) {
            line.start();
            writeLine(cells);
            composing += line.nsecsElapsed();
        });
    });
    const qint64 readAndCompose = phase.restart();

    Printer().BeginDoc();
    for (int page = 1; page <= kit.PageCount(); ++page) {
        if (page > 1)
            Printer().NewPage();
        kit.Pages(page).Play(Printer().Canvas());
    }
    Printer().EndDoc();
    const qint64 playing = phase.elapsed();

    std::printf(
        "rows=%d pages=%d compose_s=%.3f lines_per_s=%.0f read_compose_s=%.3f pdf_s=%.3f "
        "total_s=%.3f\n",
        rows, kit.PageCount(), composing / 1e9, rows / (composing / 1e9), readAndCompose / 1e3,
        playing / 1e3, total.elapsed() / 1e3);
    return 0;
}
