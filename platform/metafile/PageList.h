#pragma once

#include <memory>
#include <vector>

#include "metafile/Metafile.h"

// The composed pages of a document, page 1 first. The list owns its pages.
class TPageList {
  public:
    int Count() const { return int(pages_.size()); }
    // Zero-based; an index outside the list raises EListError.
    TMetafile& Items(int index) const;
    TMetafile& Add(std::unique_ptr<TMetafile> page);
    // Drops the last page; nothing happens to an empty list.
    void RemoveLast() {
        if (!pages_.empty())
            pages_.pop_back();
    }
    void Clear() { pages_.clear(); }

  private:
    std::vector<std::unique_ptr<TMetafile>> pages_;
};
