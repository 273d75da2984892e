#pragma once

// One video stream's packets in, its decoded pictures out, the way FFmpeg's decode examples read:
// open the decoder, send a packet, receive frames, flush at the end of the stream.

#include "FFmpegPtr.h"
#include "base/Dib.h"

#include <atomic>
#include <cstdint>
#include <memory>

class StreamDecoder {
public:
    // A decoder for stream `stream` of `format` (owned by the caller, outliving the decoder), or
    // nullptr when there is no decoder for it, it refuses to open, or the picture size is out of
    // bounds. From then on the demuxer reads only this stream's packets.
    static std::unique_ptr<StreamDecoder> Open(AVFormatContext* format, int stream);
    StreamDecoder(const StreamDecoder&) = delete;
    StreamDecoder& operator=(const StreamDecoder&) = delete;

    // Fills Frame() with the next decoded picture; false when the stream has no more.
    bool Receive();
    const AVFrame& Frame() const { return *FFrame; }
    // Done with Frame(): its buffers go back to the decoder.
    void ReleaseFrame();
    // Back to the stream's first packet, with nothing left in the decoder; false when the file
    // cannot seek.
    bool Rewind();
    // Whether a picture was refused for its size (by the decoder's pixel limit or our own).
    bool RefusedForSize() const { return FRefusedForSize.load(); }

private:
    StreamDecoder(AVFormatContext* format, int stream) : FFormat(format), FStream(stream) {}
    bool SendPacket(int& failures);
    bool ReadPacket();
    void NoteFailure(int error);
    void TrimHeap();

    AVFormatContext* const FFormat;
    const int FStream;
    CodecPtr FCodec;
    PacketPtr FPacket;
    FramePtr FFrame;
    std::int64_t FFirstDts = AV_NOPTS_VALUE;
    bool FDraining = false;
    std::int64_t FLargePacketBytes = 0; // read since the heap was last trimmed
    std::atomic<bool> FRefusedForSize = false;
};
