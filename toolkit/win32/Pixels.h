#pragma once

// The Win32 back end's access to a bitmap's pixels, for painting them.

#include "toolkit/Graphics.h"

#include <windows.h>

// The bitmap's pixels: a 32-bit top-down DIB section (BI_RGB, 0x00RRGGBB), nullptr when the
// bitmap is empty. Other bitmaps may share it, so it is for reading only (GetObject gives its
// bits; call GdiFlush first); it may be selected into the thread's drawing DC, so do not select
// it into another. Valid until the bitmap changes.
HBITMAP BitmapHandle(const TBitmap& bitmap);
