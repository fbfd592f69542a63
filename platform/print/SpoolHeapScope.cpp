#include "print/SpoolHeapScope.h"

// Any C library header tells whether this is glibc.
#include <cstdlib>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
#ifdef __GLIBC__
// The largest threshold the allocator takes on 64-bit systems; above both page buffers.
constexpr int kSpoolMmapThreshold = 32 * 1024 * 1024;
// Room for both buffers at the top of the heap.
constexpr int kSpoolTrimThreshold = 64 * 1024 * 1024;
constexpr int kDefaultThreshold = 128 * 1024;
#endif
}  // namespace

TSpoolHeapScope::TSpoolHeapScope() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, kSpoolMmapThreshold);
    mallopt(M_TRIM_THRESHOLD, kSpoolTrimThreshold);
#endif
}

TSpoolHeapScope::~TSpoolHeapScope() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, kDefaultThreshold);
    mallopt(M_TRIM_THRESHOLD, kDefaultThreshold);
#endif
}
