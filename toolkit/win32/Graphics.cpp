// Bitmaps in memory of their own that GDI can draw into: DrawDib draws into them through a memory
// DC, the image control paints their bits.
//
// GDI handles are few (10,000 per process), and a scene keeps a frame per bitmap: a file of
// 10,000 frames, however small, would exhaust them, and with them the program's painting. So a
// bitmap holds no GDI object at all, only its pixels in memory. Drawing goes through one memory
// DC per thread, shared by every canvas of that thread, with one DIB section of its own:
// Handle() lends the bitmap's pixels to that section, and they come back when the next bitmap is
// lent it, or when the pixels are read, shared or freed (drawing into shared pixels would change
// every sharer). A frame costs two copies of its pixels, a small part of decoding it.

#include "toolkit/win32/Pixels.h"

#include "toolkit/Exception.h"
#include "toolkit/win32/native/ImageView.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <string>

namespace {

class ThreadDc;

// 32-bit top-down pixels, shared by the bitmaps that were assigned from one another.
struct Section {
    Section(std::unique_ptr<std::uint32_t[]> b, int w, int hgt)
        : bits(std::move(b)), width(w), height(hgt) {}
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;
    ~Section();

    std::size_t Bytes() const { return std::size_t(width) * std::size_t(height) * 4; }

    const std::unique_ptr<std::uint32_t[]> bits;
    const int width;
    const int height;
    ThreadDc* lentTo = nullptr; // guarded by gSelection
};

// Guards which pixels are lent where: a bitmap may go away on another thread than the one whose
// DC holds its pixels.
std::mutex gSelection;

// The drawing DC of one thread and its section, made when the thread first draws, deleted when
// it ends.
class ThreadDc {
public:
    ThreadDc() : FDc(CreateCompatibleDC(nullptr)) {}
    ThreadDc(const ThreadDc&) = delete;
    ThreadDc& operator=(const ThreadDc&) = delete;
    ~ThreadDc() {
        std::lock_guard lock(gSelection);
        ReturnLocked();
        DropScratch();
        if (FDc)
            DeleteDC(FDc);
    }

    // The DC holding the section's pixels; nullptr lends nothing, and drawing on the DC then
    // reaches no bitmap.
    HDC Select(Section* section) {
        std::lock_guard lock(gSelection);
        if (!FDc || section == FLent)
            return FDc;
        ReturnLocked();
        if (!section)
            return FDc;
        if (section->lentTo)
            section->lentTo->ReturnLocked();
        if (!FScratch || FWidth != section->width || FHeight != section->height) {
            DropScratch();
            const BITMAPINFO info = win32::TopDownInfo(section->width, section->height);
            void* bits = nullptr;
            const HBITMAP scratch = CreateDIBSection(FDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
            if (!scratch)
                return FDc;
            const HGDIOBJ previous = SelectObject(FDc, scratch);
            if (!previous || previous == HGDI_ERROR || !bits) {
                DeleteObject(scratch);
                return FDc;
            }
            FOriginal = previous;
            FScratch = scratch;
            FBits = static_cast<std::uint32_t*>(bits);
            FWidth = section->width;
            FHeight = section->height;
        }
        std::memcpy(FBits, section->bits.get(), section->Bytes());
        FLent = section;
        section->lentTo = this;
        return FDc;
    }

    HDC Dc() const { return FDc; }

    // What was drawn goes back to the pixels it was drawn for.
    void ReturnLocked() {
        if (!FLent)
            return;
        GdiFlush();
        std::memcpy(FLent->bits.get(), FBits, FLent->Bytes());
        FLent->lentTo = nullptr;
        FLent = nullptr;
    }

private:
    void DropScratch() {
        if (!FScratch)
            return;
        SelectObject(FDc, FOriginal);
        DeleteObject(FScratch);
        FScratch = nullptr;
        FBits = nullptr;
    }

    const HDC FDc;
    HGDIOBJ FOriginal = nullptr;
    HBITMAP FScratch = nullptr;
    std::uint32_t* FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    Section* FLent = nullptr;
};

ThreadDc& ThisThreadDc() {
    thread_local ThreadDc dc;
    return dc;
}

Section::~Section() {
    std::lock_guard lock(gSelection);
    if (lentTo)
        lentTo->ReturnLocked();
}

// Brings the section's pixels back from a DC that draws into them (before they are read or
// shared).
void Deselect(const Section& section) {
    std::lock_guard lock(gSelection);
    if (section.lentTo)
        section.lentTo->ReturnLocked();
}

// Uninitialised pixels, or nullptr when there is no memory for them.
std::shared_ptr<Section> NewSection(int w, int h) {
    const std::uint64_t count = std::uint64_t(w) * std::uint64_t(h);
    if (w <= 0 || h <= 0 || count > std::numeric_limits<std::size_t>::max() / 4)
        return nullptr;
    try {
        std::unique_ptr<std::uint32_t[]> bits(new (std::nothrow) std::uint32_t[std::size_t(count)]);
        if (!bits)
            return nullptr;
        return std::make_shared<Section>(std::move(bits), w, h);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// A copy of any bitmap the system holds, in our format; nullptr when it cannot be had.
std::shared_ptr<Section> ToSection(HBITMAP source) {
    BITMAP described{};
    if (GetObjectW(source, sizeof described, &described) == 0 || described.bmWidth <= 0 ||
        described.bmHeight <= 0)
        return nullptr;
    auto section = NewSection(described.bmWidth, described.bmHeight);
    if (!section)
        return nullptr;
    BITMAPINFO info = win32::TopDownInfo(section->width, section->height);
    const HDC dc = ThisThreadDc().Dc();
    if (!dc || GetDIBits(dc, source, 0, UINT(section->height), section->bits.get(), &info,
                         DIB_RGB_COLORS) != section->height)
        return nullptr;
    return section;
}

std::wstring Widen(const String& text) {
    if (text.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()),
                                      nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), wide.data(),
                        n);
    return wide;
}

// The named bitmap resource of the program, converted; nullptr when there is none or it cannot
// be read. A name that does not survive the conversion, or one in the "#123" form of a number,
// names none of ours.
HBITMAP LoadBitmapResource(const String& name, bool* found) {
    const std::wstring wide = Widen(name);
    *found = false;
    if (wide.empty() || wide.find(L'\0') != std::wstring::npos || wide[0] == L'#')
        return nullptr;
    const HMODULE module = GetModuleHandleW(nullptr);
    // The system compares resource names without regard to case.
    if (!FindResourceW(module, wide.c_str(), MAKEINTRESOURCEW(2))) // RT_BITMAP
        return nullptr;
    *found = true;
    return static_cast<HBITMAP>(
        LoadImageW(module, wide.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

std::shared_ptr<Section> Converted(HBITMAP loaded) {
    if (!loaded)
        return nullptr;
    auto section = ToSection(loaded);
    DeleteObject(loaded);
    return section;
}

} // namespace

struct TBitmap::Pixels {
    std::shared_ptr<Section> FSection;

    // Takes over pixels loaded elsewhere and their size.
    static void Set(TBitmap& bitmap, std::shared_ptr<Section> section) {
        bitmap.FWidth = section->width;
        bitmap.FHeight = section->height;
        bitmap.FPixels->FSection = std::move(section);
        bitmap.Changed();
    }
    static const Section* Of(const TBitmap& bitmap) { return bitmap.FPixels->FSection.get(); }
};

const std::uint32_t* BitmapBits(const TBitmap& bitmap) {
    const Section* section = TBitmap::Pixels::Of(bitmap);
    if (!section)
        return nullptr;
    Deselect(*section);
    return section->bits.get();
}

TBitmap::TBitmap() : FPixels(std::make_unique<Pixels>()) {}

TBitmap::~TBitmap() = default;

HDC TCanvas::Handle() {
    auto& section = FBitmap.FPixels->FSection;
    if (section && section.use_count() > 1) {
        // Drawing follows: the pixels become this bitmap's own first.
        auto own = NewSection(section->width, section->height);
        if (!own)
            return ThisThreadDc().Select(nullptr);
        Deselect(*section);
        std::memcpy(own->bits.get(), section->bits.get(),
                    std::size_t(section->width) * std::size_t(section->height) * 4);
        section = std::move(own);
    }
    return ThisThreadDc().Select(section.get());
}

void TBitmap::Reallocate(int w, int h) {
    auto& section = FPixels->FSection;
    if (w == 0 || h == 0) {
        section.reset();
        return;
    }
    auto fresh = NewSection(w, h);
    if (!fresh)
        throw Exception("Systemressourcen erschöpft.");
    const std::size_t width = std::size_t(w);
    std::fill_n(fresh->bits.get(), width * std::size_t(h), std::uint32_t{0x00FFFFFF});
    if (section) {
        Deselect(*section);
        const std::size_t keep = std::size_t(std::min(w, section->width));
        for (int y = 0; y < std::min(h, section->height); ++y)
            std::memcpy(fresh->bits.get() + std::size_t(y) * width,
                        section->bits.get() + std::size_t(y) * std::size_t(section->width),
                        keep * 4);
    }
    section = std::move(fresh);
}

void TBitmap::Assign(const TBitmap* source) {
    if (source == this)
        return;
    const auto& shared = source ? source->FPixels->FSection : nullptr;
    if (shared)
        Deselect(*shared);
    FPixels->FSection = shared;
    FWidth = source ? source->FWidth : 0;
    FHeight = source ? source->FHeight : 0;
    Changed();
}

void TBitmap::LoadFromResourceName(const String& name) {
    bool found = false;
    const HBITMAP loaded = LoadBitmapResource(name, &found);
    if (!found)
        throw Exception("Resource " + name + " not found");
    auto section = Converted(loaded);
    if (!section)
        throw Exception("Resource " + name + " is not a valid bitmap");
    Pixels::Set(*this, std::move(section));
}

void TPicture::LoadFromFile(const String& path) {
    const std::wstring wide = Widen(path);
    auto section =
        wide.empty()
            ? nullptr
            : Converted(static_cast<HBITMAP>(LoadImageW(nullptr, wide.c_str(), IMAGE_BITMAP, 0, 0,
                                                        LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!section)
        throw Exception("Picture " + path + " could not be loaded");
    auto bitmap = std::make_unique<TBitmap>();
    TBitmap::Pixels::Set(*bitmap, std::move(section));
    Adopt(std::move(bitmap));
}

void TPicture::LoadFromDefinition(const String& name) {
    bool found = false;
    auto section = Converted(LoadBitmapResource(name, &found));
    if (!section)
        throw Exception("Picture " + name + " could not be loaded");
    auto bitmap = std::make_unique<TBitmap>();
    TBitmap::Pixels::Set(*bitmap, std::move(section));
    Adopt(std::move(bitmap));
}
