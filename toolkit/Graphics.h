#pragma once

#include "toolkit/Types.h"
#include "video/DrawTarget.h"

#include <cstdint>
#include <functional>
#include <memory>

class TBitmap;

// The drawing surface of a bitmap.
class TCanvas final {
public:
    explicit TCanvas(TBitmap& bitmap) : FBitmap(bitmap) {}
    // Where DrawDib draws into the bitmap: the bitmap itself as a drawing target, as long as it
    // lives. Pixels it shares with another (Assign) become its own before they are drawn into.
    TDrawTarget* Handle();

private:
    TBitmap& FBitmap;
};

// Width and height are kept even while one of them is 0 (no pixels yet), so a bitmap can be sized
// one side at a time. Pixels are 0x00RRGGBB, as the display takes them.
class TBitmap {
public:
    // The pixels and what the platform keeps with them: each back end defines it.
    struct Pixels;

    TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    ~TBitmap();

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Pixels exist exactly when both sides are > 0.
    bool Empty() const { return FWidth == 0 || FHeight == 0; }

    void SetWidth(int w) { SetSize(w, FHeight); }
    void SetHeight(int h) { SetSize(FWidth, h); }
    // Allocates only when both sides are > 0 and the pixels fit in memory; otherwise throws
    // Exception("Zu wenig Arbeitsspeicher") and keeps the old pixels ("Systemressourcen
    // erschöpft." when the system refuses them anyway). Old content stays at the top-left, new
    // area is white.
    void SetSize(int w, int h);

    TCanvas* Canvas() { return &FCanvas; }

    // Shares the source's pixels and size; a later change on either side detaches.
    void Assign(const TBitmap* source);
    // Replaces the pixels with the program's bitmap resource of that name (case-insensitive);
    // throws Exception and keeps the old pixels when the name is missing or unreadable.
    void LoadFromResourceName(const String& name);

    // Drawing through Canvas() bypasses the bitmap; the drawer calls this to notify listeners.
    void Changed();

    std::function<void()> OnChange;

private:
    friend class TCanvas;
    // New pixels of a size that passed the memory check (none when a side is 0).
    void Reallocate(int w, int h);

    int FWidth = 0;
    int FHeight = 0;
    const std::unique_ptr<Pixels> FPixels;
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
    const TBitmap* Bitmap() const { return FBitmap.get(); }
    bool Empty() const { return FBitmap->Empty(); }
    int Width() const { return FBitmap->Width(); }
    int Height() const { return FBitmap->Height(); }

    // nullptr empties the picture.
    void Assign(const TPicture* source);
    void Assign(const TBitmap* source);
    // An image file the platform reads (on Linux resource paths too); throws Exception and keeps
    // the old image when the file cannot be read.
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
