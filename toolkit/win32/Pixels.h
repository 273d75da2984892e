#pragma once

// The Win32 back end's access to a bitmap's pixels, for painting them.

#include "toolkit/Graphics.h"

#include <cstdint>

// The bitmap's pixels, for reading: Width() x Height() rows of 0x00RRGGBB, top-down, without
// gaps; nullptr when the bitmap is empty. Other bitmaps may share them. Valid until the bitmap
// changes.
const std::uint32_t* BitmapBits(const TBitmap& bitmap);
