#include "WindowsFixtures.h"

#include "AviWriter.h"
#include "FrameColours.h"
#include "Pictures.h"
#include "ReferenceDecode.h"
#include "Scene.h"
#include "base/Dib.h"
#include "video/FFmpegPtr.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <QImage>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr int kFrames = 10;

// The 'strf' of a picture of `bits` per pixel in the codec `compression` (0: uncompressed).
Bytes Format(int bits, std::uint32_t compression, const std::vector<std::uint32_t>& palette = {}) {
    DibHeader header = UncompressedDibHeader(kWidth, kHeight, bits, std::uint32_t(palette.size()));
    if (compression != 0) {
        header.biCompression = compression;
        header.biSizeImage = 0;
    }
    return BitmapInfo(header, palette);
}

// Rows of `bytesPerPixel` bytes each, padded to 4, from a pixel writer; bottom-up unless
// `topDown`.
Bytes PackRows(int bytesPerPixel, const std::function<void(std::uint8_t*, QRgb)>& put,
               const QImage& picture, bool topDown = false) {
    const auto stride = std::size_t(DibStride(picture.width(), 8 * bytesPerPixel));
    Bytes out(stride * std::size_t(picture.height()), 0);
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        const int stored = topDown ? y : picture.height() - 1 - y;
        std::uint8_t* row = out.data() + std::size_t(stored) * stride;
        for (int x = 0; x < picture.width(); ++x)
            put(row + std::size_t(x * bytesPerPixel), line[x]);
    }
    return out;
}

// 16-bit pixels: 5 bits of red and blue, `greenBits` (5 or 6) of green.
Bytes Raw16(const QImage& p, int greenBits) {
    return PackRows(
        2,
        [greenBits](std::uint8_t* px, QRgb c) {
            const unsigned v = unsigned(qRed(c) >> 3) << (5 + greenBits) |
                               unsigned(qGreen(c) >> (8 - greenBits)) << 5 |
                               unsigned(qBlue(c) >> 3);
            px[0] = std::uint8_t(v);
            px[1] = std::uint8_t(v >> 8);
        },
        p);
}

// 24- or 32-bit pixels; `topDown` as FFmpeg's AVI writer stores uncompressed RGB.
Bytes RawRgb(const QImage& p, int bytesPerPixel, bool topDown = false) {
    return PackRows(
        bytesPerPixel,
        [](std::uint8_t* px, QRgb c) {
            px[0] = std::uint8_t(qBlue(c));
            px[1] = std::uint8_t(qGreen(c));
            px[2] = std::uint8_t(qRed(c));
        },
        p, topDown);
}

// Frame i in BI_RLE8: every row as runs of one index (at most 255 long), an end-of-line after
// each row and an end-of-bitmap after the last.
Bytes Rle8(int i) {
    Bytes out;
    for (int y = kHeight - 1; y >= 0; --y) { // bottom-up
        const std::uint8_t index = y < kHeight / 8 ? 0 : std::uint8_t(1 + i % 255);
        for (int left = kWidth; left > 0;) {
            const int run = left < 255 ? left : 255;
            out.push_back(std::uint8_t(run));
            out.push_back(index);
            left -= run;
        }
        out.push_back(0);
        out.push_back(y == 0 ? 1 : 0);
    }
    return out;
}

// The frames through one of FFmpeg's encoders for the old Windows codecs, one packet each.
std::vector<AviChunk> Encode(const char* name, AVPixelFormat format, QImage::Format picture) {
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (!codec)
        throw std::runtime_error(std::string("no encoder ") + name);
    CodecPtr c(avcodec_alloc_context3(codec));
    FramePtr frame(av_frame_alloc());
    PacketPtr packet(av_packet_alloc());
    if (!c || !frame || !packet)
        throw std::bad_alloc();
    c->width = kWidth;
    c->height = kHeight;
    c->pix_fmt = format;
    c->time_base = AVRational{1, 25};
    c->thread_count = 1; // the same bytes on every machine
    if (avcodec_open2(c.get(), codec, nullptr) < 0)
        throw std::runtime_error(std::string("cannot open the encoder ") + name);
    frame->format = format;
    frame->width = kWidth;
    frame->height = kHeight;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        throw std::bad_alloc();

    std::vector<AviChunk> chunks;
    auto drain = [&] {
        while (avcodec_receive_packet(c.get(), packet.get()) == 0) {
            chunks.push_back({Bytes(packet->data, packet->data + packet->size),
                              (packet->flags & AV_PKT_FLAG_KEY) != 0});
            av_packet_unref(packet.get());
        }
    };
    for (int i = 0; i < kFrames; ++i) {
        const QImage p = FixturePicture(i, kWidth, kHeight).convertToFormat(picture);
        if (av_frame_make_writable(frame.get()) < 0)
            throw std::bad_alloc();
        for (int y = 0; y < kHeight; ++y)
            std::memcpy(frame->data[0] + std::ptrdiff_t(y) * frame->linesize[0], p.constScanLine(y),
                        std::size_t(p.bytesPerLine()));
        frame->pts = i;
        if (avcodec_send_frame(c.get(), frame.get()) < 0)
            throw std::runtime_error(std::string("encoding with ") + name);
        drain();
    }
    avcodec_send_frame(c.get(), nullptr);
    drain();
    if (chunks.size() != std::size_t(kFrames))
        throw std::runtime_error(std::string("the encoder lost a frame: ") + name);
    return chunks;
}

AviLayout Scene(std::uint32_t handler, Bytes format, std::vector<AviChunk> chunks) {
    AviLayout avi;
    avi.width = kWidth;
    avi.height = kHeight;
    avi.totalFrames = kFrames;
    AviStreamLayout v;
    v.handler = handler;
    v.chunkSuffix = handler == 0 ? "db" : "dc";
    v.length = kFrames;
    v.frame[2] = kWidth;
    v.frame[3] = kHeight;
    v.format = std::move(format);
    v.chunks = std::move(chunks);
    avi.streams.push_back(std::move(v));
    return avi;
}

std::vector<AviChunk> Uncompressed(const std::function<Bytes(const QImage&)>& pack) {
    std::vector<AviChunk> chunks;
    for (int i = 0; i < kFrames; ++i)
        chunks.push_back({pack(FixturePicture(i, kWidth, kHeight)), true});
    return chunks;
}

void Save(const std::string& dir, const std::string& name, const AviLayout& scene) {
    WriteFile(dir + "/" + name, BuildAvi(scene).data);
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Where the first box of the type `fourcc` begins in an MP4 (its size field).
std::size_t BoxAt(const Bytes& mp4, const char (&fourcc)[5]) {
    for (std::size_t i = 4; i + 4 <= mp4.size(); ++i)
        if (std::memcmp(mp4.data() + i, fourcc, 4) == 0)
            return i - 4;
    throw std::runtime_error(std::string("no box ") + fourcc);
}

// An H.264 MP4 of kFrames fixture pictures; false (and a note) where FFmpeg has no encoder.
bool WriteH264(const std::string& path, int width, int height, bool indexFirst = false) {
    SceneRecipe s;
    s.codec = Codec::H264;
    s.width = width;
    s.height = height;
    s.frames = kFrames;
    s.indexFirst = indexFirst;
    std::filesystem::remove(path);
    try {
        WriteContainer(path, s);
        return true;
    } catch (const MissingEncoder& e) {
        std::fprintf(stderr, "scenegen: %s left out: %s\n", path.c_str(), e.what());
        return false;
    }
}

// Scenes in the formats that need Media Foundation on Windows, and bad input for that way in.
void WriteMediaFoundationFixtures(const std::string& dir) {
    {
        // MPEG-4 Part 2 under the four-character code XviD writes.
        SceneRecipe s;
        s.codec = Codec::Mpeg4;
        AviLayout a = SceneAvi(s);
        a.streams[0].handler = FourCC("XVID");
        a.streams[0].format = BitmapInfo(CompressedDibHeader(kWidth, kHeight, FourCC("XVID"), 0));
        Save(dir, "xvid_10.avi", a);
    }
    try {
        SceneRecipe s;
        s.codec = Codec::H264;
        Save(dir, "h264_10.avi", SceneAvi(s));
    } catch (const MissingEncoder& e) {
        std::fprintf(stderr, "scenegen: h264_10.avi left out: %s\n", e.what());
    }
    WriteH264(dir + "/mp4_h264_1280x720.mp4", 1280, 720);
    // Coded as 112 x 64: the decoder's picture is larger than the visible one.
    WriteH264(dir + "/mp4_h264_100x60.mp4", 100, 60);
    const std::string scratch = dir + "/scratch.mp4";
    if (WriteH264(scratch, kWidth, kHeight)) {
        // The index comes last, so half the file has none.
        const Bytes whole = ReadAll(scratch);
        WriteFile(dir + "/truncated.mp4",
                  Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(whole.size() / 2)));
    }
    if (WriteH264(scratch, kWidth, kHeight, true)) {
        // The index first, the frames' data cut inside a frame near its end, and early on.
        const Bytes whole = ReadAll(scratch);
        const std::size_t data = BoxAt(whole, "mdat");
        const auto cut = [&](const char* name, std::size_t tenths) {
            const std::size_t end = data + (whole.size() - data) * tenths / 10 + 1;
            WriteFile(dir + "/" + name, Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(end)));
        };
        cut("cut_mid_frame.mp4", 9);
        cut("cut_early.mp4", 1);
    }
    std::filesystem::remove(scratch);
    WriteSoundOnly(dir + "/audio_only.mp4");
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += "Kein Film, nur Text. Zeile " + std::to_string(i) + "\n";
    WriteFile(dir + "/text.mp4", Bytes(text.begin(), text.end()));
}

// FFmpeg's decode of each scene the Windows tests compare frame by frame.
void WriteReferences(const std::string& dir) {
    static const char* const scenes[] = {
        "mp4_10.mp4",       "mp4_h264_1280x720.mp4", "mp4_h264_100x60.mp4", "mp4_mpeg4_10.mp4",
        "mp4_hevc_10.mp4",  "mjpeg_10.avi",          "mov_mjpeg_10.mov",    "xvid_10.avi",
        "mpeg4_10.avi",     "h264_10.avi",           "mkv_vp9_10.mkv",      "webm_vp8_10.webm",
        "webm_vp9_10.webm", "3gp_h263_10.3gp",       "mov_prores_10.mov",   "raw24_topdown_10.avi",
        "raw565_10.avi",    "raw24_10.avi",          "pal8_10.avi",         "raw16_10.avi",
        "raw32_10.avi",     "msvideo1_10.avi",       "cinepak_10.avi",      "rle8_10.avi"};
    std::filesystem::create_directories(dir + "/reference");
    for (const char* scene : scenes) {
        const std::string path = dir + "/" + scene;
        const std::string out = dir + "/reference/" + scene + ".frames";
        std::filesystem::remove(out);
        if (!std::filesystem::exists(path))
            continue; // its encoder is missing here, and the tests say so
        const auto frames = ReferenceDecode(path);
        if (!frames || frames->empty())
            throw std::runtime_error("FFmpeg cannot decode its own " + path);
        WriteReferenceFrames(out, *frames);
    }
}

} // namespace

void WriteWindowsFixtures(const std::string& dir) {
    constexpr std::uint32_t kRle8 = 1;
    Save(dir, "raw16_10.avi",
         Scene(0, Format(16, 0), Uncompressed([](const QImage& p) { return Raw16(p, 5); })));
    Save(dir, "raw32_10.avi",
         Scene(0, Format(32, 0), Uncompressed([](const QImage& p) { return RawRgb(p, 4); })));
    {
        DibHeader header = UncompressedDibHeader(kWidth, kHeight, 16);
        header.biCompression = kDibBitFields;
        Save(dir, "raw565_10.avi",
             Scene(0, BitmapInfo(header, {0xF800, 0x07E0, 0x001F}),
                   Uncompressed([](const QImage& p) { return Raw16(p, 6); })));
        header = UncompressedDibHeader(kWidth, -kHeight, 24);
        Save(dir, "raw24_topdown_10.avi",
             Scene(0, BitmapInfo(header),
                   Uncompressed([](const QImage& p) { return RawRgb(p, 3, true); })));
    }
    Save(dir, "msvideo1_10.avi",
         Scene(FourCC("msvc"), Format(16, FourCC("CRAM")),
               Encode("msvideo1", AV_PIX_FMT_RGB555LE, QImage::Format_RGB555)));
    Save(dir, "cinepak_10.avi",
         Scene(FourCC("cvid"), Format(24, FourCC("cvid")),
               Encode("cinepak", AV_PIX_FMT_RGB24, QImage::Format_RGB888)));
    {
        // Zero rate under frames every system decodes, so the loader reaches its rate check.
        AviLayout a =
            Scene(0, Format(32, 0), Uncompressed([](const QImage& p) { return RawRgb(p, 4); }));
        a.streams[0].rate = 0;
        a.microSecPerFrame = 0;
        Save(dir, "raw32_rate0.avi", a);
    }
    std::vector<AviChunk> rle;
    for (int i = 0; i < kFrames; ++i)
        rle.push_back({Rle8(i), true});
    Save(dir, "rle8_10.avi",
         Scene(FourCC("mrle"), Format(8, kRle8, FixturePalette()), std::move(rle)));
    WriteMediaFoundationFixtures(dir);
    WriteReferences(dir);
}
