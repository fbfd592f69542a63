#include "GridTextThread.h"

#include "core/TextFileWriter.h"

namespace {

// Batches waiting beside the one at work: enough to keep the thread busy while the walk
// reads, few enough to hold the memory to a couple of batches.
constexpr std::size_t kMostWaiting = 1;
// Rows between two looks at a stop, so that Escape does not wait for a whole batch.
constexpr qsizetype kRowsBetweenStops = 1024;

}  // namespace

TGridTextThread::TGridTextThread(TTextFileWriter& file, std::vector<TFieldType> types)
    : file_(file),
      types_(std::move(types)),
      thread_([this](const std::stop_token& stop) { Run(stop); }) {}

TGridTextThread::~TGridTextThread() {
    thread_.request_stop();
    changed_.notify_all();
}

void TGridTextThread::Add(std::shared_ptr<const TRowStore> rows, qsizetype first, qsizetype end) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.size() < kMostWaiting || failure_; });
    if (failure_)
        std::rethrow_exception(failure_);
    waiting_.push_back({std::move(rows), first, end});
    lock.unlock();
    changed_.notify_all();
}

void TGridTextThread::Finish() {
    {
        const std::lock_guard lock(mutex_);
        finishing_ = true;
    }
    changed_.notify_all();
    thread_.join();
    if (failure_)
        std::rethrow_exception(failure_);
}

void TGridTextThread::Run(const std::stop_token& stop) {
    try {
        for (;;) {
            TBatch batch;
            {
                std::unique_lock lock(mutex_);
                if (!changed_.wait(lock, stop, [this] { return !waiting_.empty() || finishing_; }))
                    return;
                if (waiting_.empty())
                    return;
                batch = std::move(waiting_.front());
                waiting_.pop_front();
            }
            changed_.notify_all();
            WriteLines(batch, stop);
            if (stop.stop_requested())
                return;
        }
    } catch (...) {
        {
            const std::lock_guard lock(mutex_);
            failure_ = std::current_exception();
        }
        changed_.notify_all();
    }
}

void TGridTextThread::WriteLines(const TBatch& batch, const std::stop_token& stop) {
    const TRowStore& rows = *batch.rows;
    const int columns = int(types_.size());
    for (qsizetype row = batch.first; row < batch.end; ++row) {
        if ((row - batch.first) % kRowsBetweenStops == 0 && stop.stop_requested())
            return;
        std::string& line = file_.Pending();
        for (int column = 0; column < columns; ++column) {
            if (column > 0)
                line += '\t';
            cells_.Append(line, rows, row, column, types_[std::size_t(column)]);
        }
        line += "\r\n";
    }
}
