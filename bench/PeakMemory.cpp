#include "PeakMemory.h"

#include <fstream>
#include <string>

long PeakResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            long kilobytes = -1;
            status >> kilobytes;
            return kilobytes;
        }
    }
    return -1;
}
