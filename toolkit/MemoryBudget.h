#pragma once

#include <cstdint>
#include <functional>

// Batches the memory check for many allocations in a row: reading the system's figures costs
// more than the allocation of a frame. A request is checked together with a grant of a few MiB,
// which later requests use up without asking again; near the limit each one is checked on its
// own, so a request that would not fit is still refused before it is allocated. A grant holds
// only under the limits it was made under (`limits` tells them, cheaply); what other processes
// take meanwhile is covered by the reserve the check keeps, which is far larger than a grant.
class TMemoryBudget {
public:
    static constexpr std::uint64_t kGrantBytes = std::uint64_t{16} << 20;

    explicit TMemoryBudget(std::function<bool(std::uint64_t)> fits,
                           std::function<std::uint64_t()> limits = {},
                           std::uint64_t grantBytes = kGrantBytes)
        : FFits(std::move(fits)), FLimits(std::move(limits)), FGrantBytes(grantBytes) {}

    bool Fits(std::uint64_t bytes);

private:
    std::function<bool(std::uint64_t)> FFits;
    std::function<std::uint64_t()> FLimits;
    std::uint64_t FGrantBytes;
    std::uint64_t FLeft = 0; // known to fit beyond what was handed out
    std::uint64_t FGrantedUnder = 0;
};

// The budget of the bitmaps' pixels, over MemoryFits.
TMemoryBudget& PixelMemory();
