#include "OtherWays.h"

#include "FrameConversion.h"
#include "MediaFoundation.h"
#include "SceneStream.h"
#include "video/VFWHandles.h"

#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace {

// An AVI stream's format ('strf'), as AVIFile reads it.
std::vector<std::uint8_t> StreamFormat(PAVISTREAM stream) {
    LONG size = 0;
    if (AVIStreamReadFormat(stream, AVIStreamStart(stream), nullptr, &size) != AVIERR_OK ||
        size < LONG(sizeof(BITMAPINFOHEADER)) || size > (1 << 20))
        return {};
    std::vector<std::uint8_t> format(std::size_t(size), 0);
    if (AVIStreamReadFormat(stream, AVIStreamStart(stream), format.data(), &size) != AVIERR_OK)
        return {};
    return format;
}

// The layout of an uncompressed format whose frames, as AVIFile hands them out, DrawDib cannot
// draw: DrawDib draws no rows from the top down, and AVIFile gives BI_BITFIELDS frames to any
// decompressor that claims them (Wine's RLE codec does, and garbles them).
std::optional<DibLayout> StoredLayout(const std::vector<std::uint8_t>& format) {
    if (format.empty())
        return std::nullopt;
    const DibHeader header = DibHeaderFromBytes(format.data());
    const std::optional<DibLayout> layout = DibDescribe(header);
    if (!layout || (!layout->topDown && layout->compression != kDibBitFields) ||
        layout->bitsOffset > std::int64_t(format.size()))
        return std::nullopt;
    return layout;
}

// Uncompressed frames as the file stores them, read from AVIFile's stream and converted here.
class StoredFrames final : public FrameSource {
public:
    StoredFrames(std::shared_ptr<IAVIStream> stream, std::vector<std::uint8_t> format,
                 DibLayout layout)
        : FStream(std::move(stream)), FFormat(std::move(format)), FLayout(layout) {}

    bool Start() override {
        FNext = AVIStreamStart(FStream.get());
        FEnd = AVIStreamEnd(FStream.get());
        FChunk.reset(new (std::nothrow) std::uint8_t[std::size_t(FLayout.imageSize)]);
        return FChunk && FDib.Reserve(int(FLayout.width), int(FLayout.height));
    }

    const BITMAPINFOHEADER* Next() override {
        if (FNext >= FEnd)
            return nullptr;
        LONG bytes = 0, samples = 0;
        const HRESULT hr = AVIStreamRead(FStream.get(), FNext++, 1, FChunk.get(),
                                         LONG(FLayout.imageSize), &bytes, &samples);
        if (hr != AVIERR_OK)
            return nullptr;
        // An empty chunk repeats the frame before it.
        if (bytes == 0 && FShown)
            return FDib.Header();
        if (bytes < FLayout.imageSize)
            return nullptr;
        if (!DibToRgb32(FLayout, FFormat.data(), FChunk.get(), FDib.TopRow(), FDib.Pitch()))
            return nullptr;
        FShown = true;
        return FDib.Header();
    }

private:
    const std::shared_ptr<IAVIStream> FStream;
    const std::vector<std::uint8_t> FFormat;
    const DibLayout FLayout;
    std::unique_ptr<std::uint8_t[]> FChunk;
    Rgb32Dib FDib;
    LONG FNext = 0;
    LONG FEnd = 0;
    bool FShown = false;
};

PAVIFILE StoredFile(PAVISTREAM stream, const AVISTREAMINFOW& info,
                    const std::vector<std::uint8_t>& format, const DibLayout& layout) {
    AVIStreamAddRef(stream);
    const std::shared_ptr<IAVIStream> held(stream, AviStreamCloser());
    return MakeSceneFile(info, [held, format, layout]() -> std::unique_ptr<FrameSource> {
        return std::unique_ptr<FrameSource>(new (std::nothrow) StoredFrames(held, format, layout));
    });
}

bool HasDecompressor(PAVISTREAM stream) {
    return GetFramePtr(AVIStreamGetFrameOpen(stream, nullptr)) != nullptr;
}

} // namespace

HRESULT OpenOtherWays(PAVIFILE* file, HRESULT opened, const std::wstring& path) {
    if (opened != AVIERR_OK) {
        if (PAVIFILE ours = MediaFoundationOpen(path)) {
            *file = ours;
            return AVIERR_OK;
        }
        return opened;
    }
    PAVISTREAM raw = nullptr;
    AVIFileGetStream(*file, &raw, streamtypeVIDEO, 0);
    const AviStreamPtr stream(raw);
    if (!stream)
        return opened; // no video: AVIFile's answer says so
    AVISTREAMINFOW info{};
    if (AVIStreamInfoW(stream.get(), &info, sizeof info) != AVIERR_OK)
        return opened;
    const std::vector<std::uint8_t> format = StreamFormat(stream.get());
    PAVIFILE ours = nullptr;
    if (const std::optional<DibLayout> layout = StoredLayout(format)) {
        ours = StoredFile(stream.get(), info, format, *layout);
    } else if (!HasDecompressor(stream.get())) {
        AviStreamFacts facts;
        facts.rate = info.dwRate;
        facts.scale = info.dwScale;
        if (!format.empty()) {
            const DibHeader header = DibHeaderFromBytes(format.data());
            facts.codec = header.biCompression;
            facts.width = header.biWidth;
            facts.height = std::abs(std::int64_t{header.biHeight});
        }
        ours = MediaFoundationOpen(path, &facts);
    }
    if (!ours)
        return opened;
    AVIFileRelease(*file);
    *file = ours;
    return AVIERR_OK;
}

void CloseOtherWays() {
    MediaFoundationShutdown();
}
