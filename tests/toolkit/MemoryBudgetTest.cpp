// The batched memory check: few reads of the system's figures for many frames, and still a
// refusal before the allocation that would not fit.

#include "toolkit/MemoryBudget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr std::uint64_t MiB = std::uint64_t{1} << 20;

// A system with `room` bytes to give, which counts how often it is asked.
struct FakeSystem {
    std::uint64_t room;
    int asked = 0;
    bool Fits(std::uint64_t bytes) {
        ++asked;
        return bytes <= room;
    }
};

struct Allocation {
    std::uint64_t bytes;
    bool fits;
};

// Hands out what the budget allows, as the bitmaps do.
std::vector<bool> Allocate(TMemoryBudget& budget, FakeSystem& system,
                           const std::vector<std::uint64_t>& sizes) {
    std::vector<bool> allowed;
    for (std::uint64_t b : sizes) {
        allowed.push_back(budget.Fits(b));
        if (allowed.back())
            system.room -= b;
    }
    return allowed;
}

TEST(MemoryBudget, AsksOncePerGrantWhileThereIsRoom) {
    FakeSystem system{std::uint64_t{1} << 40};
    TMemoryBudget budget([&](std::uint64_t b) { return system.Fits(b); }, {}, 16 * MiB);
    const std::vector<std::uint64_t> frames(250, 1200 * 1024); // 640 x 480 x 4
    const auto allowed = Allocate(budget, system, frames);
    EXPECT_EQ(std::count(allowed.begin(), allowed.end(), true), 250);
    EXPECT_LE(system.asked, 250 * 1200 / (16 * 1024) + 2);
}

TEST(MemoryBudget, RefusesExactlyWhatWouldNotFit) {
    struct Case {
        std::uint64_t room;
        std::vector<std::uint64_t> sizes;
        std::vector<bool> allowed;
    };
    const std::vector<Case> cases = {
        // Near the end every request is checked on its own: the last MiB still fits.
        {10 * MiB, {3 * MiB, 3 * MiB, 3 * MiB, 1 * MiB, 1}, {true, true, true, true, false}},
        // A request larger than the grant is checked as it is.
        {40 * MiB, {32 * MiB, 9 * MiB, 8 * MiB}, {true, false, true}},
        // A refusal takes nothing, a smaller request after it may still fit.
        {5 * MiB, {6 * MiB, 5 * MiB, 1}, {false, true, false}},
        {0, {1}, {false}},
    };
    for (const Case& c : cases) {
        FakeSystem system{c.room};
        TMemoryBudget budget([&](std::uint64_t b) { return system.Fits(b); }, {}, 16 * MiB);
        EXPECT_EQ(Allocate(budget, system, c.sizes), c.allowed) << "room " << c.room;
    }
}

TEST(MemoryBudget, AGrantDoesNotOutliveARefusalOrAHugeRequest) {
    FakeSystem system{100 * MiB};
    TMemoryBudget budget([&](std::uint64_t b) { return system.Fits(b); }, {}, 16 * MiB);
    EXPECT_TRUE(budget.Fits(1 * MiB)); // grant: 16 MiB left unasked
    EXPECT_FALSE(budget.Fits(UINT64_MAX));
    system.room = 0; // someone else took the memory
    const int asked = system.asked;
    EXPECT_FALSE(budget.Fits(1 * MiB));
    EXPECT_GT(system.asked, asked);
}

TEST(MemoryBudget, AGrantEndsWhenTheLimitsChange) {
    FakeSystem system{100 * MiB};
    std::uint64_t limit = 1;
    TMemoryBudget budget([&](std::uint64_t b) { return system.Fits(b); }, [&] { return limit; },
                         16 * MiB);
    EXPECT_TRUE(budget.Fits(1 * MiB)); // grant: 16 MiB left unasked
    EXPECT_TRUE(budget.Fits(1 * MiB));
    const int asked = system.asked;
    limit = 2;       // the address-space limit was lowered
    system.room = 0; // and leaves no room
    EXPECT_FALSE(budget.Fits(1 * MiB));
    EXPECT_GT(system.asked, asked);
}

} // namespace
