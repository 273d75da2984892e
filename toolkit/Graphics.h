#pragma once

#include "toolkit/Types.h"
#include "video/VFW.h"

#include <QImage>
#include <cstdint>
#include <functional>
#include <memory>

class TBitmap;

// The drawing surface of a bitmap. Its handle serves DrawDib, and as the QImage itself QPainter
// and raw pixel access.
class TCanvas final : public TDrawTarget {
public:
    explicit TCanvas(TBitmap& bitmap) : FBitmap(bitmap) {}
    HDC Handle() { return HDC(static_cast<TDrawTarget*>(this)); }

    int TargetWidth() const override;
    int TargetHeight() const override;
    QImage* TargetPixels() override;
    void TargetAdopt(const QImage& picture) override;

private:
    TBitmap& FBitmap;
};

// Pixels in Format_RGB32, the display's format. Width and height are kept even while one of them
// is 0 (no pixels yet), so a bitmap can be sized one side at a time.
class TBitmap {
public:
    TBitmap() = default;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FImage.isNull(); }

    void SetWidth(int w) { SetSize(w, FHeight); }
    void SetHeight(int h) { SetSize(FWidth, h); }
    // Allocates only when both sides are > 0 and the pixels fit in memory; otherwise throws
    // Exception("Zu wenig Arbeitsspeicher") and keeps the old pixels. Old content stays at the
    // top-left, new area is white. A bitmap sized from nothing writes its white only when its
    // pixels are first needed, as DrawDib may give it a finished picture instead.
    void SetSize(int w, int h);

    TCanvas* Canvas() { return &FCanvas; }

    const QImage& Image() const;
    // Shares the pixels (converted to Format_RGB32 first if needed).
    void SetImage(const QImage& image);
    // Shares the source's pixels and size; a later change on either side detaches.
    void Assign(const TBitmap* source);
    // Replaces the pixels with the named bitmap resource (:/bitmaps/, case-insensitive name, raw
    // DIB); throws Exception and keeps the old image when the name is missing or unreadable.
    void LoadFromResourceName(const String& name);

    // Drawing through Canvas() bypasses the bitmap; the drawer calls this to notify listeners.
    void Changed();

    std::function<void()> OnChange;

private:
    friend class TCanvas;
    QImage* Pixels() const;

    int FWidth = 0;
    int FHeight = 0;
    // Mutable: the white of a new bitmap is written when it is first looked at.
    mutable QImage FImage;
    mutable bool FWhitePending = false;
    TCanvas FCanvas{*this};
};

// Whether `bytes` more can be allocated without reaching the address-space limit or eating into
// the reserve of available physical memory. Bitmaps ask it through PixelMemory(), which batches it.
bool MemoryFits(std::uint64_t bytes);

// A container owning one bitmap. Assigning gives it a new bitmap of its own that shares the
// source's pixels. Moving hands over the bitmap but not OnChange, which belongs to the owner.
class TPicture {
public:
    TPicture();
    TPicture(TPicture&& other);
    TPicture& operator=(TPicture&& other);
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;
    ~TPicture();

    TBitmap* Bitmap() { return FBitmap.get(); }
    const QImage& Image() const { return FBitmap->Image(); }
    bool Empty() const { return FBitmap->Empty(); }
    int Width() const { return FBitmap->Width(); }
    int Height() const { return FBitmap->Height(); }

    // nullptr empties the picture.
    void Assign(const TPicture* source);
    void Assign(const TBitmap* source);
    // Any image file Qt reads, resource paths included; throws Exception and keeps the old image
    // when the file cannot be read.
    void LoadFromFile(const String& path);
    // A picture stored with the window definition, by its name ("ImgBtn12_Picture"); throws
    // Exception and keeps the old image when there is none.
    void LoadFromDefinition(const String& name);

    std::function<void()> OnChange;

private:
    void Adopt(std::unique_ptr<TBitmap> bitmap);
    void Hook();
    void Changed();

    std::unique_ptr<TBitmap> FBitmap;
};
