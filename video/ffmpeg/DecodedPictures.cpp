#include "DecodedPictures.h"

#include <utility>

namespace {

// Buffers faulted in ahead for the worker: one for the picture it makes, one to spare.
constexpr std::size_t kSpares = 2;

} // namespace

bool DecodedPictures::Next(ConvertedDib& into, std::int64_t& stamp, bool first) {
    // The first picture is made here: opening a decompressor reads it, and the worker should
    // not read the file while the caller still asks about the stream.
    if (first && !FWorker.Running())
        return Make(into, stamp);
    const bool made = FWorker.Take([&] {
        std::swap(into, FAhead);
        stamp = FAheadStamp;
    });
    if (made && into.Offerable())
        FSpares.Fill(into.own->InfoBytes(), into.own->ImageBytes(), kSpares);
    return made;
}

// Decodes and converts the next picture that can be shown.
bool DecodedPictures::Make(ConvertedDib& into, std::int64_t& stamp) {
    while (FDecoder.Receive()) {
        stamp = FDecoder.Frame().best_effort_timestamp;
        const bool converted = FConverter.Convert(FDecoder.Frame(), into);
        FDecoder.ReleaseFrame();
        if (converted)
            return true;
        // a picture we cannot show is skipped like a broken packet
    }
    return false;
}
