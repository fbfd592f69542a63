// Composition alone, through the main window's own grid print adapter: the window is connected
// and has run the query once; every iteration is the adapter's BuildFromGrid, as "Print grid"
// calls it, with its progress window shown. Items are rows, so the rate reads as rows per second.
//
//   QUORVA_PRINTER=pdf:600 QUORVA_ORDERS_DB=orders100000.db bench_compose
//
// The printer decides the page geometry, so compare runs on the same QUORVA_PRINTER.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "MainUnit.h"
#include "ScriptedMainWindow.h"

namespace {
// Opened by the first benchmark; closed in main, while the application still runs.
std::unique_ptr<TScriptedMainWindow> openWindow;

TScriptedMainWindow& Window() {
    if (!openWindow) {
        openWindow = std::make_unique<TScriptedMainWindow>();
        openWindow->Connect(QStringLiteral("Provider=SQLite;Data Source=") +
                            qEnvironmentVariable("QUORVA_ORDERS_DB"));
    }
    return *openWindow;
}

void BM_BuildFromGrid(benchmark::State& state) {
    TScriptedMainWindow& window = Window();
    const qsizetype rows =
        window.Execute(QStringLiteral("select * from orders limit %1").arg(state.range(0)));
    TDBGridPrint& adapter = *window.Form().DBGridPrint1;
    for (auto _ : state) {
        adapter.BuildFromGrid();
        benchmark::DoNotOptimize(adapter.PageCount());
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["pages"] = adapter.PageCount();
}
BENCHMARK(BM_BuildFromGrid)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (qEnvironmentVariableIsEmpty("QUORVA_ORDERS_DB")) {
        std::fprintf(stderr, "set QUORVA_ORDERS_DB to an orders database made by gen_orders.py\n");
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    openWindow.reset();
    return 0;
}
