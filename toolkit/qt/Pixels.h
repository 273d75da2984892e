#pragma once

// The Qt back end's access to a bitmap's pixels, for its controls, the tests and the tools.

#include "toolkit/Graphics.h"

#include <QImage>

// The pixels in Format_RGB32 (a null image when the bitmap is empty). The reference is valid
// until the bitmap changes.
const QImage& BitmapImage(const TBitmap& bitmap);
// Shares the image's pixels (converted to Format_RGB32 first if needed) and takes its size.
void SetBitmapImage(TBitmap& bitmap, const QImage& image);
