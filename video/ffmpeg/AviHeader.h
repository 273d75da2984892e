#pragma once

// Our own reader of an AVI file's stream headers ('strh') and index ('idx1'). FFmpeg repairs
// zero rates and scales; the program must see them as stored, and it needs the index to know
// about drop chunks at the end of a stream.

#include <cstdint>
#include <optional>
#include <vector>

struct AviStreamHeader {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;
    std::uint32_t dwFlags = 0;
    std::uint16_t wPriority = 0;
    std::uint16_t wLanguage = 0;
    std::uint32_t dwInitialFrames = 0;
    std::uint32_t dwScale = 0;
    std::uint32_t dwRate = 0;
    std::uint32_t dwStart = 0;
    std::uint32_t dwLength = 0;
    std::uint32_t dwSuggestedBufferSize = 0;
    std::uint32_t dwQuality = 0;
    std::uint32_t dwSampleSize = 0;
    std::int16_t rcFrame[4] = {}; // left, top, right, bottom
    bool hasFrame = false;        // the chunk was long enough to hold rcFrame
};

struct AviHeader {
    // One per 'strh', in file order: the n-th is stream n, as FFmpeg numbers them.
    std::vector<AviStreamHeader> streams;
    // Per stream: its 'NNdb'/'NNdc' entries in 'idx1', drop chunks (size 0) included.
    std::vector<std::uint64_t> indexedFrames;
    bool hasIndex = false;
};

// Reads the headers of the RIFF 'AVI ' file at path; nothing when it is not one. Every chunk
// size is checked against its parent and the file, and loops are bounded.
std::optional<AviHeader> ReadAviHeader(const char* path);
