#include "metafile/PageList.h"

#include "core/Exception.h"

TMetafile& TPageList::Items(int index) const {
    if (index < 0 || index >= Count()) {
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    }
    return *pages_[size_t(index)];
}

TMetafile& TPageList::Add(std::unique_ptr<TMetafile> page) {
    pages_.push_back(std::move(page));
    return *pages_.back();
}
