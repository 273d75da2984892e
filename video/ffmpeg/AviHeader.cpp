#include "AviHeader.h"

#include <cstdio>
#include <memory>

namespace {

constexpr std::uint32_t FourCC(char a, char b, char c, char d) {
    return std::uint32_t(std::uint8_t(a)) | std::uint32_t(std::uint8_t(b)) << 8 |
           std::uint32_t(std::uint8_t(c)) << 16 | std::uint32_t(std::uint8_t(d)) << 24;
}

constexpr std::size_t kMaxStreams = 100;  // stream numbers in chunk ids have two digits
constexpr int kMaxChunksPerList = 4096;   // real files have a handful; bounds hostile ones
constexpr std::size_t kStrhFullSize = 56; // with rcFrame
constexpr std::size_t kStrhFrameOffset = 48;

std::uint32_t Le32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t Le16(const unsigned char* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

class Reader {
public:
    explicit Reader(std::FILE* f) : FFile(f) {
        if (fseeko(f, 0, SEEK_END) == 0) {
            const off_t end = ftello(f);
            FSize = end > 0 ? std::uint64_t(end) : 0;
        }
    }
    std::uint64_t Size() const { return FSize; }
    bool Read(std::uint64_t pos, void* out, std::size_t n) {
        if (pos > FSize || n > FSize - pos)
            return false;
        return fseeko(FFile, off_t(pos), SEEK_SET) == 0 && std::fread(out, 1, n, FFile) == n;
    }

private:
    std::FILE* FFile;
    std::uint64_t FSize = 0;
};

struct Chunk {
    std::uint32_t id = 0;
    std::uint64_t data = 0; // position of the payload
    std::uint64_t size = 0; // payload bytes inside the parent
    std::uint64_t next = 0; // position of the following chunk
};

// The chunks of [begin, end), each clipped to end. Calls f(chunk) until it returns false.
template <class F> void ForEachChunk(Reader& r, std::uint64_t begin, std::uint64_t end, F&& f) {
    std::uint64_t pos = begin;
    for (int n = 0; n < kMaxChunksPerList && end >= 8 && pos <= end - 8; ++n) {
        unsigned char head[8];
        if (!r.Read(pos, head, sizeof head))
            return;
        const std::uint64_t declared = Le32(head + 4);
        Chunk c;
        c.id = Le32(head);
        c.data = pos + 8;
        c.size = declared < end - c.data ? declared : end - c.data;
        c.next = c.data + declared + (declared & 1);
        if (!f(c))
            return;
        pos = c.next;
    }
}

bool ListType(Reader& r, const Chunk& c, std::uint32_t& type) {
    unsigned char t[4];
    if (c.id != FourCC('L', 'I', 'S', 'T') || c.size < 4 || !r.Read(c.data, t, 4))
        return false;
    type = Le32(t);
    return true;
}

AviStreamHeader ParseStrh(const unsigned char* p, std::size_t n) {
    unsigned char b[kStrhFullSize] = {};
    for (std::size_t i = 0; i < n && i < kStrhFullSize; ++i)
        b[i] = p[i];
    AviStreamHeader h;
    h.fccType = Le32(b);
    h.fccHandler = Le32(b + 4);
    h.dwFlags = Le32(b + 8);
    h.wPriority = Le16(b + 12);
    h.wLanguage = Le16(b + 14);
    h.dwInitialFrames = Le32(b + 16);
    h.dwScale = Le32(b + 20);
    h.dwRate = Le32(b + 24);
    h.dwStart = Le32(b + 28);
    h.dwLength = Le32(b + 32);
    h.dwSuggestedBufferSize = Le32(b + 36);
    h.dwQuality = Le32(b + 40);
    h.dwSampleSize = Le32(b + 44);
    h.hasFrame = n >= kStrhFullSize;
    for (int i = 0; i < 4; ++i)
        h.rcFrame[i] = std::int16_t(Le16(b + kStrhFrameOffset + 2 * i));
    return h;
}

void ReadStreamList(Reader& r, const Chunk& strl, AviHeader& out) {
    ForEachChunk(r, strl.data + 4, strl.data + strl.size, [&](const Chunk& c) {
        if (c.id == FourCC('s', 't', 'r', 'h') && out.streams.size() < kMaxStreams) {
            unsigned char b[kStrhFullSize] = {};
            const std::size_t n = c.size < kStrhFullSize ? std::size_t(c.size) : kStrhFullSize;
            if (r.Read(c.data, b, n))
                out.streams.push_back(ParseStrh(b, n));
        }
        return true;
    });
}

void ReadIndex(Reader& r, const Chunk& idx1, AviHeader& out) {
    out.hasIndex = true;
    out.indexedFrames.assign(out.streams.size(), 0);
    constexpr std::size_t kEntry = 16;
    constexpr std::size_t kBlock = 4096;
    std::unique_ptr<unsigned char[]> buf(new unsigned char[kEntry * kBlock]);
    const std::uint64_t entries = idx1.size / kEntry;
    for (std::uint64_t done = 0; done < entries;) {
        const std::size_t n = entries - done < kBlock ? std::size_t(entries - done) : kBlock;
        if (!r.Read(idx1.data + done * kEntry, buf.get(), n * kEntry))
            return;
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned char* id = buf.get() + i * kEntry;
            if (id[0] < '0' || id[0] > '9' || id[1] < '0' || id[1] > '9' || id[2] != 'd' ||
                (id[3] != 'b' && id[3] != 'c'))
                continue;
            const std::size_t stream = std::size_t((id[0] - '0') * 10 + (id[1] - '0'));
            if (stream < out.indexedFrames.size())
                ++out.indexedFrames[stream];
        }
        done += n;
    }
}

} // namespace

std::optional<AviHeader> ReadAviHeader(const char* path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file)
        return std::nullopt;
    Reader r(file.get());
    unsigned char riff[12];
    if (!r.Read(0, riff, sizeof riff) || Le32(riff) != FourCC('R', 'I', 'F', 'F') ||
        Le32(riff + 8) != FourCC('A', 'V', 'I', ' '))
        return std::nullopt;
    const std::uint64_t declaredEnd = 8 + std::uint64_t(Le32(riff + 4));
    const std::uint64_t end = declaredEnd < r.Size() ? declaredEnd : r.Size();

    AviHeader out;
    bool haveHeaders = false;
    ForEachChunk(r, 12, end, [&](const Chunk& c) {
        std::uint32_t type = 0;
        if (!haveHeaders && ListType(r, c, type) && type == FourCC('h', 'd', 'r', 'l')) {
            haveHeaders = true;
            ForEachChunk(r, c.data + 4, c.data + c.size, [&](const Chunk& sub) {
                std::uint32_t subType = 0;
                if (ListType(r, sub, subType) && subType == FourCC('s', 't', 'r', 'l'))
                    ReadStreamList(r, sub, out);
                return true;
            });
        } else if (haveHeaders && c.id == FourCC('i', 'd', 'x', '1')) {
            ReadIndex(r, c, out);
            return false;
        }
        return true;
    });
    if (!haveHeaders)
        return std::nullopt;
    return out;
}
