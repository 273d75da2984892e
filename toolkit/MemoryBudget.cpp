#include "toolkit/MemoryBudget.h"

#include "toolkit/Graphics.h"

#include "base/ProcessMemory.h"

#include <limits>

bool TMemoryBudget::Fits(std::uint64_t bytes) {
    const std::uint64_t limits = FLimits ? FLimits() : 0;
    if (limits != FGrantedUnder)
        FLeft = 0;
    if (bytes <= FLeft) {
        FLeft -= bytes;
        return true;
    }
    FLeft = 0;
    if (bytes <= std::numeric_limits<std::uint64_t>::max() - FGrantBytes &&
        FFits(bytes + FGrantBytes)) {
        FLeft = FGrantBytes;
        FGrantedUnder = limits;
        return true;
    }
    return FFits(bytes);
}

TMemoryBudget& PixelMemory() {
    static TMemoryBudget budget(MemoryFits, AddressSpaceLimit);
    return budget;
}
