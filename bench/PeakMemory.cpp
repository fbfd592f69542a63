#include "PeakMemory.h"

#include <fstream>
#include <string>

long ProcessStatusKb(const char* name) {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == name) {
            long kilobytes = -1;
            status >> kilobytes;
            return kilobytes;
        }
    }
    return -1;
}
