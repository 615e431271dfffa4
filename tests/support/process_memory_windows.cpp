#include "support/process_memory.h"

#include <windows.h>

#include <psapi.h>

namespace kalvoran::testing {

ProcessMemory processMemory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) == 0)
        return {};
    constexpr SIZE_T kKib = 1024;
    return {static_cast<std::int64_t>(counters.WorkingSetSize / kKib),
        static_cast<std::int64_t>(counters.PeakWorkingSetSize / kKib)};
}

} // namespace kalvoran::testing
