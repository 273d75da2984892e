#include "FrameReader.h"

#include <algorithm>
#include <utility>

std::unique_ptr<FrameReader> FrameReader::Open(const Source& source) {
    auto decoder = StreamDecoder::Open(source.format, source.stream);
    if (!decoder)
        return nullptr;
    return std::unique_ptr<FrameReader>(new FrameReader(source, std::move(decoder)));
}

FrameReader::~FrameReader() {
    FPictures.Stop();
    if (FOffered)
        WithdrawPicture(FOffered);
}

const BITMAPINFOHEADER* FrameReader::Frame(std::int64_t n) {
    if (n < 0)
        return nullptr;
    if (n == FCurrent)
        return reinterpret_cast<const BITMAPINFOHEADER*>(FFront.header);
    if (n < FCurrent || FSource.rewind) {
        if (!Restart())
            return nullptr;
    }
    while (FCurrent < n) {
        if (!Advance())
            return nullptr;
    }
    OfferFront();
    return reinterpret_cast<const BITMAPINFOHEADER*>(FFront.header);
}

// Each picture is offered once: a repeat of it, or the same frame asked for again, is copied.
void FrameReader::OfferFront() {
    const DibBuffer* front = FFront.Offerable() ? FFront.own.get() : nullptr;
    if (front == FOffered)
        return;
    if (FOffered)
        WithdrawPicture(FOffered);
    FOffered = front;
    if (front)
        OfferPicture(FFront.own);
}

bool FrameReader::Restart() {
    FPictures.Stop();
    if (!FDecoder->Rewind())
        return false;
    FSource.rewind = false;
    FBackReady = false;
    FRepeats = 0;
    FCurrent = -1;
    FLastStamp = AV_NOPTS_VALUE;
    FEnded = false;
    FPadded = false;
    return true;
}

// Moves to the next frame: a repeat for a drop chunk, or the next decoded picture.
bool FrameReader::Advance() {
    if (FEnded)
        return false;
    if (FRepeats > 0) {
        --FRepeats;
        ++FCurrent;
        return true;
    }
    if (FBackReady) {
        std::swap(FFront, FBack);
        FBackReady = false;
        ++FCurrent;
        return true;
    }
    std::int64_t stamp = AV_NOPTS_VALUE;
    if (FPictures.Next(FBack, stamp, FCurrent < 0)) {
        TakePicture(stamp);
        return true;
    }
    if (PadToIndex())
        return true;
    FEnded = true;
    return false;
}

// The picture just decoded into FBack is the next frame, unless its timestamp leaves a gap: then
// repeats of the front one come first.
void FrameReader::TakePicture(std::int64_t stamp) {
    const std::int64_t gap = GapBefore(stamp);
    if (stamp != AV_NOPTS_VALUE)
        FLastStamp = stamp;
    ++FCurrent;
    if (gap > 0) {
        FRepeats = gap - 1; // this call hands out the first repeat
        FBackReady = true;
        return;
    }
    std::swap(FFront, FBack);
}

// The frames missing before a picture of this timestamp: drop chunks, in AVI files only.
std::int64_t FrameReader::GapBefore(std::int64_t stamp) const {
    if (!FSource.fillGaps || FCurrent < 0 || stamp == AV_NOPTS_VALUE ||
        FLastStamp == AV_NOPTS_VALUE || stamp <= FLastStamp)
        return 0;
    // Stamps come from the file: their distance may not fit a signed 64-bit value.
    const std::uint64_t distance = std::uint64_t(stamp) - std::uint64_t(FLastStamp);
    return std::int64_t(std::min<std::uint64_t>(distance - 1, kMaxRepeatedFrames));
}

// Drop chunks at the end leave no timestamps behind; only the index knows them.
bool FrameReader::PadToIndex() {
    if (FPadded || FCurrent < 0 || !FSource.indexedFrames ||
        *FSource.indexedFrames <= std::uint64_t(FCurrent + 1))
        return false;
    FPadded = true;
    const std::uint64_t missing = *FSource.indexedFrames - std::uint64_t(FCurrent + 1);
    FRepeats = std::int64_t(std::min<std::uint64_t>(missing, kMaxRepeatedFrames)) - 1;
    ++FCurrent;
    return true;
}
