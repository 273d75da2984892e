#pragma once

// Memory figures of this process and of the machine, in bytes, as the system reports them. An
// empty figure is one the system does not give. Each platform has a source file of its own.

#include <cstdint>
#include <optional>

struct ProcessMemory {
    std::optional<std::uint64_t> addressSpace; // reserved address space
    std::optional<std::uint64_t> resident;     // in physical memory now
    std::optional<std::uint64_t> peakResident; // the most since start or ResetPeakResident()
};

ProcessMemory ReadProcessMemory();
// Address space this process can still reserve before its limit; empty when it has no limit.
std::optional<std::uint64_t> AddressSpaceLeft();
// The limit itself, in one cheap call, to tell whether it changed (it can be lowered while the
// program runs); 0 where the system keeps none that could change.
std::uint64_t AddressSpaceLimit();
// Physical memory new allocations can still get without pushing anything out.
std::optional<std::uint64_t> AvailableMemory();
// Starts peakResident over from the current resident figure.
void ResetPeakResident();
