// Bitmaps on DIB sections: DrawDib draws into them through a memory DC, the image control paints
// their bits.
//
// GDI handles are few (10,000 per process) and a scene keeps hundreds of frames, so a bitmap at
// rest holds its one section and nothing else. Drawing goes through one memory DC per thread,
// shared by every canvas of that thread: Handle() selects the bitmap's section into it. A section
// is deselected before it is deleted or shared, because a selected bitmap cannot be deleted and
// drawing into shared pixels would change every sharer.

#include "toolkit/win32/Pixels.h"

#include "toolkit/Exception.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>

namespace {

class ThreadDc;

// 32-bit top-down pixels, shared by the bitmaps that were assigned from one another.
struct Section {
    Section(HBITMAP h, std::uint32_t* b, int w, int hgt)
        : handle(h), bits(b), width(w), height(hgt) {}
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;
    ~Section();

    const HBITMAP handle;
    std::uint32_t* const bits;
    const int width;
    const int height;
    ThreadDc* selectedIn = nullptr; // guarded by gSelection
};

// Guards which section is selected where: a section may go away on another thread than the one
// whose DC holds it.
std::mutex gSelection;

// The drawing DC of one thread, made when the thread first draws, deleted when it ends.
class ThreadDc {
public:
    ThreadDc() : FDc(CreateCompatibleDC(nullptr)) {}
    ThreadDc(const ThreadDc&) = delete;
    ThreadDc& operator=(const ThreadDc&) = delete;
    ~ThreadDc() {
        std::lock_guard lock(gSelection);
        DeselectLocked();
        if (FDc)
            DeleteDC(FDc);
    }

    // The DC with the section selected; nullptr selects nothing of ours (the DC's own 1 x 1
    // bitmap), so that drawing on it touches no bitmap.
    HDC Select(Section* section) {
        std::lock_guard lock(gSelection);
        if (!FDc || section == FSelected)
            return FDc;
        DeselectLocked();
        if (section) {
            if (section->selectedIn)
                section->selectedIn->DeselectLocked();
            const HGDIOBJ previous = SelectObject(FDc, section->handle);
            if (!previous || previous == HGDI_ERROR)
                return FDc;
            FOriginal = previous;
            FSelected = section;
            section->selectedIn = this;
        }
        return FDc;
    }

    HDC Dc() const { return FDc; }

    void DeselectLocked() {
        if (!FSelected)
            return;
        SelectObject(FDc, FOriginal);
        FSelected->selectedIn = nullptr;
        FSelected = nullptr;
    }

private:
    const HDC FDc;
    HGDIOBJ FOriginal = nullptr;
    Section* FSelected = nullptr;
};

ThreadDc& ThisThreadDc() {
    thread_local ThreadDc dc;
    return dc;
}

Section::~Section() {
    {
        std::lock_guard lock(gSelection);
        if (selectedIn)
            selectedIn->DeselectLocked();
    }
    DeleteObject(handle);
}

// Makes sure no DC draws into the section any more (before it is shared).
void Deselect(Section& section) {
    std::lock_guard lock(gSelection);
    if (section.selectedIn)
        section.selectedIn->DeselectLocked();
}

BITMAPINFO SectionInfo(int w, int h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// Uninitialised pixels, or nullptr when the system has none to give.
std::shared_ptr<Section> NewSection(int w, int h) {
    const BITMAPINFO info = SectionInfo(w, h);
    void* bits = nullptr;
    const HBITMAP handle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!handle)
        return nullptr;
    if (!bits) {
        DeleteObject(handle);
        return nullptr;
    }
    try {
        return std::make_shared<Section>(handle, static_cast<std::uint32_t*>(bits), w, h);
    } catch (const std::bad_alloc&) {
        DeleteObject(handle);
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
    BITMAPINFO info = SectionInfo(section->width, section->height);
    const HDC dc = ThisThreadDc().Dc();
    if (!dc || GetDIBits(dc, source, 0, UINT(section->height), section->bits, &info,
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

HBITMAP BitmapHandle(const TBitmap& bitmap) {
    const Section* section = TBitmap::Pixels::Of(bitmap);
    return section ? section->handle : nullptr;
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
        GdiFlush();
        std::memcpy(own->bits, section->bits,
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
    std::fill_n(fresh->bits, width * std::size_t(h), std::uint32_t{0x00FFFFFF});
    if (section) {
        GdiFlush();
        const std::size_t keep = std::size_t(std::min(w, section->width));
        for (int y = 0; y < std::min(h, section->height); ++y)
            std::memcpy(fresh->bits + std::size_t(y) * width,
                        section->bits + std::size_t(y) * std::size_t(section->width), keep * 4);
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
