#pragma once

// Scenes read through the system's Media Foundation (its source reader), for what AVIFile cannot
// decode: the readers for MP4, QuickTime, 3GP, ASF/WMV, AVI and Matroska, and the decoders for
// H.264, HEVC, MPEG-4 Part 2, MJPEG, MPEG-1/2 and WMV/VC-1 are part of Windows, where the old
// codecs AVIFile uses are almost all gone. Media Foundation is loaded when a scene first needs
// it, so the program starts and plays what AVIFile can where it is missing.

#include "VFW.h"

#include <cstdint>
#include <string>

// What the AVI headers say of a stream that AVIFile opened without a decompressor.
struct AviStreamFacts {
    DWORD rate = 0; // dwRate and dwScale as stored: the loader must see a zero as on Linux
    DWORD scale = 0;
    DWORD codec = 0;        // biCompression of the stream's format
    std::int64_t width = 0; // the picture its format declares
    std::int64_t height = 0;
};

// Opens `path` as a file of ours whose first video stream hands out the decoded frames; with
// `avi`, the stream's rate and picture size are the AVI headers'. A stream that declares a
// picture beyond the frame limits has no decompressor, as with the FFmpeg back end. A file Media
// Foundation reads without a video stream opens as one without (the loader reports the sound-only
// file). nullptr where Media Foundation is missing or cannot read the file.
PAVIFILE MediaFoundationOpen(const std::wstring& path, const AviStreamFacts* avi = nullptr);

// Once at the program's end, if it was used.
void MediaFoundationShutdown();
