#include "SceneReader.h"

#include "VFWHandles.h"

#include <cstdlib>

TDrawImage DrawSceneFrame(HDRAWDIB dd, const BITMAPINFOHEADER& dib, bool* drawn) {
    if (drawn)
        *drawn = false;
    const std::int64_t bitsOffset = DibBitsOffset(dib);
    if (bitsOffset < 0)
        return {};
    const int width = dib.biWidth;
    const int height = std::abs(dib.biHeight);
    TDrawImage image(width, height, 0xffff00ff);
    if (image.Null())
        return image;
    const void* bits = reinterpret_cast<const char*>(&dib) + bitsOffset;
    DrawDibBegin(dd, &image, 0, 0, &dib, width, height, DDF_ANIMATE);
    DrawDibRealize(dd, &image, false);
    const bool ok =
        DrawDibDraw(dd, &image, 0, 0, width, height, &dib, bits, 0, 0, width, height, 0);
    DrawDibEnd(dd);
    if (drawn)
        *drawn = ok;
    return image;
}

SceneRead ReadScene(const char* path, const SceneFrameVisitor& visit,
                    const SceneReadOptions& options) {
    SceneRead r;
    PAVIFILE rawFile = nullptr;
    r.open = AVIFileOpenPath(&rawFile, path);
    AviFilePtr file(rawFile);
    if (r.open != AVIERR_OK)
        return r;
    PAVISTREAM rawStream = nullptr;
    r.stream = AVIFileGetStream(file.get(), &rawStream, streamtypeVIDEO, 0);
    AviStreamPtr stream(rawStream);
    if (!stream)
        return r;
    r.start = AVIStreamStart(stream.get());
    r.length = AVIStreamLength(stream.get());
    r.end = AVIStreamEnd(stream.get());

    GetFramePtr frames(AVIStreamGetFrameOpen(stream.get(), nullptr));
    r.decompressor = frames != nullptr;
    if (!frames)
        return r;
    DrawDibPtr dd(DrawDibOpen());
    AVIStreamInfoA(stream.get(), &r.info, sizeof r.info);
    // Only a hint, so a zero rate or scale needs no care here.
    DrawDibStart(dd.get(), r.info.dwRate ? DWORD(1000ull * r.info.dwScale / r.info.dwRate) : 0);
    r.begin = AVIStreamBeginStreaming(stream.get(), r.start, r.end, 1000);
    if (r.begin != AVIERR_OK)
        return r;

    const auto visitFrame = [&](LONG n) {
        const auto* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames.get(), n));
        if (!dib)
            return false;
        bool drawn = false;
        const TDrawImage picture = DrawSceneFrame(dd.get(), *dib, &drawn);
        return visit(n, *dib, picture, drawn);
    };
    LONG n = 0;
    while (visitFrame(n))
        ++n;
    if (options.againFromStart && n > 0)
        visitFrame(0);

    AVIStreamEndStreaming(stream.get());
    DrawDibStop(dd.get());
    return r;
}
