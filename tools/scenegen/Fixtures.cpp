#include "Fixtures.h"

#include "Pictures.h"
#include "Scene.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace {

// Deterministic noise, so the fixtures are the same bytes on every build.
Bytes Noise(std::size_t n, std::uint32_t seed) {
    Bytes out(n);
    for (std::uint8_t& b : out) {
        seed = seed * 1664525u + 1013904223u;
        b = std::uint8_t(seed >> 24);
    }
    return out;
}

void Save(const std::string& dir, const std::string& name, const Bytes& data) {
    WriteFile(dir + "/" + name, data);
}
void Save(const std::string& dir, const std::string& name, const AviLayout& layout) {
    Save(dir, name, BuildAvi(layout).data);
}

struct RealWorldFixture {
    const char* name;
    Codec codec;
    int width = 64;
    int height = 48;
};
constexpr RealWorldFixture kRealWorldFixtures[] = {
    {"mp4_mpeg4_10.mp4", Codec::Mpeg4},        {"mp4_hevc_10.mp4", Codec::Hevc},
    {"mov_mjpeg_10.mov", Codec::Mjpeg},        {"mov_prores_10.mov", Codec::Prores},
    {"mkv_ffv1_10.mkv", Codec::Ffv1},          {"mkv_vp9_10.mkv", Codec::Vp9},
    {"webm_vp8_10.webm", Codec::Vp8},          {"webm_vp9_10.webm", Codec::Vp9},
    {"3gp_h263_10.3gp", Codec::H263, 128, 96}, // H.263 takes only its standard sizes
};

SceneRecipe Mjpeg10() {
    SceneRecipe s;
    s.codec = Codec::Mjpeg;
    return s;
}

// Sets width and height of a JPEG's frame header (SOF0), leaving the data as it is.
void ClaimJpegSize(Bytes& jpeg, std::uint16_t width, std::uint16_t height) {
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = std::uint8_t(height >> 8);
            jpeg[i + 6] = std::uint8_t(height);
            jpeg[i + 7] = std::uint8_t(width >> 8);
            jpeg[i + 8] = std::uint8_t(width);
            return;
        }
    }
    throw std::runtime_error("no SOF0 in the JPEG");
}

AviStreamLayout PcmStream(int seconds) {
    AviStreamLayout a;
    a.type = FourCC("auds");
    a.scale = 2; // block align
    a.rate = 16000;
    a.sampleSize = 2;
    a.chunkSuffix = "wb";
    a.format = PcmFormat(1, 8000);
    for (int i = 0; i < seconds * 4; ++i)
        a.chunks.push_back({Bytes(4000, 0), true}); // a quarter second of silence each
    a.length = std::uint32_t(seconds * 8000);
    return a;
}

} // namespace

void WriteFixtures(const std::string& dir) {
    for (int n : {0, 1, 2}) {
        SceneRecipe s;
        s.codec = Codec::Raw24;
        s.frames = n;
        Save(dir, "raw24_" + std::to_string(n) + ".avi", SceneAvi(s));
    }
    {
        SceneRecipe s;
        s.codec = Codec::Raw24;
        s.rate = 30000;
        s.scale = 1001;
        Save(dir, "raw24_10.avi", SceneAvi(s));
    }
    {
        SceneRecipe s;
        s.codec = Codec::Pal8;
        Save(dir, "pal8_10.avi", SceneAvi(s));
    }
    {
        SceneRecipe s = Mjpeg10();
        s.scale = 2;
        Save(dir, "mjpeg_10.avi", SceneAvi(s));
    }
    {
        SceneRecipe s;
        s.codec = Codec::Mpeg4;
        Save(dir, "mpeg4_10.avi", SceneAvi(s));
    }
    {
        SceneRecipe s;
        s.codec = Codec::H264;
        WriteContainer(dir + "/mp4_10.mp4", s);
    }
    // Container and codec pairs as common tools write them. A pair whose encoder this FFmpeg
    // lacks is left out (and a stale file removed): the tests say so instead of passing.
    for (const RealWorldFixture& f : kRealWorldFixtures) {
        SceneRecipe s;
        s.codec = f.codec;
        s.width = f.width;
        s.height = f.height;
        const std::string path = dir + "/" + f.name;
        std::filesystem::remove(path);
        try {
            WriteContainer(path, s);
        } catch (const MissingEncoder& e) {
            std::fprintf(stderr, "scenegen: %s left out: %s\n", f.name, e.what());
        }
    }
    {
        SceneRecipe s = Mjpeg10();
        s.width = 600;
        s.height = 520;
        s.frames = 3;
        Save(dir, "large_600x520.avi", SceneAvi(s));
    }
    {
        SceneRecipe s;
        s.codec = Codec::Raw24;
        s.width = 63;
        s.height = 47;
        Save(dir, "odd_63x47.avi", SceneAvi(s));
    }
    {
        SceneRecipe s = Mjpeg10();
        s.drops = {2, 5, 6, 9};
        Save(dir, "drop_10.avi", SceneAvi(s));
    }
    {
        // A timestamp jump of 1000 frames: filled up to the cap only.
        SceneRecipe s = Mjpeg10();
        s.frames = 1002;
        for (int i = 1; i <= 1000; ++i)
            s.drops.insert(i);
        AviLayout a = SceneAvi(s);
        a.index = false;
        Save(dir, "drop_run_1000.avi", a);
    }
    {
        SceneRecipe s = Mjpeg10();
        s.frames = 300;
        Save(dir, "long_300.avi", SceneAvi(s));
    }
    {
        AviLayout a;
        a.streams.push_back(PcmStream(1));
        Save(dir, "audio_only.avi", a);
    }
    {
        SceneRecipe s = Mjpeg10();
        s.drops = {9};
        AviLayout a = SceneAvi(s);
        a.streams.insert(a.streams.begin(), PcmStream(1));
        Save(dir, "audio_video_10.avi", a);
    }
    const struct {
        const char* name;
        std::uint32_t rate, scale;
    } zeros[] = {{"rate0.avi", 0, 1}, {"scale0.avi", 25, 0}, {"ratescale0.avi", 0, 0}};
    for (const auto& z : zeros) {
        AviLayout a = SceneAvi(Mjpeg10());
        a.streams[0].rate = z.rate;
        a.streams[0].scale = z.scale;
        Save(dir, z.name, a);
    }
    // The same scenes uncompressed, which every system decodes without a codec of its own.
    {
        SceneRecipe s;
        s.codec = Codec::Raw24;
        s.width = 600;
        s.height = 520;
        s.frames = 3;
        Save(dir, "raw24_600x520.avi", SceneAvi(s));
        s.width = 64;
        s.height = 48;
        s.frames = 300;
        Save(dir, "raw24_300.avi", SceneAvi(s));
        s.frames = 10;
        for (const auto& z : zeros) {
            AviLayout a = SceneAvi(s);
            a.streams[0].rate = z.rate;
            a.streams[0].scale = z.scale;
            if (z.rate == 0) // as a writer that knows no rate: nothing to derive one from
                a.microSecPerFrame = 0;
            Save(dir, std::string("raw24_") + z.name, a);
        }
    }
    {
        AviLayout a = SceneAvi(Mjpeg10());
        const AviBytes whole = BuildAvi(a);
        const std::size_t frame6 = whole.chunk[0][6];
        const std::size_t size6 = a.streams[0].chunks[6].data.size();
        Save(
            dir, "truncated.avi",
            Bytes(whole.data.begin(), whole.data.begin() + std::ptrdiff_t(frame6 + 8 + size6 / 2)));
        Save(dir, "truncated_header.avi",
             Bytes(whole.data.begin(), whole.data.begin() + std::ptrdiff_t(whole.headerEnd - 20)));
    }
    {
        std::string text;
        for (int i = 0; i < 20; ++i)
            text += "Dies ist keine Szene, sondern ein Text. Zeile " + std::to_string(i) + "\n";
        Save(dir, "text.avi", Bytes(text.begin(), text.end()));
        Save(dir, "empty.avi", Bytes{});
        Save(dir, "noise.avi", Noise(5000, 3));
        // A picture is a format FFmpeg knows, but not one of ours.
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        FixturePicture(0, 64, 48).save(&buffer, "PNG");
        Save(dir, "picture.avi", Bytes(png.begin(), png.end()));
    }
    {
        AviLayout a = SceneAvi(Mjpeg10());
        a.totalFrames = 0xFFFFFFFF;
        a.streams[0].length = 0xFFFFFFFF;
        Save(dir, "length_ffffffff.avi", a);
    }
    {
        AviLayout a = SceneAvi(Mjpeg10());
        a.streams[0].format = BitmapInfo(CompressedDibHeader(100000, 100000, FourCC("MJPG"), 0));
        Save(dir, "huge_strf.avi", a);
    }
    for (std::uint16_t bits : {std::uint16_t(0), std::uint16_t(7)}) {
        SceneRecipe s;
        s.codec = Codec::Raw24;
        s.frames = 2;
        AviLayout a = SceneAvi(s);
        DibHeader header = UncompressedDibHeader(s.width, s.height, bits);
        header.biSizeImage = 0; // no DIB has such rows, so no size is stated
        a.streams[0].format = BitmapInfo(header);
        Save(dir, "bitcount" + std::to_string(bits) + ".avi", a);
    }
    {
        AviLayout a = SceneAvi(Mjpeg10());
        a.movi = false;
        a.index = false;
        Save(dir, "no_movi.avi", a);
    }
    {
        AviLayout a = SceneAvi(Mjpeg10());
        a.indexOffsetShift = 1 << 20;
        Save(dir, "index_past_end.avi", a);
    }
    {
        AviLayout a = SceneAvi(Mjpeg10());
        AviBytes b = BuildAvi(a);
        b.data.resize(b.headerEnd);
        const Bytes noise = Noise(4000, 8);
        b.data.insert(b.data.end(), noise.begin(), noise.end());
        const std::uint32_t riffSize = std::uint32_t(b.data.size() - 8);
        for (int i = 0; i < 4; ++i)
            b.data[4 + std::size_t(i)] = std::uint8_t(riffSize >> (8 * i));
        Save(dir, "garbage_after_header.avi", b.data);
    }
    {
        AviLayout a = SceneAvi(Mjpeg10());
        std::uint32_t seed = 1;
        for (AviChunk& c : a.streams[0].chunks)
            c.data = Noise(500, seed++);
        Save(dir, "junk_packets.avi", a);
    }
    {
        AviLayout a = SceneAvi(Mjpeg10());
        for (AviChunk& c : a.streams[0].chunks)
            ClaimJpegSize(c.data, 20000, 20000);
        Save(dir, "huge_jpeg.avi", a);
    }
    {
        // Beyond the decoder's pixel limit but within FFmpeg's own bounds, in packets big enough
        // for such a picture, so the decoder refuses the size rather than the data.
        AviLayout a = SceneAvi(Mjpeg10());
        a.streams[0].chunks.resize(2);
        for (AviChunk& c : a.streams[0].chunks) {
            ClaimJpegSize(c.data, 8200, 8200);
            c.data.resize(300000, 0);
        }
        Save(dir, "over_pixel_limit.avi", a);
    }
}
