#include "SceneStream.h"

#include "base/Dib.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <utility>

namespace {

// The interface identities, spelt out: the import libraries do not all carry them.
constexpr GUID AviGuid(unsigned long first) {
    return {first, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
}
constexpr GUID kUnknown = AviGuid(0x00000000);
constexpr GUID kAviFile = AviGuid(0x00020020);
constexpr GUID kAviStream = AviGuid(0x00020021);
constexpr GUID kGetFrame = AviGuid(0x00020023);

bool Same(REFIID a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof b) == 0;
}

// Reference counting of our objects; each deletes itself with its last reference.
template <class Interface> class Counted : public Interface {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FReferences; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --FReferences;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~Counted() = default;
    HRESULT Answer(void** object, bool known) {
        if (!object)
            return E_POINTER;
        *object = known ? this : nullptr;
        if (!known)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

private:
    std::atomic<ULONG> FReferences{1};
};

// The frames of one AVIStreamGetFrameOpen, asked for in order; going back starts over.
class Frames final : public Counted<IGetFrame> {
public:
    explicit Frames(FrameSources sources) : FSources(std::move(sources)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        return Answer(object, Same(id, kUnknown) || Same(id, kGetFrame));
    }
    LPVOID STDMETHODCALLTYPE GetFrame(LONG position) override {
        if (position < 0 || (FEnded && position > FPosition))
            return nullptr;
        if (!FSource || position < FPosition) {
            if (!Restart())
                return nullptr;
        }
        while (FPosition < position) {
            const BITMAPINFOHEADER* next = FSource->Next();
            if (!next) {
                FEnded = true;
                return nullptr;
            }
            FCurrent = next;
            ++FPosition;
        }
        return const_cast<BITMAPINFOHEADER*>(FCurrent);
    }
    HRESULT STDMETHODCALLTYPE Begin(LONG, LONG, LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE End() override { return S_OK; }
    // Our frames come in one format; asking for that one, or for none, is all there is.
    HRESULT STDMETHODCALLTYPE SetFormat(LPBITMAPINFOHEADER wanted, LPVOID, int, int, int,
                                        int) override {
        if (wanted && (wanted->biBitCount != 32 || wanted->biCompression != BI_RGB))
            return AVIERR_BADFORMAT;
        return Restart() ? S_OK : AVIERR_NOCOMPRESSOR;
    }

private:
    bool Restart() {
        FSource.reset();
        FCurrent = nullptr;
        FPosition = -1;
        FEnded = false;
        auto source = FSources();
        if (!source || !source->Start())
            return false;
        FSource = std::move(source);
        return true;
    }

    const FrameSources FSources;
    std::unique_ptr<FrameSource> FSource;
    const BITMAPINFOHEADER* FCurrent = nullptr; // frame FPosition
    LONG FPosition = -1;
    bool FEnded = false; // there is no frame after FPosition
};

class Stream final : public Counted<IAVIStream> {
public:
    Stream(const AVISTREAMINFOW& info, FrameSources sources)
        : FInfo(info), FSources(std::move(sources)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (object && Same(id, kGetFrame)) {
            *object = new (std::nothrow) Frames(FSources);
            return *object ? S_OK : E_OUTOFMEMORY;
        }
        return Answer(object, Same(id, kUnknown) || Same(id, kAviStream));
    }
    HRESULT STDMETHODCALLTYPE Create(LPARAM, LPARAM) override { return AVIERR_READONLY; }
    HRESULT STDMETHODCALLTYPE Info(AVISTREAMINFOW* info, LONG size) override {
        if (!info || size < 0)
            return AVIERR_BADPARAM;
        std::memcpy(info, &FInfo, std::min<std::size_t>(std::size_t(size), sizeof FInfo));
        return AVIERR_OK;
    }
    LONG STDMETHODCALLTYPE FindSample(LONG position, LONG) override {
        return position >= 0 && DWORD(position) < FInfo.dwLength ? position : -1;
    }
    // The format of the frames we hand out.
    HRESULT STDMETHODCALLTYPE ReadFormat(LONG, LPVOID format, LONG* size) override {
        if (!size)
            return AVIERR_BADPARAM;
        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biWidth = FInfo.rcFrame.right - FInfo.rcFrame.left;
        header.biHeight = FInfo.rcFrame.bottom - FInfo.rcFrame.top;
        header.biPlanes = 1;
        header.biBitCount = 32;
        header.biCompression = BI_RGB;
        const LONG room = *size;
        *size = sizeof header;
        if (!format)
            return AVIERR_OK;
        std::memcpy(format, &header, std::size_t(std::clamp<LONG>(room, 0, sizeof header)));
        return room < LONG(sizeof header) ? AVIERR_BUFFERTOOSMALL : AVIERR_OK;
    }
    HRESULT STDMETHODCALLTYPE SetFormat(LONG, LPVOID, LONG) override { return AVIERR_READONLY; }
    // Only decoded frames leave this stream, through its frame objects.
    HRESULT STDMETHODCALLTYPE Read(LONG, LONG, LPVOID, LONG, LONG*, LONG*) override {
        return AVIERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE Write(LONG, LONG, LPVOID, LONG, DWORD, LONG*, LONG*) override {
        return AVIERR_READONLY;
    }
    HRESULT STDMETHODCALLTYPE Delete(LONG, LONG) override { return AVIERR_READONLY; }
    HRESULT STDMETHODCALLTYPE ReadData(DWORD, LPVOID, LONG*) override { return AVIERR_NODATA; }
    HRESULT STDMETHODCALLTYPE WriteData(DWORD, LPVOID, LONG) override { return AVIERR_READONLY; }
    HRESULT STDMETHODCALLTYPE SetInfo(AVISTREAMINFOW*, LONG) override { return AVIERR_READONLY; }

private:
    const AVISTREAMINFOW FInfo;
    const FrameSources FSources;
};

class File final : public Counted<IAVIFile> {
public:
    File(const AVISTREAMINFOW& info, Stream* stream) : FInfo(info), FStream(stream) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        return Answer(object, Same(id, kUnknown) || Same(id, kAviFile));
    }
    HRESULT STDMETHODCALLTYPE Info(AVIFILEINFOW* info, LONG size) override {
        if (!info || size < 0)
            return AVIERR_BADPARAM;
        AVIFILEINFOW about{};
        about.dwStreams = FStream ? 1 : 0;
        about.dwWidth = DWORD(FInfo.rcFrame.right - FInfo.rcFrame.left);
        about.dwHeight = DWORD(FInfo.rcFrame.bottom - FInfo.rcFrame.top);
        about.dwScale = FInfo.dwScale;
        about.dwRate = FInfo.dwRate;
        about.dwLength = FInfo.dwLength;
        std::memcpy(info, &about, std::min<std::size_t>(std::size_t(size), sizeof about));
        return AVIERR_OK;
    }
    HRESULT STDMETHODCALLTYPE GetStream(PAVISTREAM* stream, DWORD type, LONG index) override {
        if (!stream)
            return AVIERR_BADPARAM;
        *stream = nullptr;
        if (!FStream || (type != 0 && type != streamtypeVIDEO) || index != 0)
            return AVIERR_NODATA;
        FStream->AddRef();
        *stream = FStream;
        return AVIERR_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateStream(PAVISTREAM*, AVISTREAMINFOW*) override {
        return AVIERR_READONLY;
    }
    HRESULT STDMETHODCALLTYPE WriteData(DWORD, LPVOID, LONG) override { return AVIERR_READONLY; }
    HRESULT STDMETHODCALLTYPE ReadData(DWORD, LPVOID, LONG*) override { return AVIERR_NODATA; }
    HRESULT STDMETHODCALLTYPE EndRecord() override { return AVIERR_READONLY; }
    HRESULT STDMETHODCALLTYPE DeleteStream(DWORD, LONG) override { return AVIERR_READONLY; }

private:
    ~File() override {
        if (FStream)
            FStream->Release();
    }

    const AVISTREAMINFOW FInfo;
    Stream* const FStream; // one reference, or none for a file without video
};

} // namespace

bool Rgb32Dib::Reserve(int width, int height) {
    if (!FrameSizeAllowed(width, height))
        return false;
    const std::size_t bytes = sizeof(BITMAPINFOHEADER) + std::size_t(width) * height * 4;
    if (bytes > FCapacity) {
        FBytes.reset(new (std::nothrow) std::uint8_t[bytes]);
        FCapacity = FBytes ? bytes : 0;
        if (!FBytes)
            return false;
    }
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height; // bottom-up: DrawDib draws no other row order
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = DWORD(std::size_t(width) * height * 4);
    std::memcpy(FBytes.get(), &header, sizeof header);
    FWidth = width;
    FHeight = height;
    return true;
}

const BITMAPINFOHEADER* Rgb32Dib::Header() const {
    return reinterpret_cast<const BITMAPINFOHEADER*>(FBytes.get());
}

std::uint8_t* Rgb32Dib::TopRow() {
    return FBytes.get() + sizeof(BITMAPINFOHEADER) + std::size_t(FHeight - 1) * FWidth * 4;
}

std::ptrdiff_t Rgb32Dib::Pitch() const {
    return -std::ptrdiff_t(FWidth) * 4;
}

PAVIFILE MakeSceneFile(const AVISTREAMINFOW& info, FrameSources sources) {
    Stream* stream = nullptr;
    if (sources) {
        stream = new (std::nothrow) Stream(info, std::move(sources));
        if (!stream)
            return nullptr;
    }
    auto* file = new (std::nothrow) File(info, stream);
    if (!file && stream)
        stream->Release();
    return file;
}
