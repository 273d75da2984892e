// The rules every back end's bitmaps share: sizes, the memory check, notification, and the
// picture's ownership. The pixels themselves are the back end's (qt/, win32/ Graphics.cpp).

#include "toolkit/Graphics.h"

#include "base/ProcessMemory.h"
#include "toolkit/Exception.h"
#include "toolkit/MemoryBudget.h"

#include <algorithm>
#include <limits>

namespace {

// Left free after any pixel allocation, so the program can still paint and report the failure.
constexpr std::uint64_t kMemoryReserve = std::uint64_t{64} << 20;

} // namespace

bool MemoryFits(std::uint64_t bytes) {
    const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t need = bytes > max - kMemoryReserve ? max : bytes + kMemoryReserve;
    if (const auto left = AddressSpaceLeft(); left && need > *left)
        return false;
    if (const auto available = AvailableMemory(); available && need > *available)
        return false;
    return true;
}

void TBitmap::SetSize(int w, int h) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (w == FWidth && h == FHeight)
        return;
    if (w > 0 && h > 0) {
        // 64-bit: the 32-bit product wraps for large frames and would pass the check.
        const std::uint64_t bytes = std::uint64_t(w) * std::uint64_t(h) * 4;
        if (!PixelMemory().Fits(bytes))
            throw Exception("Zu wenig Arbeitsspeicher");
    }
    Reallocate(w, h);
    FWidth = w;
    FHeight = h;
    Changed();
}

void TBitmap::Changed() {
    if (OnChange)
        OnChange();
}

TPicture::TPicture() : FBitmap(std::make_unique<TBitmap>()) {
    Hook();
}

TPicture::TPicture(TPicture&& other) : TPicture() {
    std::swap(FBitmap, other.FBitmap);
    Hook();
    other.Hook();
}

// Only the pixels move: a listener belongs to the object's owner and stays where it is.
TPicture& TPicture::operator=(TPicture&& other) {
    if (this != &other) {
        std::swap(FBitmap, other.FBitmap);
        Hook();
        other.Hook();
        Changed();
    }
    return *this;
}

TPicture::~TPicture() = default;

void TPicture::Assign(const TPicture* source) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Assign(source ? source->FBitmap.get() : nullptr);
    Adopt(std::move(bitmap));
}

void TPicture::Assign(const TBitmap* source) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Assign(source);
    Adopt(std::move(bitmap));
}

void TPicture::Adopt(std::unique_ptr<TBitmap> bitmap) {
    FBitmap = std::move(bitmap);
    Hook();
    Changed();
}

void TPicture::Hook() {
    FBitmap->OnChange = [this] { Changed(); };
}

void TPicture::Changed() {
    if (OnChange)
        OnChange();
}
