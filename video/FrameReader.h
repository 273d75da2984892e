#pragma once

// Decodes one video stream of an opened file, frame after frame, into packed DIBs.

#include "FFmpegPtr.h"
#include "VFW.h"

#include <cstdint>
#include <memory>
#include <optional>

// Pictures beyond this are refused before anything is allocated for them.
constexpr int kMaxFrameSide = 16384;
constexpr std::int64_t kMaxFramePixels = std::int64_t{64} << 20;
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
    bool RefusedForSize() const { return FRefusedForSize; }

private:
    // A reused DIB buffer: the header sits so that the pixels of 32-bit frames start on a
    // 64-byte boundary, which swscale's vector code likes.
    struct Dib {
        AvBytes bytes;
        std::size_t capacity = 0;
        std::uint8_t* Header() const { return bytes.get() + kLead; }
        bool Reserve(std::int64_t size);
        static constexpr std::size_t kLead = 24;
        static constexpr std::size_t kSlack = 64; // vector code may write a little past a row
    };

    explicit FrameReader(const Source& source) : FSource(source) {}
    bool Restart();
    bool Advance();
    bool Decode();
    bool ReadPacket();
    void NoteFailure(int error);
    bool Convert(const AVFrame& frame, Dib& dib);
    bool ConvertPalette(const AVFrame& frame, Dib& dib);
    void TrimHeap();

    Source FSource;
    CodecPtr FCodec;
    PacketPtr FPacket;
    FramePtr FFrame;
    // What FSws converts. swscale's own cache compares a request with what it made of the last
    // one (full-range formats become their plain twins, RGB sources gain a flag), so it built a
    // new context for every MJPEG or raw frame.
    struct SwsKey {
        int width = 0;
        int height = 0;
        int format = AV_PIX_FMT_NONE;
        int colourSpace = -1;
        int range = -1;
        bool operator==(const SwsKey&) const = default;
    };
    SwsPtr FSws;
    SwsKey FSwsKey;
    Dib FFront; // the frame last returned
    Dib FBack;  // the next real frame, while repeats of the front one are handed out
    bool FBackReady = false;
    std::int64_t FRepeats = 0;
    std::int64_t FCurrent = -1; // index of the frame in FFront
    std::int64_t FLastStamp = AV_NOPTS_VALUE;
    std::int64_t FFirstDts = AV_NOPTS_VALUE;
    bool FDraining = false;
    bool FEnded = false;
    bool FPadded = false;
    std::int64_t FLargePacketBytes = 0; // read since the heap was last trimmed
    bool FRefusedForSize = false;
};
