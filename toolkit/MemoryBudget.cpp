#include "toolkit/MemoryBudget.h"

#include "toolkit/Graphics.h"

#include <limits>
#include <sys/resource.h>

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
    // The address-space limit can be lowered while the program runs; one system call tells.
    static TMemoryBudget budget(MemoryFits, [] {
        rlimit limit{};
        return getrlimit(RLIMIT_AS, &limit) == 0 ? std::uint64_t(limit.rlim_cur) : 0;
    });
    return budget;
}
