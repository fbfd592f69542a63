#include "db/DbBackend.h"
#include "db/dataset/RowStore.h"

// Page by page through Read: an engine whose reads may see other programs' writes between two
// pages gives its own walk over one state.
void TScrollCursor::Walk(const std::function<bool(TRowStore& batch)>& each,
                         const std::function<void()>& wait) {
    constexpr qsizetype kBatchRows = 512;
    for (qsizetype first = 0;; first += kBatchRows) {
        TRowStore batch;
        batch.Reset(int(Fields().size()));
        ReadWaiting(first, kBatchRows, batch, wait);
        if (batch.RowCount() > 0 && !each(batch))
            return;
        if (batch.RowCount() < kBatchRows)
            return;
    }
}
