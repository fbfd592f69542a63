#pragma once

// The most resident memory this process has had, in kB (VmHWM of /proc/self/status); -1 when
// it cannot be read.
long PeakResidentKb();
