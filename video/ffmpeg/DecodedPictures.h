#pragma once

// The stream's pictures, decoded and converted one after the other: the first on the caller's
// thread, each later one by the video layer's worker while the caller stores the one before
// (DecodeAhead), in buffers faulted in here meanwhile.

#include "DecodeAhead.h"
#include "DibBuffer.h"
#include "FrameConverter.h"
#include "StreamDecoder.h"

#include <cstdint>

class DecodedPictures {
public:
    // The decoder stays the caller's, and outlives this.
    explicit DecodedPictures(StreamDecoder& decoder) : FDecoder(decoder) {}
    DecodedPictures(const DecodedPictures&) = delete;
    DecodedPictures& operator=(const DecodedPictures&) = delete;

    // The next picture, swapped into `into`, and its timestamp; false when there is none more.
    // `first`: the first of the stream (again), which is made here.
    bool Next(ConvertedDib& into, std::int64_t& stamp, bool first);
    // Lets the picture being made be finished, drops it, and joins the worker: the decoder is the
    // caller's again.
    void Stop() { FWorker.Stop(); }

private:
    bool Make(ConvertedDib& into, std::int64_t& stamp);

    StreamDecoder& FDecoder;
    // The worker's: the buffers it may make pictures in, its conversion, the picture it makes.
    DibSpares FSpares;
    FrameConverter FConverter{FSpares};
    ConvertedDib FAhead;
    std::int64_t FAheadStamp = AV_NOPTS_VALUE;
    // Last: joined before anything it works on goes.
    DecodeAhead FWorker{[this] { return Make(FAhead, FAheadStamp); }};
};
