// Opens one result the way "Execute SQL" does (ADO connection, query, data source, a visible
// grid) and reports how long Open and RecordCount took and the process's peak memory:
//   quorva_open_bench DATABASE [SQL]
// prints one line "records=N open_ms=T peak_rss_kb=K rows_kb=R" (R: what the data set's rows
// take). Run it in a process of its own, so that the peak is the open's own.

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "core/Exception.h"
#include "db/components/ADOConnection.h"
#include "db/components/ADOQuery.h"
#include "db/grid/DBGrid.h"
#include "db/dataset/DataSource.h"

#include "PeakMemory.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s DATABASE [SQL]\n", argv[0]);
        return 2;
    }
    const QString sql =
        argc == 3 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("select * from orders");
    try {
        TADOConnection connection;
        connection.SetLoginPrompt(false);
        connection.SetConnectionString(QStringLiteral("Provider=SQLite;Data Source=") +
                                       QString::fromLocal8Bit(argv[1]));
        connection.Open();
        TADOQuery query;
        query.SetConnection(&connection);
        TDataSource source;
        source.SetDataSet(&query);
        TDBGrid grid;
        grid.SetDataSource(&source);
        grid.resize(789, 297);
        grid.show();
        QApplication::processEvents();

        QElapsedTimer timer;
        timer.start();
        query.SQL() = QStringList{sql};
        query.Open();
        const qsizetype records = query.RecordCount();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        std::printf("records=%lld open_ms=%.1f peak_rss_kb=%ld rows_kb=%zu\n",
                    static_cast<long long>(records), ms, PeakResidentKb(),
                    query.MemoryUsed() / 1024);
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.Message()));
        return 1;
    }
    return 0;
}
