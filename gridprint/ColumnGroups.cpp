#include "ColumnGroups.h"

#include <algorithm>
#include <cmath>

#include "ProgramCounters.h"

std::vector<TColumnArray> ColumnGroups;
int CurrentColumnGroup = 0;
long double GroupWidth = 0;
long double GroupWidthLimit = 0;

long double ColumnWidthInUnits(int32_t width, TMeasureUnit unit) {
    return unit == muInches ? width / 25.4L : width;
}

void AddColumn(const TColumnRec& column, TMeasureUnit unit) {
    const long double width = ColumnWidthInUnits(column.Width, unit);
    GroupWidth += width;
    if (GroupWidth > GroupWidthLimit || ColumnGroups.empty()) {
        ++LastColumnGroup;
        GroupWidth = width;
        ColumnGroups.emplace_back();
    }
    ColumnGroups.back().push_back(column);
}

int ExpectedPagesFor(long long recordCount, int lastColumnGroup) {
    // nearbyint rounds halfway values to even in the default rounding mode.
    long long pages = std::max(1LL, (long long)std::nearbyint(recordCount / 55 + 0.5L));
    if (lastColumnGroup > 0)
        pages *= lastColumnGroup + 2;
    return int(std::min<long long>(pages, 1 << 30));
}
