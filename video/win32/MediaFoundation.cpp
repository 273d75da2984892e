#include "MediaFoundation.h"

#include "FrameConversion.h"
#include "SceneStream.h"

#include <mfapi.h>
#include <mferror.h>
#include <mfidl.h>
#include <mfreadwrite.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace {

// Holds one reference to a COM object.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    explicit ComPtr(T* adopted) : FObject(adopted) {} // takes over a reference
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : FObject(std::exchange(other.FObject, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            FObject = std::exchange(other.FObject, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    // For a T** parameter that hands out a reference.
    T** Put() {
        reset();
        return &FObject;
    }
    void reset() {
        if (FObject)
            std::exchange(FObject, nullptr)->Release();
    }
    T* get() const { return FObject; }
    T* operator->() const { return FObject; }
    explicit operator bool() const { return FObject != nullptr; }

private:
    T* FObject = nullptr;
};

constexpr DWORD kVideo = MF_SOURCE_READER_FIRST_VIDEO_STREAM;
// Reads that bring neither a frame nor the end (gaps in the stream), and frames that cannot be
// read, in a row, before a stream counts as ended: a broken file never keeps the loader waiting.
constexpr int kMaxEmptyReads = 1000;
constexpr int kMaxFailuresInARow = 64;
// Longer than any file Media Foundation reads takes to open, even under Wine.
constexpr std::chrono::seconds kOpenTimeout{10};

// The system's DLLs, loaded and started once, when a scene first needs them. They stay loaded
// to the end: a stream still held then would call into them when released.
class Library {
public:
    static Library* Get() {
        Library& library = Instance();
        std::lock_guard lock(library.FLock);
        if (!library.FStarted && library.Load())
            library.FStarted = SUCCEEDED(library.Startup(MF_VERSION, MFSTARTUP_LITE));
        return library.FStarted && !library.FGivenUp ? &library : nullptr;
    }
    // After a reader that never returned: it holds one of Media Foundation's worker threads for
    // good (under Wine a second one leaves none for the next file), so no scene goes that way
    // again in this run.
    void GiveUp() {
        std::lock_guard lock(FLock);
        FGivenUp = true;
    }
    static void Shutdown() {
        Library& library = Instance();
        std::lock_guard lock(library.FLock);
        if (library.FStarted)
            library.Stop();
        library.FStarted = false;
    }

    decltype(&::MFCreateAttributes) CreateAttributes = nullptr;
    decltype(&::MFCreateMediaType) CreateMediaType = nullptr;
    decltype(&::MFCreateSourceReaderFromURL) CreateReader = nullptr;

private:
    Library() = default;
    static Library& Instance() {
        static Library library;
        return library;
    }

    // From the system folder only, never from beside the program or the scene.
    static HMODULE LoadSystemLibrary(const wchar_t* name) {
        wchar_t folder[MAX_PATH];
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return nullptr;
        return LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
    }
    template <class F> static bool Find(HMODULE module, const char* name, F& function) {
        function = module
                       ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                       : nullptr;
        return function != nullptr;
    }
    bool Load() {
        if (!FLoaded) {
            const HMODULE platform = LoadSystemLibrary(L"mfplat.dll");
            const HMODULE readers = LoadSystemLibrary(L"mfreadwrite.dll");
            FLoaded = Find(platform, "MFStartup", Startup) && Find(platform, "MFShutdown", Stop) &&
                      Find(platform, "MFCreateAttributes", CreateAttributes) &&
                      Find(platform, "MFCreateMediaType", CreateMediaType) &&
                      Find(readers, "MFCreateSourceReaderFromURL", CreateReader);
        }
        return FLoaded;
    }

    std::mutex FLock;
    bool FLoaded = false;
    bool FStarted = false;
    bool FGivenUp = false;
    decltype(&::MFStartup) Startup = nullptr;
    decltype(&::MFShutdown) Stop = nullptr;
};

// Makes the reader on a thread of its own and waits for it a while: Wine's reader never returns
// for some damaged files (an MP4 cut early in its frames' data, MJPEG that never decodes). A file
// that takes longer counts as one Media Foundation cannot read, and its thread is left to finish,
// or not, on its own. The
// thread needs no COM of its own: Media Foundation's work queues keep the process's
// multithreaded apartment, which it joins.
ComPtr<IMFSourceReader> CreateReader(Library& mf, const std::wstring& path,
                                     IMFAttributes* attributes) {
    struct Attempt {
        std::mutex lock;
        std::condition_variable done;
        bool finished = false;
        bool abandoned = false;
        IMFSourceReader* reader = nullptr;
    };
    const auto attempt = std::make_shared<Attempt>();
    attributes->AddRef();
    Library* const library = &mf;
    try {
        std::thread([attempt, library, path, attributes] {
            IMFSourceReader* reader = nullptr;
            if (FAILED(library->CreateReader(path.c_str(), attributes, &reader)))
                reader = nullptr;
            attributes->Release();
            std::lock_guard lock(attempt->lock);
            if (attempt->abandoned && reader)
                reader->Release();
            else
                attempt->reader = reader;
            attempt->finished = true;
            attempt->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        attributes->Release();
        return nullptr;
    }
    std::unique_lock lock(attempt->lock);
    if (!attempt->done.wait_for(lock, kOpenTimeout, [&] { return attempt->finished; })) {
        attempt->abandoned = true;
        mf.GiveUp();
        return nullptr;
    }
    return ComPtr<IMFSourceReader>(attempt->reader);
}

// A reader of the file's first video stream alone; `convert` lets it turn the decoder's
// pictures into RGB32 (a real Windows does, with its video processor).
ComPtr<IMFSourceReader> OpenReader(Library& mf, const std::wstring& path, bool convert) {
    ComPtr<IMFAttributes> attributes;
    if (FAILED(mf.CreateAttributes(attributes.Put(), 1)) ||
        (convert && FAILED(attributes->SetUINT32(MF_SOURCE_READER_ENABLE_VIDEO_PROCESSING, TRUE))))
        return nullptr;
    ComPtr<IMFSourceReader> reader = CreateReader(mf, path, attributes.get());
    if (!reader)
        return nullptr;
    // Nothing but the video is read, so nothing else is buffered.
    if (FAILED(reader->SetStreamSelection(DWORD(MF_SOURCE_READER_ALL_STREAMS), FALSE)))
        return nullptr;
    reader->SetStreamSelection(kVideo, TRUE); // fails only where there is no video
    return reader;
}

struct Size {
    std::int64_t width = 0, height = 0;
};

Size FrameSize(IMFMediaType* type) {
    UINT64 packed = 0;
    if (FAILED(type->GetUINT64(MF_MT_FRAME_SIZE, &packed)))
        return {};
    return {std::int64_t(packed >> 32), std::int64_t(packed & 0xFFFFFFFFu)};
}

GUID Subtype(IMFMediaType* type) {
    GUID subtype{};
    type->GetGUID(MF_MT_SUBTYPE, &subtype);
    return subtype;
}

// JPEG pictures carry full-range YUV, which FFmpeg assumes for them when nothing says otherwise.
bool IsJpeg(DWORD code) {
    char c[4];
    std::memcpy(c, &code, 4);
    for (char& ch : c)
        ch = char(ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch);
    return std::memcmp(c, "MJPG", 4) == 0 || std::memcmp(c, "JPEG", 4) == 0 ||
           std::memcmp(c, "AVRN", 4) == 0 || std::memcmp(c, "DMB1", 4) == 0;
}

// What the frames decoded through the reader are like, and how they become ours.
struct Output {
    std::optional<YuvLayout> yuv; // none: RGB32
    Size coded;
    int left = 0, top = 0, width = 0, height = 0; // the visible picture
    std::int64_t stride = 0;                      // from the media type; negative: bottom-up
    YuvTables tables{};
};

const struct {
    const GUID* subtype;
    std::optional<YuvLayout> yuv;
} kOutputs[] = {
    // What Windows's video processor makes of any decoder's pictures.
    {&MFVideoFormat_RGB32, std::nullopt},
    // What decoders give themselves (Wine gives only these), converted here.
    {&MFVideoFormat_NV12, YuvLayout::Nv12},
    {&MFVideoFormat_I420, YuvLayout::I420},
    {&MFVideoFormat_IYUV, YuvLayout::I420},
    {&MFVideoFormat_YV12, YuvLayout::Yv12},
    {&MFVideoFormat_YUY2, YuvLayout::Yuy2},
};

// The decoded frames of one stream, in the order they are shown, each converted once, straight
// into the frame handed out. `shown` is the picture size the file declares.
class DecodedFrames final : public FrameSource {
public:
    DecodedFrames(Library& mf, std::wstring path, Size shown, bool jpeg)
        : FMf(mf), FPath(std::move(path)), FShown(shown), FJpeg(jpeg) {}

    bool Start() override {
        if (!FrameSizeAllowed(FShown.width, FShown.height) && FShown.width > 0 && FShown.height > 0)
            return false;
        FReader = OpenReader(FMf, FPath, true);
        if (!FReader || !ChooseOutput())
            return false;
        // The first picture now: one beyond the frame limits means there is no decoder for this
        // stream, as the FFmpeg back end reports it.
        FFirst = Decode();
        FFirstPending = true;
        return FFirst || !FRefusedForSize;
    }

    const BITMAPINFOHEADER* Next() override {
        if (FFirstPending) {
            FFirstPending = false;
            return FFirst;
        }
        return Decode();
    }

private:
    bool ChooseOutput() {
        for (const auto& output : kOutputs) {
            ComPtr<IMFMediaType> type;
            if (FAILED(FMf.CreateMediaType(type.Put())) ||
                FAILED(type->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Video)) ||
                FAILED(type->SetGUID(MF_MT_SUBTYPE, *output.subtype)))
                return false;
            if (SUCCEEDED(FReader->SetCurrentMediaType(kVideo, nullptr, type.get())))
                return Describe();
        }
        return false;
    }

    // Reads the reader's current output type: at the start and whenever the decoder changes it.
    bool Describe() {
        ComPtr<IMFMediaType> type;
        if (FAILED(FReader->GetCurrentMediaType(kVideo, type.Put())))
            return false;
        Output o;
        const GUID subtype = Subtype(type.get());
        const auto known = std::find_if(std::begin(kOutputs), std::end(kOutputs),
                                        [&](const auto& k) { return *k.subtype == subtype; });
        if (known == std::end(kOutputs))
            return false;
        o.yuv = known->yuv;
        o.coded = FrameSize(type.get());
        if (!FrameSizeAllowed(o.coded.width, o.coded.height)) {
            FRefusedForSize = o.coded.width > 0 && o.coded.height > 0;
            return false;
        }
        // The visible part: 1080 lines are coded as 1088, the decoder says which ones show.
        MFVideoArea area{};
        UINT32 areaSize = 0;
        Size visible = o.coded;
        if (SUCCEEDED(type->GetBlob(MF_MT_MINIMUM_DISPLAY_APERTURE, reinterpret_cast<UINT8*>(&area),
                                    sizeof area, &areaSize)) &&
            areaSize == sizeof area && area.OffsetX.value >= 0 && area.OffsetY.value >= 0 &&
            area.Area.cx > 0 && area.Area.cy > 0 &&
            area.OffsetX.value + std::int64_t{area.Area.cx} <= o.coded.width &&
            area.OffsetY.value + std::int64_t{area.Area.cy} <= o.coded.height) {
            o.left = area.OffsetX.value;
            o.top = area.OffsetY.value;
            visible = {area.Area.cx, area.Area.cy};
        } else if (FShown.width > 0 && FShown.height > 0 && FShown.width <= o.coded.width &&
                   FShown.height <= o.coded.height) {
            visible = FShown; // the container's size, where the decoder gives none
        }
        o.width = int(visible.width);
        o.height = int(visible.height);
        UINT32 stride = 0;
        if (SUCCEEDED(type->GetUINT32(MF_MT_DEFAULT_STRIDE, &stride)))
            o.stride = std::int32_t(stride);
        else
            o.stride = o.coded.width * (!o.yuv ? 4 : *o.yuv == YuvLayout::Yuy2 ? 2 : 1);
        if (o.yuv) {
            // Without a word from the decoder, as FFmpeg takes it: BT.601, limited range but for
            // JPEG.
            UINT32 matrix = 0, range = 0;
            type->GetUINT32(MF_MT_YUV_MATRIX, &matrix);
            type->GetUINT32(MF_MT_VIDEO_NOMINAL_RANGE, &range);
            const YuvMatrix m = matrix == MFVideoTransferMatrix_BT709       ? YuvMatrix::Bt709
                                : matrix == MFVideoTransferMatrix_SMPTE240M ? YuvMatrix::Smpte240m
                                : matrix == MFVideoTransferMatrix_BT2020_10 ||
                                        matrix == MFVideoTransferMatrix_BT2020_12
                                    ? YuvMatrix::Bt2020
                                    : YuvMatrix::Bt601;
            const bool full = range == MFNominalRange_0_255    ? true
                              : range == MFNominalRange_16_235 ? false
                                                               : FJpeg;
            o.tables = MakeYuvTables(m, full);
        }
        FOutput = o;
        return true;
    }

    const BITMAPINFOHEADER* Decode() {
        for (int empty = 0, failures = 0;;) {
            DWORD index = 0, flags = 0;
            LONGLONG time = 0;
            ComPtr<IMFSample> sample;
            const HRESULT hr = FReader->ReadSample(kVideo, 0, &index, &flags, &time, sample.Put());
            if (FAILED(hr) || (flags & MF_SOURCE_READERF_ERROR))
                return nullptr;
            if ((flags & MF_SOURCE_READERF_CURRENTMEDIATYPECHANGED) && !Describe())
                return nullptr;
            if (sample) {
                if (Convert(sample.get()))
                    return FDib.Header();
                if (++failures > kMaxFailuresInARow)
                    return nullptr;
                continue;
            }
            if ((flags & MF_SOURCE_READERF_ENDOFSTREAM) || ++empty > kMaxEmptyReads)
                return nullptr;
        }
    }

    // The sample's picture into the frame handed out; false for one that cannot be read.
    bool Convert(IMFSample* sample) {
        ComPtr<IMFMediaBuffer> buffer;
        if (FAILED(sample->ConvertToContiguousBuffer(buffer.Put())))
            return false;
        const LockedPicture picture(buffer.get(), FOutput);
        const Output& o = FOutput;
        if (!picture.top)
            return false;
        const std::int64_t rows = o.coded.height;
        if (o.yuv) {
            // Planes follow one another, from the top, with the luma rows' pitch.
            const std::int64_t bytes = YuvPictureBytes(*o.yuv, o.coded.width, picture.pitch, rows);
            if (picture.pitch <= 0 || bytes < 0 || !picture.Holds(picture.top, bytes) ||
                !FDib.Reserve(o.width, o.height))
                return false;
            YuvToRgb32({*o.yuv, picture.top, std::ptrdiff_t(picture.pitch), int(rows)}, o.left,
                       o.top, o.width, o.height, o.tables, FDib.TopRow(), FDib.Pitch());
            return true;
        }
        // RGB rows run either way from the top row.
        const std::int64_t rowBytes = o.coded.width * 4;
        const BYTE* lowest =
            picture.pitch < 0 ? picture.top + picture.pitch * (rows - 1) : picture.top;
        if (std::abs(picture.pitch) < rowBytes ||
            !picture.Holds(lowest, std::abs(picture.pitch) * (rows - 1) + rowBytes) ||
            !FDib.Reserve(o.width, o.height))
            return false;
        Rgb32ToRgb32(picture.top + picture.pitch * o.top + 4 * o.left,
                     std::ptrdiff_t(picture.pitch), o.width, o.height, FDib.TopRow(), FDib.Pitch());
        return true;
    }

    // A buffer's picture locked for reading: its top row, the pitch to the next row down, and
    // the memory it may be read from.
    struct LockedPicture {
        LockedPicture(IMFMediaBuffer* buffer, const Output& o) : FBuffer(buffer) {
            // A two-dimensional buffer knows its own pitch (and padding); with Windows 8 also
            // the memory it spans.
            IMF2DBuffer2* planes2 = nullptr;
            if (SUCCEEDED(
                    buffer->QueryInterface(IID_IMF2DBuffer2, reinterpret_cast<void**>(&planes2)))) {
                F2d = ComPtr<IMF2DBuffer>(planes2);
                BYTE* start = nullptr;
                DWORD length = 0;
                LONG rowPitch = 0;
                if (SUCCEEDED(planes2->Lock2DSize(MF2DBuffer_LockFlags_Read, &top, &rowPitch,
                                                  &start, &length))) {
                    pitch = rowPitch;
                    FStart = start;
                    FLength = length;
                    return;
                }
                F2d.reset();
            }
            IMF2DBuffer* planes = nullptr;
            if (SUCCEEDED(
                    buffer->QueryInterface(IID_IMF2DBuffer, reinterpret_cast<void**>(&planes)))) {
                F2d = ComPtr<IMF2DBuffer>(planes);
                LONG rowPitch = 0;
                if (SUCCEEDED(planes->Lock2D(&top, &rowPitch))) {
                    pitch = rowPitch;
                    return; // the system's own buffer, whose extent it does not tell
                }
                F2d.reset();
            }
            // A plain buffer holds the picture with the media type's stride; a negative one
            // puts the top row last.
            BYTE* data = nullptr;
            DWORD current = 0;
            if (FAILED(buffer->Lock(&data, nullptr, &current)))
                return;
            FLocked = true;
            pitch = o.stride;
            FStart = data;
            FLength = current;
            top = pitch < 0 ? data - pitch * (o.coded.height - 1) : data;
        }
        ~LockedPicture() {
            if (F2d)
                F2d->Unlock2D();
            else if (FLocked)
                FBuffer->Unlock();
        }
        LockedPicture(const LockedPicture&) = delete;
        LockedPicture& operator=(const LockedPicture&) = delete;

        // Whether `bytes` from `from` lie inside the buffer, where it says how far it goes.
        bool Holds(const BYTE* from, std::int64_t bytes) const {
            if (!FStart)
                return bool(F2d);
            return from >= FStart && bytes >= 0 && (from - FStart) + bytes <= FLength;
        }

        BYTE* top = nullptr;
        std::int64_t pitch = 0;

    private:
        IMFMediaBuffer* const FBuffer;
        ComPtr<IMF2DBuffer> F2d; // locked in two dimensions
        bool FLocked = false;    // locked as a plain buffer
        const BYTE* FStart = nullptr;
        std::int64_t FLength = 0;
    };

    Library& FMf;
    const std::wstring FPath;
    const Size FShown;
    const bool FJpeg;
    ComPtr<IMFSourceReader> FReader;
    Output FOutput;
    Rgb32Dib FDib;
    const BITMAPINFOHEADER* FFirst = nullptr;
    bool FFirstPending = false;
    bool FRefusedForSize = false;
};

// The frames of the stream, counted without decoding them where the reader hands out the
// coded samples (Windows does; Wine's reader decodes in any case).
LONG CountFrames(IMFSourceReader* reader) {
    LONG frames = 0;
    for (int empty = 0; frames < LONG_MAX;) {
        DWORD index = 0, flags = 0;
        LONGLONG time = 0;
        ComPtr<IMFSample> sample;
        const HRESULT hr = reader->ReadSample(kVideo, 0, &index, &flags, &time, sample.Put());
        if (sample) {
            ++frames;
            empty = 0;
        } else if (++empty > kMaxEmptyReads) {
            break;
        }
        if (FAILED(hr) || (flags & (MF_SOURCE_READERF_ENDOFSTREAM | MF_SOURCE_READERF_ERROR)))
            break;
    }
    return frames;
}

} // namespace

PAVIFILE MediaFoundationOpen(const std::wstring& path, const AviStreamFacts* avi) {
    Library* mf = Library::Get();
    if (!mf)
        return nullptr;
    ComPtr<IMFSourceReader> reader = OpenReader(*mf, path, false);
    if (!reader)
        return nullptr;
    AVISTREAMINFOW info{};
    ComPtr<IMFMediaType> native;
    if (FAILED(reader->GetNativeMediaType(kVideo, 0, native.Put()))) {
        // Sound (or anything else) without pictures.
        ComPtr<IMFMediaType> any;
        if (FAILED(reader->GetNativeMediaType(0, 0, any.Put())))
            return nullptr;
        info.fccType = streamtypeAUDIO;
        return MakeSceneFile(info, nullptr);
    }
    const GUID subtype = Subtype(native.get());
    const Size shown = avi ? Size{avi->width, avi->height} : FrameSize(native.get());
    info.fccType = streamtypeVIDEO;
    info.fccHandler = subtype.Data1; // the codec's four characters, for the compressed types
    info.rcFrame = {0, 0, LONG(std::clamp<std::int64_t>(shown.width, 0, LONG_MAX)),
                    LONG(std::clamp<std::int64_t>(shown.height, 0, LONG_MAX))};
    if (avi) {
        info.dwRate = avi->rate;
        info.dwScale = avi->scale;
    } else {
        UINT64 rate = 0;
        native->GetUINT64(MF_MT_FRAME_RATE, &rate);
        info.dwRate = DWORD(rate >> 32);
        info.dwScale = DWORD(rate & 0xFFFFFFFFu);
        if (info.dwRate == 0 || info.dwScale == 0) {
            info.dwRate = 25; // as the FFmpeg back end takes a stream that names no rate
            info.dwScale = 1;
        }
    }
    info.dwLength = DWORD(CountFrames(reader.get()));
    reader.reset();
    const bool jpeg = IsJpeg(subtype.Data1) || (avi && IsJpeg(avi->codec));
    const std::wstring file = path;
    return MakeSceneFile(info, [mf, file, shown, jpeg]() -> std::unique_ptr<FrameSource> {
        return std::unique_ptr<FrameSource>(new (std::nothrow)
                                                DecodedFrames(*mf, file, shown, jpeg));
    });
}

void MediaFoundationShutdown() {
    Library::Shutdown();
}
