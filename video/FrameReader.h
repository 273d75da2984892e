#pragma once

// Decodes one video stream of an opened file, frame after frame, into packed DIBs.

#include "DecodeAhead.h"
#include "DibBuffer.h"
#include "FFmpegPtr.h"
#include "VFW.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

// Pictures beyond kMaxFrameSide and kMaxFramePixels (base/Dib.h) are refused before anything is
// allocated for them.
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
    bool RefusedForSize() const { return FRefusedForSize.load(); }

private:
    // A converted picture. 32-bit ones get a buffer of their own each, which a bitmap may take
    // over (it is reused only when nobody took it); palette ones, and 32-bit ones when no such
    // buffer can be had, go to reused memory, where the header sits so that 32-bit pixels start
    // on a 64-byte boundary, which swscale's vector code likes.
    struct Dib {
        std::shared_ptr<DibBuffer> own;
        AvBytes bytes;
        std::size_t capacity = 0;
        std::uint8_t* header = nullptr;
        bool Reserve(std::int64_t size);
        std::uint8_t* Reused() const { return bytes.get() + kLead; }
        // Small pictures are cheaper to copy than to keep on pages of their own, and the worker
        // would take them from a heap of its thread, beyond the reach of the memory check.
        bool Offerable() const {
            return own && own->Mapped() && header == reinterpret_cast<std::uint8_t*>(own->Header());
        }
        static constexpr std::size_t kLead = 24;
        static constexpr std::size_t kSlack = 64; // vector code may write a little past a row
    };

    explicit FrameReader(const Source& source) : FSource(source) {}
    bool Restart();
    bool Advance();
    // The next picture: made here for the first, then by the worker, which starts on the one
    // after as soon as this one is handed over.
    bool NextPicture(Dib& into, std::int64_t& stamp);
    bool MakePicture(Dib& into, std::int64_t& stamp);
    // Buffers for the worker's pictures, faulted in here while it decodes.
    void AddSpares(const Dib& like);
    std::shared_ptr<DibBuffer> TakeSpare(std::int64_t infoBytes, std::int64_t imageBytes);
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
    void OfferFront();

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
    std::atomic<bool> FRefusedForSize = false;
    const DibBuffer* FOffered = nullptr; // the front picture, offered once to DrawDib

    // The worker's: the picture it makes, and the buffers it may make it in.
    Dib FAhead;
    std::int64_t FAheadStamp = AV_NOPTS_VALUE;
    std::mutex FSpareLock;
    std::deque<std::shared_ptr<DibBuffer>> FSpares;
    // Last: joined before anything it works on goes.
    DecodeAhead FWorker{[this] { return MakePicture(FAhead, FAheadStamp); }};
};
