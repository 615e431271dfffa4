#pragma once

#include <cstdint>
#include <string>

namespace kalvoran::testing {

// The memory this process holds now and the most it has held, in KiB, as the
// system reports it: on Linux the resident set and its high-water mark
// (VmRSS, VmHWM in /proc/self/status), on Windows the working set and its
// peak (GetProcessMemoryInfo). -1 where the system gives no figure.
struct ProcessMemory
{
    std::int64_t residentKib = -1;
    std::int64_t peakKib = -1;
};

[[nodiscard]] ProcessMemory processMemory();

[[nodiscard]] inline std::string describe(const ProcessMemory &memory)
{
    return "resident " + std::to_string(memory.residentKib) + " KiB, peak " + std::to_string(memory.peakKib) + " KiB";
}

} // namespace kalvoran::testing
