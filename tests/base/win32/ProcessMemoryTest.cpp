// The memory figures follow what the process does with its memory.

#include "base/ProcessMemory.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr std::uint64_t MiB = 1024 * 1024;

TEST(ProcessMemory, AddressSpaceFollowsReservations) {
    const ProcessMemory before = ReadProcessMemory();
    const auto leftBefore = AddressSpaceLeft();
    ASSERT_TRUE(before.addressSpace);
    // Only a 32-bit process has a limit worth checking against.
    EXPECT_EQ(leftBefore.has_value(), sizeof(void*) == 4);
    void* block = VirtualAlloc(nullptr, 256 * MiB, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_NE(block, nullptr);
    const ProcessMemory reserved = ReadProcessMemory();
    const auto leftReserved = AddressSpaceLeft();
    VirtualFree(block, 0, MEM_RELEASE);
    EXPECT_GE(*reserved.addressSpace, *before.addressSpace + 256 * MiB);
    if (leftBefore && leftReserved) {
        EXPECT_LE(*leftReserved + 256 * MiB, *leftBefore);
    }
    EXPECT_LE(*ReadProcessMemory().addressSpace + 256 * MiB, *reserved.addressSpace);
}

TEST(ProcessMemory, ResidentAndItsPeakFollowTouchedPages) {
    auto touch = [](std::uint64_t size) {
        void* block = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (block)
            std::memset(block, 1, size);
        return block;
    };
    const ProcessMemory before = ReadProcessMemory();
    ASSERT_TRUE(before.resident && before.peakResident);
    void* block = touch(64 * MiB);
    ASSERT_NE(block, nullptr);
    const ProcessMemory touched = ReadProcessMemory();
    VirtualFree(block, 0, MEM_RELEASE);
    EXPECT_GE(*touched.resident, *before.resident + 60 * MiB);
    EXPECT_GE(*touched.peakResident, *touched.resident);
    const ProcessMemory freed = ReadProcessMemory();
    EXPECT_LE(*freed.resident + 60 * MiB, *touched.resident);
    EXPECT_GE(*freed.peakResident, *touched.resident);

    // The system keeps its peak since the start: after a reset the figure is given again once the
    // process has grown past it.
    ResetPeakResident();
    block = touch(*touched.peakResident + 16 * MiB);
    ASSERT_NE(block, nullptr);
    const ProcessMemory grown = ReadProcessMemory();
    VirtualFree(block, 0, MEM_RELEASE);
    ASSERT_TRUE(grown.peakResident);
    EXPECT_GE(*grown.peakResident, *grown.resident);
}

TEST(ProcessMemory, MachineHasAvailableMemory) {
    const auto available = AvailableMemory();
    ASSERT_TRUE(available);
    EXPECT_GT(*available, 16 * MiB);
}

} // namespace
