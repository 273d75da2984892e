// The memory figures from the system's memory status and the process's working set.

#include "base/ProcessMemory.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>

namespace {

// The working set's peak when ResetPeakResident() was last called; the system keeps only the
// peak since the start.
std::optional<std::uint64_t> gPeakAtReset;
// The most resident memory read since the start or the reset: Wine updates its peak late.
std::uint64_t gSeenPeak = 0;

// Sums the regions of the process's address space that are free (or, with `free` false, in use).
std::uint64_t AddressSpace(bool free) {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    auto* at = static_cast<const char*>(info.lpMinimumApplicationAddress);
    const auto* end = static_cast<const char*>(info.lpMaximumApplicationAddress);
    std::uint64_t sum = 0;
    MEMORY_BASIC_INFORMATION region{};
    while (at < end && VirtualQuery(at, &region, sizeof region) == sizeof region) {
        if ((region.State == MEM_FREE) == free)
            sum += region.RegionSize;
        if (region.RegionSize == 0)
            break;
        at = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    }
    return sum;
}

bool MemoryStatus(MEMORYSTATUSEX& status) {
    status = {};
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) != FALSE;
}

bool Counters(PROCESS_MEMORY_COUNTERS& counters) {
    counters = {};
    counters.cb = sizeof counters;
    return K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) != FALSE;
}

} // namespace

ProcessMemory ReadProcessMemory() {
    // Walked rather than taken from the memory status, whose free address space Wine does not
    // keep up to date.
    ProcessMemory m;
    m.addressSpace = AddressSpace(false);
    PROCESS_MEMORY_COUNTERS counters;
    if (Counters(counters)) {
        m.resident = counters.WorkingSetSize;
        gSeenPeak = std::max<std::uint64_t>(gSeenPeak, counters.WorkingSetSize);
        // After a reset the system's peak tells the peak since then only once it has grown past
        // the one it had at the reset.
        if (!gPeakAtReset || counters.PeakWorkingSetSize > *gPeakAtReset)
            m.peakResident = std::max<std::uint64_t>(counters.PeakWorkingSetSize, gSeenPeak);
    }
    return m;
}

std::optional<std::uint64_t> AddressSpaceLeft() {
    // The user-mode address space is the limit that bites a 32-bit process long before the
    // machine's memory does; a 64-bit one has far more than any machine can back.
    if (sizeof(void*) > 4)
        return std::nullopt;
    return AddressSpace(true);
}

// The user-mode address space is fixed for the process's life.
std::uint64_t AddressSpaceLimit() {
    return 0;
}

std::optional<std::uint64_t> AvailableMemory() {
    MEMORYSTATUSEX status;
    if (!MemoryStatus(status))
        return std::nullopt;
    return status.ullAvailPhys;
}

void ResetPeakResident() {
    PROCESS_MEMORY_COUNTERS counters;
    if (Counters(counters)) {
        gPeakAtReset = counters.PeakWorkingSetSize;
        gSeenPeak = counters.WorkingSetSize;
    }
}
