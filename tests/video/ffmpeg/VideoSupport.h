#pragma once

#include "Fixtures.h"
#include "video/SceneReader.h"
#include "video/VFW.h"
#include "video/VFWHandles.h"

#include <QImage>

#include <string>
#include <vector>

// What the loader gets out of a scene, calling the operations in its order.
struct Scene : SceneRead {
    std::vector<QImage> frames; // each drawn 1:1 by DrawDibDraw
    std::vector<int> bitCounts; // of the DIBs handed out
    bool allDrawn = true;
};

Scene LoadScene(const std::string& path);

// Draws a packed DIB into a new RGB32 image of its size (magenta where nothing was drawn).
QImage DrawDib(const BITMAPINFOHEADER* dib, bool* drawn = nullptr);
// A copy of 32-bit pixels as an RGB32 image, the fourth byte as it is.
QImage ToImage(const std::uint8_t* bits, int width, int height, std::int64_t stride);
QImage ToImage(const TDrawImage& image);

// The raw calls with their handles in the program's owners, so a failed assertion leaks nothing.
struct OpenedFile {
    HRESULT result = E_FAIL;
    AviFilePtr file;
};
OpenedFile OpenFile(const std::string& path);
struct OpenedStream {
    HRESULT result = E_FAIL;
    AviStreamPtr stream;
};
OpenedStream GetStream(PAVIFILE file, DWORD type = streamtypeVIDEO, LONG index = 0);
// A scene's file and its first video stream; the stream is null when either cannot be had.
struct OpenedVideo {
    AviFilePtr file;
    AviStreamPtr stream;
};
OpenedVideo OpenVideo(const std::string& path);
