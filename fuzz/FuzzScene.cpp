// libFuzzer target: one input is one scene file, taken through the loader's calls in the
// loader's order, every frame drawn 1:1 into an image of its own.

#include "video/VFW.h"
#include "video/VFWHandles.h"

#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The player decodes every frame; here a bound keeps each input quick.
constexpr LONG kMaxFrames = 400;

int gFile = -1;
std::string gPath;

// The input as a file with a path, as the loader gets it; in memory, so nothing touches disk.
bool WriteInput(const std::uint8_t* data, std::size_t size) {
    if (ftruncate(gFile, 0) != 0)
        return false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = pwrite(gFile, data + done, size - done, off_t(done));
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

void Draw(HDRAWDIB dd, const BITMAPINFOHEADER* header) {
    const std::int64_t offset = DibBitsOffset(*header);
    if (offset < 0)
        return;
    const int width = header->biWidth;
    const int height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return;
    const void* bits = reinterpret_cast<const char*>(header) + offset;
    DrawDibBegin(dd, &image, 0, 0, header, width, height, DDF_ANIMATE);
    DrawDibRealize(dd, &image, false);
    if (!DrawDibDraw(dd, &image, 0, 0, width, height, header, bits, 0, 0, width, height, 0))
        std::abort(); // the reader handed out a DIB that cannot be drawn
    DrawDibEnd(dd);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    VideoStartup();
    gFile = memfd_create("scene.avi", 0);
    if (gFile < 0)
        std::abort();
    gPath = "/proc/self/fd/" + std::to_string(gFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!WriteInput(data, size))
        std::abort();

    PAVIFILE rawFile = nullptr;
    const HRESULT opened = AVIFileOpenA(&rawFile, gPath.c_str(), OF_READ, nullptr);
    AviFilePtr file(rawFile);
    if (opened != AVIERR_OK) {
        if (rawFile || !AVIResultText(opened))
            std::abort();
        return 0;
    }
    PAVISTREAM rawStream = nullptr;
    AVIFileGetStream(file.get(), &rawStream, streamtypeVIDEO, 0);
    AviStreamPtr stream(rawStream);
    if (!stream)
        return 0;
    const LONG start = AVIStreamStart(stream.get());
    const LONG end = AVIStreamEnd(stream.get());
    if (start < 0 || end < start)
        std::abort();

    GetFramePtr frames(AVIStreamGetFrameOpen(stream.get(), nullptr));
    if (!frames)
        return 0;
    DrawDibPtr dd(DrawDibOpen());
    AVISTREAMINFOA info{};
    AVIStreamInfoA(stream.get(), &info, sizeof info);
    DrawDibStart(dd.get(), info.dwScale);
    AVIStreamBeginStreaming(stream.get(), start, end, 1000);

    LONG n = 0;
    for (; n < kMaxFrames; ++n) {
        const auto* header =
            static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames.get(), n));
        if (!header)
            break;
        Draw(dd.get(), header);
    }
    // Going back restarts the decode from the beginning.
    if (n > 1) {
        if (const auto* header =
                static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames.get(), 0)))
            Draw(dd.get(), header);
    }

    AVIStreamEndStreaming(stream.get());
    DrawDibStop(dd.get());
    return 0;
}
