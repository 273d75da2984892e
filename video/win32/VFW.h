#pragma once

// The AVIFile and DrawDib operations the scene loader calls, on Windows: the system's own
// avifil32 and msvfw32 with the SDK's names and records, so scenes decode with the codecs
// installed on the machine. Beyond the SDK: the few helpers the FFmpeg layer offers as well.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <vfw.h>

#include <cstdint>

// The SDK's A/W switch would rename the application object's MessageBox wherever this header
// is seen; our own code calls MessageBoxW by its full name.
#undef MessageBox

// The SDK's AVIStreamEnd is a macro that overflows for a stream that claims 2^31 frames.
#undef AVIStreamEnd

// The SDK takes the frame header as a non-const pointer but never writes through it; these let
// the loader pass the decompressor's frame as it gets it.
inline WINBOOL DrawDibBegin(HDRAWDIB hdd, HDC hdc, int dxDst, int dyDst,
                            const BITMAPINFOHEADER* lpbi, int dxSrc, int dySrc, UINT wFlags) {
    return DrawDibBegin(hdd, hdc, dxDst, dyDst, const_cast<BITMAPINFOHEADER*>(lpbi), dxSrc, dySrc,
                        wFlags);
}
inline WINBOOL DrawDibDraw(HDRAWDIB hdd, HDC hdc, int xDst, int yDst, int dxDst, int dyDst,
                           const BITMAPINFOHEADER* lpbi, const void* lpBits, int xSrc, int ySrc,
                           int dxSrc, int dySrc, UINT wFlags) {
    return DrawDibDraw(hdd, hdc, xDst, yDst, dxDst, dyDst, const_cast<BITMAPINFOHEADER*>(lpbi),
                       const_cast<void*>(lpBits), xSrc, ySrc, dxSrc, dySrc, wFlags);
}

// The loader's DrawDibRealize (its background flag is a bool). Realizing a palette does something
// only on a palette device; elsewhere the system's call is skipped, because Wine's makes a new
// halftone palette on every call and never frees it: one GDI object lost per frame.
UINT DrawDibRealize(HDRAWDIB hdd, HDC hdc, bool fBackground);

// Offset of the pixels from the start of the header (after colour table or masks); -1 when the
// DIB cannot be drawn.
std::int64_t DibBitsOffset(const BITMAPINFOHEADER& bi);

// The calls onto a drawing target are the system's, on a memory DC of this thread that holds the
// target's pixels while DrawDibDraw draws (win32/DrawDib.cpp). VideoStartup is AVIFileInit,
// VideoShutdown AVIFileExit.
#include "video/VFWAdditions.h"
