#pragma once

#include <cstdint>
#include <functional>

// Batches the memory check for many allocations in a row: reading the system's figures costs
// more than the allocation of a frame. A request is checked together with a grant of a few MiB,
// which later requests use up without asking again; near the limit each one is checked on its
// own, so a request that would not fit is still refused before it is allocated.
class TMemoryBudget {
public:
    static constexpr std::uint64_t kGrantBytes = std::uint64_t{16} << 20;

    explicit TMemoryBudget(std::function<bool(std::uint64_t)> fits,
                           std::uint64_t grantBytes = kGrantBytes)
        : FFits(std::move(fits)), FGrantBytes(grantBytes) {}

    bool Fits(std::uint64_t bytes);

private:
    std::function<bool(std::uint64_t)> FFits;
    std::uint64_t FGrantBytes;
    std::uint64_t FLeft = 0; // known to fit beyond what was handed out
};

// The budget of the bitmaps' pixels, over MemoryFits.
TMemoryBudget& PixelMemory();
