#pragma once

// Qt's PDF writer takes two buffers of some 16 MB for every page it compresses. With the C
// library's default thresholds the heap grows by them and is handed back to the system after
// every page (brk calls, page faults, page tables torn down), which took about a third of a
// long print run. While a scope lives, such buffers stay in the heap; afterwards the default
// thresholds apply again and the heap shrinks as before. One scope at a time.
class TSpoolHeapScope {
  public:
    TSpoolHeapScope();
    ~TSpoolHeapScope();

    TSpoolHeapScope(const TSpoolHeapScope&) = delete;
    TSpoolHeapScope& operator=(const TSpoolHeapScope&) = delete;
};
