#include "DibBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::int64_t kAlign = 64;
constexpr std::int64_t kSlack = 64; // vector code may write a little past the last row
// From this size on, pictures get pages of their own, as the bitmaps' own pixels do.
constexpr std::int64_t kOwnPagesBytes = std::int64_t{256} << 10;

struct Offer {
    const DibBuffer* key;
    std::weak_ptr<DibBuffer> picture;
};

std::mutex& OfferLock() {
    static std::mutex lock;
    return lock;
}

std::vector<Offer>& Offers() {
    static std::vector<Offer> offers;
    return offers;
}

} // namespace

std::shared_ptr<DibBuffer> DibBuffer::New(std::int64_t infoBytes, std::int64_t imageBytes) {
    if (infoBytes <= 0 || imageBytes <= 0 || infoBytes > (std::int64_t{1} << 20) ||
        imageBytes > (std::int64_t{1} << 40))
        return nullptr;
    std::shared_ptr<DibBuffer> b(new (std::nothrow) DibBuffer);
    if (!b)
        return nullptr;
    if (imageBytes >= kOwnPagesBytes) {
        // The pixels start on a page; the header and table sit at the end of the page(s) before.
        const std::int64_t page = sysconf(_SC_PAGESIZE);
        const std::int64_t lead = (infoBytes + page - 1) / page * page;
        b->FBlockBytes = std::size_t(lead + imageBytes + kSlack);
        void* block = mmap(nullptr, b->FBlockBytes, PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED)
            return nullptr;
        b->FBlock = block;
        b->FMapped = true;
        // Best effort: without it (older kernels) the first write faults the pages in as usual.
        madvise(block, b->FBlockBytes, MADV_POPULATE_WRITE);
        b->FBits = static_cast<std::uint8_t*>(block) + lead;
    } else {
        const std::int64_t lead = (infoBytes + kAlign - 1) / kAlign * kAlign;
        b->FBlockBytes = std::size_t(lead + imageBytes + kSlack);
        b->FBlock = std::aligned_alloc(kAlign, (b->FBlockBytes + kAlign - 1) / kAlign * kAlign);
        if (!b->FBlock)
            return nullptr;
        b->FBits = static_cast<std::uint8_t*>(b->FBlock) + lead;
    }
    b->FHeader = b->FBits - infoBytes;
    b->FImageBytes = imageBytes;
    return b;
}

DibBuffer::~DibBuffer() {
    if (FMapped)
        munmap(FBlock, FBlockBytes);
    else
        std::free(FBlock);
}

void DibSpares::Fill(std::int64_t infoBytes, std::int64_t imageBytes, std::size_t count) {
    for (;;) {
        {
            const std::lock_guard lock(FLock);
            std::erase_if(FSpares, [&](const auto& b) {
                return b->InfoBytes() != infoBytes || b->ImageBytes() != imageBytes;
            });
            if (FSpares.size() >= count)
                return;
        }
        auto spare = DibBuffer::New(infoBytes, imageBytes);
        if (!spare)
            return;
        const std::lock_guard lock(FLock);
        FSpares.push_back(std::move(spare));
    }
}

std::shared_ptr<DibBuffer> DibSpares::Take(std::int64_t infoBytes, std::int64_t imageBytes) {
    const std::lock_guard lock(FLock);
    for (auto it = FSpares.begin(); it != FSpares.end(); ++it) {
        if ((*it)->InfoBytes() == infoBytes && (*it)->ImageBytes() == imageBytes) {
            auto spare = std::move(*it);
            FSpares.erase(it);
            return spare;
        }
    }
    return nullptr;
}

void OfferPicture(const std::shared_ptr<DibBuffer>& picture) {
    const std::lock_guard lock(OfferLock());
    auto& offers = Offers();
    std::erase_if(offers, [](const Offer& o) { return o.picture.expired(); });
    offers.push_back({picture.get(), picture});
}

void WithdrawPicture(const DibBuffer* picture) {
    const std::lock_guard lock(OfferLock());
    std::erase_if(Offers(), [&](const Offer& o) { return o.key == picture; });
}

bool HandOverPicture(const BITMAPINFOHEADER* header, TDrawTarget& target) {
    const std::lock_guard lock(OfferLock());
    auto& offers = Offers();
    for (auto it = offers.begin(); it != offers.end(); ++it) {
        auto alive = it->picture.lock();
        if (!alive || alive->Header() != header)
            continue;
        const BITMAPINFOHEADER& bi = *header;
        const int h = bi.biHeight < 0 ? -bi.biHeight : bi.biHeight;
        if (!target.TargetAdopt(
                {alive->Bits(), bi.biWidth, h, std::int64_t{bi.biWidth} * 4, alive}))
            return false;
        alive->FClaimed.store(true, std::memory_order_relaxed);
        offers.erase(it);
        return true;
    }
    return false;
}
