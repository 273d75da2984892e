#pragma once

// The frames of one video stream of an opened file, by number, as packed DIBs: the decoded
// pictures in order, with a repeat of the picture before for every dropped chunk.

#include "DecodedPictures.h"
#include "DibBuffer.h"
#include "FrameConverter.h"
#include "StreamDecoder.h"
#include "VFW.h"

#include <cstdint>
#include <memory>
#include <optional>

// Most repeated pictures one gap in the timestamps (drop chunks) may produce.
constexpr std::int64_t kMaxRepeatedFrames = 250;

class FrameReader {
public:
    struct Source {
        AVFormatContext* format = nullptr; // owned by the caller, outlives the reader
        int stream = -1;
        // AVI timestamps count frames, so a gap means drop chunks: repeat the previous frame.
        bool fillGaps = false;
        // Frames the file's index lists for the stream (drop chunks included), if known.
        std::optional<std::uint64_t> indexedFrames;
        // The demuxer has been read from already: rewind before the first frame.
        bool rewind = false;
    };

    // A reader, or nullptr when there is no decoder for the stream, it refuses to open, or
    // the picture size is out of bounds.
    static std::unique_ptr<FrameReader> Open(const Source& source);
    ~FrameReader();
    FrameReader(const FrameReader&) = delete;
    FrameReader& operator=(const FrameReader&) = delete;

    // The DIB of frame n, or nullptr past the end (see AVIStreamGetFrame).
    const BITMAPINFOHEADER* Frame(std::int64_t n);
    // Whether a picture was refused for its size (by the decoder's pixel limit or our own).
    bool RefusedForSize() const { return FDecoder->RefusedForSize(); }

private:
    FrameReader(const Source& source, std::unique_ptr<StreamDecoder> decoder)
        : FSource(source), FDecoder(std::move(decoder)) {}
    bool Restart();
    bool Advance();
    void TakePicture(std::int64_t stamp);
    std::int64_t GapBefore(std::int64_t stamp) const;
    bool PadToIndex();
    void OfferFront();

    Source FSource;
    const std::unique_ptr<StreamDecoder> FDecoder;
    ConvertedDib FFront; // the frame last returned
    ConvertedDib FBack;  // the next real frame, while repeats of the front one are handed out
    bool FBackReady = false;
    std::int64_t FRepeats = 0;
    std::int64_t FCurrent = -1; // index of the frame in FFront
    std::int64_t FLastStamp = AV_NOPTS_VALUE;
    bool FEnded = false;
    bool FPadded = false;
    const DibBuffer* FOffered = nullptr; // the front picture, offered once to DrawDib
    // Last: its worker is joined before anything it works on goes.
    DecodedPictures FPictures{*FDecoder};
};
