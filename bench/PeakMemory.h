#pragma once

// One memory figure of this process from /proc/self/status ("VmHWM:", the peak resident
// memory, or "VmRSS:", the current one), in kB; -1 when it cannot be read.
long ProcessStatusKb(const char* name);

// The most resident memory this process has had, in kB; -1 when it cannot be read.
inline long PeakResidentKb() {
    return ProcessStatusKb("VmHWM:");
}
