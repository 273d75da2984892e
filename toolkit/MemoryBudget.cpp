#include "toolkit/MemoryBudget.h"

#include "toolkit/Graphics.h"

#include <limits>

bool TMemoryBudget::Fits(std::uint64_t bytes) {
    if (bytes <= FLeft) {
        FLeft -= bytes;
        return true;
    }
    FLeft = 0;
    if (bytes <= std::numeric_limits<std::uint64_t>::max() - FGrantBytes &&
        FFits(bytes + FGrantBytes)) {
        FLeft = FGrantBytes;
        return true;
    }
    return FFits(bytes);
}

TMemoryBudget& PixelMemory() {
    static TMemoryBudget budget(MemoryFits);
    return budget;
}
