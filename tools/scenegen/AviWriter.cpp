#include "AviWriter.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace {

constexpr std::uint32_t kHasIndex = 0x10;
constexpr std::uint32_t kInterleaved = 0x100;
constexpr std::uint32_t kKeyFrame = 0x10;

void Put16(Bytes& b, std::uint16_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(std::uint8_t(v >> (8 * i)));
}
void Patch32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

// Opens a chunk (or a list with its type) and returns where its size goes.
std::size_t Open(Bytes& b, std::uint32_t id, std::uint32_t listType = 0) {
    Put32(b, id);
    const std::size_t sizeAt = b.size();
    Put32(b, 0);
    if (listType)
        Put32(b, listType);
    return sizeAt;
}
void Close(Bytes& b, std::size_t sizeAt) {
    Patch32(b, sizeAt, std::uint32_t(b.size() - sizeAt - 4));
    if (b.size() & 1)
        b.push_back(0);
}
void Chunk(Bytes& b, std::uint32_t id, const Bytes& payload) {
    const std::size_t at = Open(b, id);
    b.insert(b.end(), payload.begin(), payload.end());
    Close(b, at);
}

std::uint32_t ChunkId(std::size_t stream, const std::string& suffix) {
    const char s[5] = {char('0' + stream / 10), char('0' + stream % 10), suffix[0], suffix[1], 0};
    return FourCC(s);
}

} // namespace

AviBytes BuildAvi(const AviLayout& layout) {
    AviBytes out;
    Bytes& b = out.data;
    const std::size_t riff = Open(b, FourCC("RIFF"), FourCC("AVI "));

    const std::size_t hdrl = Open(b, FourCC("LIST"), FourCC("hdrl"));
    Bytes avih;
    Put32(avih, layout.microSecPerFrame);
    Put32(avih, 0); // max bytes per second
    Put32(avih, 0); // padding granularity
    Put32(avih, (layout.index ? kHasIndex : 0) | kInterleaved);
    Put32(avih, layout.totalFrames);
    Put32(avih, 0); // initial frames
    Put32(avih, std::uint32_t(layout.streams.size()));
    Put32(avih, 0); // suggested buffer size
    Put32(avih, layout.width);
    Put32(avih, layout.height);
    for (int i = 0; i < 4; ++i)
        Put32(avih, 0);
    Chunk(b, FourCC("avih"), avih);
    for (const AviStreamLayout& s : layout.streams) {
        const std::size_t strl = Open(b, FourCC("LIST"), FourCC("strl"));
        Bytes strh;
        Put32(strh, s.type);
        Put32(strh, s.handler);
        Put32(strh, 0); // flags
        Put16(strh, 0); // priority
        Put16(strh, 0); // language
        Put32(strh, 0); // initial frames
        Put32(strh, s.scale);
        Put32(strh, s.rate);
        Put32(strh, 0); // start
        Put32(strh, s.length);
        std::size_t biggest = 0;
        for (const AviChunk& c : s.chunks)
            biggest = std::max(biggest, c.data.size());
        Put32(strh, std::uint32_t(biggest));
        Put32(strh, 0xFFFFFFFF); // default quality
        Put32(strh, s.sampleSize);
        for (std::int16_t v : s.frame)
            Put16(strh, std::uint16_t(v));
        Chunk(b, FourCC("strh"), strh);
        Chunk(b, FourCC("strf"), s.format);
        Close(b, strl);
    }
    Close(b, hdrl);
    out.headerEnd = b.size();
    out.chunk.resize(layout.streams.size());

    if (layout.movi) {
        const std::size_t movi = Open(b, FourCC("LIST"), FourCC("movi"));
        const std::size_t moviType = movi + 4; // index offsets count from the list type
        struct Entry {
            std::uint32_t id, flags, offset, size;
        };
        std::vector<Entry> index;
        std::size_t most = 0;
        for (const AviStreamLayout& s : layout.streams)
            most = std::max(most, s.chunks.size());
        for (std::size_t i = 0; i < most; ++i) {
            for (std::size_t n = 0; n < layout.streams.size(); ++n) {
                const AviStreamLayout& s = layout.streams[n];
                if (i >= s.chunks.size())
                    continue;
                const AviChunk& c = s.chunks[i];
                const std::uint32_t id = ChunkId(n, s.chunkSuffix);
                out.chunk[n].push_back(b.size());
                index.push_back({id, c.key && !c.data.empty() ? kKeyFrame : 0,
                                 std::uint32_t(b.size() - moviType) + layout.indexOffsetShift,
                                 std::uint32_t(c.data.size())});
                Chunk(b, id, c.data);
            }
        }
        Close(b, movi);
        if (layout.index) {
            Bytes idx1;
            for (const Entry& e : index) {
                Put32(idx1, e.id);
                Put32(idx1, e.flags);
                Put32(idx1, e.offset);
                Put32(idx1, e.size);
            }
            Chunk(b, FourCC("idx1"), idx1);
        }
    }
    Close(b, riff);
    return out;
}

Bytes BitmapInfo(const DibHeader& header, const std::vector<std::uint32_t>& palette) {
    const auto bytes = DibHeaderBytes(header);
    Bytes b(bytes.begin(), bytes.end());
    for (std::uint32_t rgb : palette)
        Put32(b, rgb & 0x00FFFFFF); // B, G, R, reserved
    return b;
}

DibHeader CompressedDibHeader(std::int32_t width, std::int32_t height, std::uint32_t fourcc,
                              std::uint32_t sizeImage) {
    DibHeader header = UncompressedDibHeader(width, height, 24);
    header.biCompression = fourcc;
    header.biSizeImage = sizeImage;
    return header;
}

Bytes PcmFormat(std::uint16_t channels, std::uint32_t sampleRate) {
    Bytes b;
    Put16(b, 1); // PCM
    Put16(b, channels);
    Put32(b, sampleRate);
    Put32(b, sampleRate * channels * 2);
    Put16(b, std::uint16_t(channels * 2));
    Put16(b, 16);
    Put16(b, 0);
    return b;
}

void WriteFile(const std::string& path, const Bytes& data) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    if (!f)
        throw std::runtime_error("cannot write " + path);
}
