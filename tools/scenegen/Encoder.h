#pragma once

// Frames to codec packets: MJPEG, MPEG-4 part 2, H.264 and the other codecs of real-world files
// through libavcodec (Cinepak too, for scenes a stock Windows decodes), and the two uncompressed
// DIB layouts (24-bit and 8-bit palettised) packed by hand.

#include "AviWriter.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

enum class Codec { Mjpeg, Mpeg4, H264, Raw24, Pal8, Hevc, Prores, Ffv1, Vp8, Vp9, H263, Cinepak };

// "mjpeg", "mpeg4", "h264", "raw24", "pal8", "hevc", "prores", "ffv1", "vp8", "vp9", "h263",
// "cinepak";
// throws for anything else.
Codec CodecNamed(const std::string& name);

// The libavcodec encoder that writes a codec; nullptr for the uncompressed layouts.
const char* EncoderName(Codec codec);

// The FFmpeg build has no encoder for a codec (libx265 and libvpx are optional there).
struct MissingEncoder : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Packet {
    Bytes data;
    bool key = false;
    std::int64_t pts = 0;
    std::int64_t dts = 0;
};

struct AVCodecContext;

class Encoder {
public:
    struct Settings {
        Codec codec = Codec::Mjpeg;
        int width = 0;
        int height = 0;
        int rate = 25; // frames per second = rate / scale
        int scale = 1;
        bool bFrames = false;      // only for containers with timestamps (MP4)
        bool globalHeader = false; // codec headers in the container, not in the stream
    };

    explicit Encoder(const Settings& settings);
    ~Encoder();
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    // Adds the next picture (Format_RGB32, the encoder's size); returns the packets ready.
    std::vector<Packet> Add(const QImage& picture);
    std::vector<Packet> Finish();
    std::uint32_t FourCC() const;
    const AVCodecContext* Context() const;

private:
    struct State;
    std::unique_ptr<State> FState;
};

// A BI_RGB 24-bit bottom-up DIB's pixels (rows padded to 4 bytes).
Bytes PackRgb24(const QImage& picture);
// An 8-bit bottom-up DIB's pixels from colour indices (rows padded to 4 bytes).
Bytes PackIndices(const std::vector<std::uint8_t>& indices, int width, int height);
