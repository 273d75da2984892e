// DrawDib into a drawing target on Windows. The system's DrawDib draws on a device context, so for
// each draw the target's pixels are lent to a DIB section of this thread's memory DC and come
// back afterwards: a frame costs two copies of its pixels, a small part of decoding it. The
// section stays for the next draw of its size; the targets themselves hold no GDI object.

#include "VFW.h"

#include "base/Dib.h"

#include <cstring>

namespace {

// The drawing DC of one thread and its section, made when the thread first draws, deleted when
// it ends.
class ThreadDc {
public:
    ThreadDc() : FDc(CreateCompatibleDC(nullptr)) {}
    ThreadDc(const ThreadDc&) = delete;
    ThreadDc& operator=(const ThreadDc&) = delete;
    ~ThreadDc() {
        DropSection();
        if (FDc)
            DeleteDC(FDc);
    }

    HDC Dc() const { return FDc; }

    // The pixels of a 32-bit top-down section of this size, selected into the DC; nullptr when
    // it cannot be had.
    std::uint8_t* Section(int width, int height) {
        if (!FDc)
            return nullptr;
        if (FSection && FWidth == width && FHeight == height)
            return FBits;
        DropSection();
        BITMAPINFO info{};
        const DibHeader header = UncompressedDibHeader(width, -height, 32);
        std::memcpy(&info.bmiHeader, &header, sizeof header);
        void* bits = nullptr;
        const HBITMAP section = CreateDIBSection(FDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!section)
            return nullptr;
        const HGDIOBJ previous = SelectObject(FDc, section);
        if (!previous || previous == HGDI_ERROR || !bits) {
            DeleteObject(section);
            return nullptr;
        }
        FOriginal = previous;
        FSection = section;
        FBits = static_cast<std::uint8_t*>(bits);
        FWidth = width;
        FHeight = height;
        return FBits;
    }

private:
    void DropSection() {
        if (!FSection)
            return;
        SelectObject(FDc, FOriginal);
        DeleteObject(FSection);
        FSection = nullptr;
        FBits = nullptr;
    }

    const HDC FDc;
    HGDIOBJ FOriginal = nullptr;
    HBITMAP FSection = nullptr;
    std::uint8_t* FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
};

ThreadDc& ThisThreadDc() {
    thread_local ThreadDc dc;
    return dc;
}

void CopyRows(const std::uint8_t* from, std::int64_t fromStride, std::uint8_t* to,
              std::int64_t toStride, int rows, std::size_t rowBytes) {
    for (int y = 0; y < rows; ++y)
        std::memcpy(to + y * toStride, from + y * fromStride, rowBytes);
}

} // namespace

BOOL DrawDibBegin(HDRAWDIB hdd, TDrawTarget*, int dxDst, int dyDst, const BITMAPINFOHEADER* lpbi,
                  int dxSrc, int dySrc, UINT wFlags) {
    return DrawDibBegin(hdd, ThisThreadDc().Dc(), dxDst, dyDst, lpbi, dxSrc, dySrc, wFlags);
}

UINT DrawDibRealize(HDRAWDIB hdd, TDrawTarget*, bool fBackground) {
    return DrawDibRealize(hdd, ThisThreadDc().Dc(), fBackground);
}

BOOL DrawDibDraw(HDRAWDIB hdd, TDrawTarget* hdc, int xDst, int yDst, int dxDst, int dyDst,
                 const BITMAPINFOHEADER* lpbi, const void* lpBits, int xSrc, int ySrc, int dxSrc,
                 int dySrc, UINT wFlags) {
    if (!hdc)
        return FALSE;
    const TDrawPixels pixels = hdc->TargetPixels();
    if (!pixels.bits)
        return FALSE;
    const int width = hdc->TargetWidth();
    const int height = hdc->TargetHeight();
    ThreadDc& dc = ThisThreadDc();
    std::uint8_t* lent = dc.Section(width, height);
    if (!lent)
        return FALSE;
    const std::int64_t stride = std::int64_t{width} * 4;
    CopyRows(pixels.bits, pixels.stride, lent, stride, height, std::size_t(stride));
    const BOOL drawn = DrawDibDraw(hdd, dc.Dc(), xDst, yDst, dxDst, dyDst, lpbi, lpBits, xSrc, ySrc,
                                   dxSrc, dySrc, wFlags);
    GdiFlush();
    CopyRows(lent, stride, pixels.bits, pixels.stride, height, std::size_t(stride));
    return drawn;
}
