#include "support/process_memory.h"

#include <fstream>
#include <limits>

namespace kalvoran::testing {

ProcessMemory processMemory()
{
    ProcessMemory memory;
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:")
            status >> memory.residentKib;
        else if (key == "VmHWM:")
            status >> memory.peakKib;
        status.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return memory;
}

} // namespace kalvoran::testing
