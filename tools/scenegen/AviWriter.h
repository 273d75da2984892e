#pragma once

// A small AVI (RIFF) writer of our own, so that fixtures can carry any header value we want:
// zero rates, absurd lengths, drop chunks, missing lists.

#include "base/Dib.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t FourCC(const char (&s)[5]) {
    return std::uint32_t(std::uint8_t(s[0])) | std::uint32_t(std::uint8_t(s[1])) << 8 |
           std::uint32_t(std::uint8_t(s[2])) << 16 | std::uint32_t(std::uint8_t(s[3])) << 24;
}

struct AviChunk {
    Bytes data; // empty: a drop chunk ("repeat the previous frame")
    bool key = true;
};

// What one stream's headers say, and its chunks in order.
struct AviStreamLayout {
    std::uint32_t type = FourCC("vids");
    std::uint32_t handler = 0;
    std::uint32_t scale = 1;
    std::uint32_t rate = 25;
    std::uint32_t length = 0; // as written into 'strh'
    std::uint32_t sampleSize = 0;
    std::int16_t frame[4] = {};
    Bytes format;                   // the 'strf' payload
    std::string chunkSuffix = "dc"; // "dc", "db" or "wb"
    std::vector<AviChunk> chunks;
};

// What the file's headers say, its streams, and which parts it has.
struct AviLayout {
    std::uint32_t microSecPerFrame = 40000;
    std::uint32_t totalFrames = 0; // 'avih'
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<AviStreamLayout> streams;
    bool movi = true;
    bool index = true;
    std::uint32_t indexOffsetShift = 0; // moves every index entry, e.g. past the end
};

struct AviBytes {
    Bytes data;
    std::size_t headerEnd = 0;                   // first byte after the 'hdrl' list
    std::vector<std::vector<std::size_t>> chunk; // per stream: where each chunk starts
};

AviBytes BuildAvi(const AviLayout& layout);

// The 'strf' of a video stream: a DIB header, followed by the colour table if any (0x00RRGGBB).
Bytes BitmapInfo(const DibHeader& header, const std::vector<std::uint32_t>& palette = {});
// The header of a 24-bit picture compressed by the codec `fourcc`, stating `sizeImage`.
DibHeader CompressedDibHeader(std::int32_t width, std::int32_t height, std::uint32_t fourcc,
                              std::uint32_t sizeImage);
// A WAVEFORMATEX for 16-bit PCM ('strf' of an audio stream).
Bytes PcmFormat(std::uint16_t channels, std::uint32_t sampleRate);

void WriteFile(const std::string& path, const Bytes& data);
