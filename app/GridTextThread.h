#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "db/dataset/CellTextWriter.h"
#include "db/dataset/FieldType.h"
#include "db/dataset/RowStore.h"

class TTextFileWriter;

// Turns batches of rows into the grid save's lines and writes them to the file on a thread of
// its own, so that the walk reads the next batch meanwhile. At most one batch waits beside the
// one at work: Add waits for room. The thread touches only the batches, its cell writer and
// the file, never a Qt object of the caller's. Dropped without Finish (Escape, a read error),
// it stops at the next row and is joined; what it wrote stays uncommitted in the file.
class TGridTextThread {
  public:
    // `types` are the fields' types, column by column.
    TGridTextThread(TTextFileWriter& file, std::vector<TFieldType> types);
    ~TGridTextThread();
    TGridTextThread(const TGridTextThread&) = delete;
    TGridTextThread& operator=(const TGridTextThread&) = delete;

    // Rows first..end of `rows`, written after those handed before. Raises what stopped the
    // thread (a failed write) instead.
    void Add(std::shared_ptr<const TRowStore> rows, qsizetype first, qsizetype end);
    // Waits until every row handed is written; raises what stopped the thread.
    void Finish();

  private:
    struct TBatch {
        std::shared_ptr<const TRowStore> rows;
        qsizetype first, end;
    };
    void Run(const std::stop_token& stop);
    void WriteLines(const TBatch& batch, const std::stop_token& stop);

    TTextFileWriter& file_;
    const std::vector<TFieldType> types_;
    const TCellTextWriter cells_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<TBatch> waiting_;
    bool finishing_ = false;
    std::exception_ptr failure_;
    std::jthread thread_;  // last: it stops and joins before the members it uses go
};
