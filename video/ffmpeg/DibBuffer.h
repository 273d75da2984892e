#pragma once

// Pictures the decompressor makes, each a packed DIB in memory of its own, so that a bitmap can
// take one over instead of copying it.

#include "VFW.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

class DibBuffer {
public:
    // A DIB of `infoBytes` (header and table) followed by `imageBytes` of pixels, which start on
    // a 64-byte boundary. Large ones get pages of their own, faulted in with one call (the first
    // write to fresh pages is otherwise paid page by page). nullptr when the memory is not there.
    static std::shared_ptr<DibBuffer> New(std::int64_t infoBytes, std::int64_t imageBytes);
    ~DibBuffer();
    DibBuffer(const DibBuffer&) = delete;
    DibBuffer& operator=(const DibBuffer&) = delete;

    BITMAPINFOHEADER* Header() const { return reinterpret_cast<BITMAPINFOHEADER*>(FHeader); }
    std::uint8_t* Bits() const { return FBits; }
    std::int64_t InfoBytes() const { return FBits - FHeader; }
    std::int64_t ImageBytes() const { return FImageBytes; }
    // Whether it has pages of its own; only those are worth handing over.
    bool Mapped() const { return FMapped; }
    // Whether a bitmap took it over (HandOverPicture); then it is never written again.
    bool Claimed() const { return FClaimed.load(std::memory_order_relaxed); }

private:
    DibBuffer() = default;
    friend bool HandOverPicture(const BITMAPINFOHEADER* header, TDrawTarget& target);

    void* FBlock = nullptr;
    std::size_t FBlockBytes = 0;
    bool FMapped = false;
    std::uint8_t* FHeader = nullptr;
    std::uint8_t* FBits = nullptr;
    std::int64_t FImageBytes = 0;
    std::atomic<bool> FClaimed = false;
};

// Buffers made, and faulted in, on one thread ahead of need, and taken on another.
class DibSpares {
public:
    // Makes buffers of these sizes until `count` of them wait (dropping those of other sizes).
    void Fill(std::int64_t infoBytes, std::int64_t imageBytes, std::size_t count);
    // A waiting buffer of these sizes, or nullptr.
    std::shared_ptr<DibBuffer> Take(std::int64_t infoBytes, std::int64_t imageBytes);

private:
    std::mutex FLock;
    std::deque<std::shared_ptr<DibBuffer>> FSpares;
};

// Offered pictures are 32-bit, top-down, rows of width * 4 bytes, every pixel opaque: the
// layout of a drawing target's pixels. The decompressor offers the picture it returns and
// withdraws it when it moves on; DrawDib hands one over.
void OfferPicture(const std::shared_ptr<DibBuffer>& picture);
void WithdrawPicture(const DibBuffer* picture);
// Hands the offered picture with this header to the target (TargetAdopt), sharing its memory:
// true when the target took it, which takes it out of the offer (a second draw copies).
bool HandOverPicture(const BITMAPINFOHEADER* header, TDrawTarget& target);
