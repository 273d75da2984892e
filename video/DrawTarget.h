#pragma once

// Where DrawDib draws, in plain terms, the same for every back end: 32-bit pixels in memory. A
// toolkit bitmap is one (its canvas's handle), so the toolkit and the video layer share no type
// of a platform's.

#include <cstdint>
#include <memory>
#include <vector>

// Pixels to draw into: rows top-down, `stride` bytes apart, each pixel blue, green, red and a
// fourth byte that is not alpha (DrawDib writes 0xff there, the system's may not).
struct TDrawPixels {
    std::uint8_t* bits = nullptr;
    std::int64_t stride = 0;
};

// A decoded picture handed over instead of copied: pixels as above with 0xff as every fourth byte,
// which nobody else writes any more, kept alive by `owner` for as long as the target holds it.
struct TDrawPicture {
    std::uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    std::int64_t stride = 0;
    std::shared_ptr<void> owner;
};

// A bitmap as DrawDib sees it. It may have its size before its pixels: they are made (white)
// when first asked for, unless DrawDib hands it a finished picture of that size instead, which
// saves writing every pixel twice.
class TDrawTarget {
public:
    virtual int TargetWidth() const = 0;
    virtual int TargetHeight() const = 0;
    // The pixels, the target's own (pixels it shares are copied first, so that a drawing reaches
    // no other bitmap); bits nullptr when they cannot be had.
    virtual TDrawPixels TargetPixels() = 0;
    // Takes a picture of exactly the target's size as its pixels; false when it will not, and
    // DrawDib draws a copy.
    virtual bool TargetAdopt(const TDrawPicture& picture) = 0;

protected:
    ~TDrawTarget() = default;
};

// A plain image of its own, always drawn into: the loader's sequence outside the program (the
// scene reader, the tests, the fuzzers) draws each frame into one.
class TDrawImage final : public TDrawTarget {
public:
    TDrawImage() = default;
    // Every pixel `fill` (0xffRRGGBB); a null image when the memory is not there.
    TDrawImage(int width, int height, std::uint32_t fill);

    bool Null() const { return FPixels.empty(); }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Row y: Width() pixels 0x..RRGGBB, the top byte as drawn.
    const std::uint32_t* Row(int y) const { return FPixels.data() + std::size_t(y) * FWidth; }
    std::uint32_t Pixel(int x, int y) const { return Row(y)[x]; }

    int TargetWidth() const override { return FWidth; }
    int TargetHeight() const override { return FHeight; }
    TDrawPixels TargetPixels() override;
    bool TargetAdopt(const TDrawPicture&) override { return false; }

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<std::uint32_t> FPixels;
};
