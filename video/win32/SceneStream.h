#pragma once

// An opened file and video stream of our own behind the system's AVIFile calls. The calls the
// loader makes reach a file through its interfaces: AVIFileGetStream asks the file, AVIStreamInfo
// and AVIStreamStart/Length the stream, AVIStreamGetFrameOpen asks the stream for a frame object
// of its own before it looks for a decompressor, and AVIStreamGetFrame asks that object. So a
// file whose frames AVIFile cannot decode is read by our own code and reaches the loader, and
// DrawDib, exactly as AVIFile's frames do: 32-bit BI_RGB pictures, bottom-up, as DrawDib wants
// them.

#include "VFW.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// One frame handed out: a packed 32-bit BI_RGB DIB, bottom-up, reused from frame to frame.
class Rgb32Dib {
public:
    // Room for a frame of this size; false when it is beyond the frame limits or there is no
    // memory for it.
    bool Reserve(int width, int height);
    const BITMAPINFOHEADER* Header() const;
    // The top row of the picture and the distance to the next row down (negative).
    std::uint8_t* TopRow();
    std::ptrdiff_t Pitch() const;
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }

private:
    std::unique_ptr<std::uint8_t[]> FBytes;
    std::size_t FCapacity = 0;
    int FWidth = 0;
    int FHeight = 0;
};

// Frames of one stream from the first on, in the order they are shown.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    // Prepares the decode; false when there is no decoder for the stream (or its pictures are
    // beyond the frame limits), which the loader reports as having no decompressor.
    virtual bool Start() = 0;
    // The next frame, or nullptr after the last one (or on an error that ends the stream).
    // Valid until the next call.
    virtual const BITMAPINFOHEADER* Next() = 0;
};

// A new source for each AVIStreamGetFrameOpen.
using FrameSources = std::function<std::unique_ptr<FrameSource>()>;

// An opened file of ours with one video stream described by `info` (rate and scale, length,
// frame rectangle, handler), whose frames come from `sources`; without `sources`, a file with
// no video stream (AVIFileGetStream then gives AVIERR_NODATA). nullptr without memory.
PAVIFILE MakeSceneFile(const AVISTREAMINFOW& info, FrameSources sources);
