#pragma once

#include "video/VFW.h"

#include <QImage>

#include <string>
#include <vector>

std::string Fixture(const std::string& name);

// What the loader gets out of a scene, calling the operations in its order.
struct Scene {
    HRESULT open = E_FAIL;
    HRESULT stream = E_FAIL;
    bool decompressor = false;
    LONG start = -1;
    LONG length = -1;
    LONG end = -1;
    AVISTREAMINFOA info{};
    std::vector<QImage> frames; // each drawn 1:1 by DrawDibDraw
    std::vector<int> bitCounts; // of the DIBs handed out
    bool allDrawn = true;
};

Scene LoadScene(const std::string& path);

// Draws a packed DIB into a new RGB32 image of its size (magenta where nothing was drawn).
QImage DrawDib(const BITMAPINFOHEADER* dib, bool* drawn = nullptr);
