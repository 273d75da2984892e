#include "VideoSupport.h"
#include "VideoEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>

std::string Fixture(const std::string& name) {
    // Inputs the fuzzer found are checked in; the generated scenes are built.
    if (name.rfind("data/", 0) == 0)
        return std::string(RS_TEST_DATA) + "/" + name.substr(5);
    return std::string(RS_FIXTURES) + "/" + name;
}

QImage DrawDib(const BITMAPINFOHEADER* dib, bool* drawn) {
    QImage image(dib->biWidth, std::abs(dib->biHeight), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    HDRAWDIB dd = DrawDibOpen();
    const auto* bits = reinterpret_cast<const char*>(dib) + DibBitsOffset(*dib);
    const bool ok = DrawDibDraw(dd, &image, 0, 0, dib->biWidth, dib->biHeight, dib, bits, 0, 0,
                                dib->biWidth, dib->biHeight, 0);
    DrawDibClose(dd);
    if (drawn)
        *drawn = ok;
    return image;
}

Scene LoadScene(const std::string& path) {
    Scene s;
    PAVIFILE file = nullptr;
    s.open = AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr);
    if (s.open != AVIERR_OK)
        return s;
    PAVISTREAM stream = nullptr;
    s.stream = AVIFileGetStream(file, &stream, streamtypeVIDEO, 0);
    if (s.stream == AVIERR_OK) {
        s.start = AVIStreamStart(stream);
        s.length = AVIStreamLength(stream);
        s.end = AVIStreamEnd(stream);
        PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr);
        s.decompressor = frames != nullptr;
        if (frames) {
            AVIStreamInfoA(stream, &s.info, sizeof s.info);
            AVIStreamBeginStreaming(stream, s.start, s.end, 1000);
            for (LONG n = 0;; ++n) {
                const auto* dib =
                    static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, n));
                if (!dib)
                    break;
                bool drawn = false;
                s.frames.push_back(DrawDib(dib, &drawn));
                s.bitCounts.push_back(dib->biBitCount);
                s.allDrawn = s.allDrawn && drawn;
            }
            AVIStreamEndStreaming(stream);
            AVIStreamGetFrameClose(frames);
        }
        AVIStreamRelease(stream);
    }
    AVIFileRelease(file);
    return s;
}
