// Composition alone: rows already in memory become pages, no PDF. Items are lines, so the
// rate reads as lines per second.
//
//   QUORVA_ORDERS_DB=orders100k.db bench_compose

#include <benchmark/benchmark.h>

#include <QApplication>

#include "GridLikeVellox.h"
#include "OrdersSource.h"
#include "print/Printer.h"

namespace {
struct TOrders {
    QStringList titles;
    QList<bool> numeric;
    QStringList rows;
};

const TOrders& Orders() {
    static const TOrders orders = [] {
        const TOrdersSource source(qEnvironmentVariable("QUORVA_ORDERS_DB"));
        TOrders loaded{source.ColumnTitles(), source.NumericColumns(), {}};
        source.ForEachRow([&](const QString& row) { loaded.rows << row; });
        return loaded;
    }();
    return orders;
}

void BM_ComposeOrders(benchmark::State& state) {
    const TOrders& orders = Orders();
    const qsizetype count = qMin<qsizetype>(state.range(0), orders.rows.size());
    TGridLikeVellox kit(orders.titles, orders.numeric);
    for (auto _ : state) {
        kit.Compose([&](const std::function<void(const QString&)>& writeLine) {
            for (qsizetype i = 0; i < count; ++i)
                writeLine(orders.rows[i]);
        });
        benchmark::DoNotOptimize(kit.PageCount());
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["pages"] = kit.PageCount();
}
BENCHMARK(BM_ComposeOrders)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (qEnvironmentVariableIsEmpty("QUORVA_ORDERS_DB")) {
        std::fprintf(stderr, "set QUORVA_ORDERS_DB to an orders database made by gen_orders.py\n");
        return 2;
    }
    Printer().Select(TPrinterSelection::Pdf(600));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
