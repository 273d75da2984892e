// Bitmaps in plain memory: DrawDib draws into their pixels (the video layer lends them to a DIB
// section while it draws), the image control paints them.
//
// GDI handles are few (10,000 per process), and a scene keeps a frame per bitmap: a file of
// 10,000 frames, however small, would exhaust them, and with them the program's painting. So a
// bitmap holds no GDI object at all, only its pixels in memory.

#include "toolkit/win32/Pixels.h"

#include "toolkit/Exception.h"
#include "toolkit/win32/Text.h"
#include "toolkit/win32/native/ImageView.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>

namespace {

// 32-bit top-down pixels without gaps, shared by the bitmaps that were assigned from one another.
struct Section {
    // Owned, or a decoded picture's that was handed over.
    const std::shared_ptr<std::uint32_t> bits;
    const int width;
    const int height;
};

// Uninitialised pixels, or nullptr when there is no memory for them.
std::shared_ptr<Section> NewSection(int w, int h) {
    const std::uint64_t count = std::uint64_t(w) * std::uint64_t(h);
    if (w <= 0 || h <= 0 || count > std::numeric_limits<std::size_t>::max() / 4)
        return nullptr;
    auto* raw = new (std::nothrow) std::uint32_t[std::size_t(count)];
    if (!raw)
        return nullptr;
    try {
        // Freed by the last sharer (or at once when the sharing cannot be set up).
        std::shared_ptr<std::uint32_t> bits(raw, std::default_delete<std::uint32_t[]>());
        return std::make_shared<Section>(Section{std::move(bits), w, h});
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
    const HDC dc = CreateCompatibleDC(nullptr);
    const bool read = dc && GetDIBits(dc, source, 0, UINT(section->height), section->bits.get(),
                                      &info, DIB_RGB_COLORS) == section->height;
    if (dc)
        DeleteDC(dc);
    return read ? section : nullptr;
}

// The named bitmap resource of the program, converted; nullptr when there is none or it cannot
// be read. A name that does not survive the conversion, or one in the "#123" form of a number,
// names none of ours.
HBITMAP LoadBitmapResource(const String& name, bool* found) {
    const auto wide = win32::WidenName(name);
    *found = false;
    if (!wide || wide->empty() || (*wide)[0] == L'#')
        return nullptr;
    const HMODULE module = GetModuleHandleW(nullptr);
    // The system compares resource names without regard to case.
    if (!FindResourceW(module, wide->c_str(), MAKEINTRESOURCEW(2))) // RT_BITMAP
        return nullptr;
    *found = true;
    return static_cast<HBITMAP>(
        LoadImageW(module, wide->c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

std::shared_ptr<Section> Converted(HBITMAP loaded) {
    if (!loaded)
        return nullptr;
    auto section = ToSection(loaded);
    DeleteObject(loaded);
    return section;
}

} // namespace

// DrawDib reaches the pixels through the canvas's handle, which is this object as a drawing
// target.
struct TBitmap::Pixels final : TDrawTarget {
    explicit Pixels(TBitmap& owner) : FOwner(owner) {}

    int TargetWidth() const override { return FOwner.FWidth; }
    int TargetHeight() const override { return FOwner.FHeight; }
    TDrawPixels TargetPixels() override;
    bool TargetAdopt(const TDrawPicture& picture) override;

    TBitmap& FOwner;
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

TDrawPixels TBitmap::Pixels::TargetPixels() {
    if (!FSection)
        return {};
    if (FSection.use_count() > 1) {
        // Drawing follows: the pixels become this bitmap's own first.
        auto own = NewSection(FSection->width, FSection->height);
        if (!own)
            return {};
        std::memcpy(own->bits.get(), FSection->bits.get(),
                    std::size_t(FSection->width) * std::size_t(FSection->height) * 4);
        FSection = std::move(own);
    }
    return {reinterpret_cast<std::uint8_t*>(FSection->bits.get()),
            std::int64_t{FSection->width} * 4};
}

// Like a drawing, it does not notify: the drawer does.
bool TBitmap::Pixels::TargetAdopt(const TDrawPicture& picture) {
    if (picture.width != FOwner.FWidth || picture.height != FOwner.FHeight ||
        picture.stride != std::int64_t{picture.width} * 4)
        return false;
    try {
        FSection = std::make_shared<Section>(
            Section{std::shared_ptr<std::uint32_t>(picture.owner,
                                                   reinterpret_cast<std::uint32_t*>(picture.bits)),
                    picture.width, picture.height});
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

const std::uint32_t* BitmapBits(const TBitmap& bitmap) {
    const Section* section = TBitmap::Pixels::Of(bitmap);
    return section ? section->bits.get() : nullptr;
}

TBitmap::TBitmap() : FPixels(std::make_unique<Pixels>(*this)) {}

TBitmap::~TBitmap() = default;

TDrawTarget* TCanvas::Handle() {
    return FBitmap.FPixels.get();
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
    FPixels->FSection = source ? source->FPixels->FSection : nullptr;
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
    const auto wide = win32::WidenName(path);
    auto section =
        !wide || wide->empty()
            ? nullptr
            : Converted(static_cast<HBITMAP>(LoadImageW(nullptr, wide->c_str(), IMAGE_BITMAP, 0, 0,
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
