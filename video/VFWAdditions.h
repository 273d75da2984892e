#pragma once

// What both back ends add to the AVIFile and DrawDib operations, declared once. Each back end's
// VFW.h includes this after its own types (the SDK's on Windows, ours on FFmpeg); nothing else
// includes it.

#include "video/DrawTarget.h"

// Opens a scene for reading by its UTF-8 path (on Linux the file system's bytes as they are; on
// Windows through the wide call, so that every file name opens, not only those of the system's
// code page; a path that is not valid UTF-8 gives AVIERR_FILEOPEN there).
HRESULT AVIFileOpenPath(PAVIFILE* ppfile, const char* path);

// Start plus length, clamped to the range of LONG (a stream may claim 2^31 frames).
LONG AVIStreamEnd(PAVISTREAM pavi);

// DrawDib draws into a drawing target (a toolkit bitmap's canvas handle, or a plain image) where
// the old platform's drew into a device context. Draws 1:1 (no stretching; a negative extent
// means the whole picture), clipped to the target's pixels; false when the DIB cannot be drawn,
// and then nothing is drawn.
BOOL DrawDibBegin(HDRAWDIB hdd, TDrawTarget* hdc, int dxDst, int dyDst,
                  const BITMAPINFOHEADER* lpbi, int dxSrc, int dySrc, UINT wFlags);
UINT DrawDibRealize(HDRAWDIB hdd, TDrawTarget* hdc, bool fBackground);
BOOL DrawDibDraw(HDRAWDIB hdd, TDrawTarget* hdc, int xDst, int yDst, int dxDst, int dyDst,
                 const BITMAPINFOHEADER* lpbi, const void* lpBits, int xSrc, int ySrc, int dxSrc,
                 int dySrc, UINT wFlags);

// The text shown for a result of opening a file: "CLASSNOTREG", ..., "Unknown Error".
const char* AVIResultText(HRESULT hr);

// Once at program start and once at its end.
void VideoStartup();
void VideoShutdown();
