// libFuzzer target: one input is one scene file, taken through the loader's calls in the
// loader's order, every frame drawn 1:1 into an image of its own.

#include "video/SceneReader.h"
#include "video/VFW.h"

#include <cstdint>
#include <cstdlib>
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

    SceneReadOptions options;
    options.againFromStart = true;
    const SceneRead read = ReadScene(
        gPath.c_str(),
        [](LONG n, const BITMAPINFOHEADER&, const TDrawImage& picture, bool drawn) {
            // The reader handed out a DIB that cannot be drawn.
            if (!picture.Null() && !drawn)
                std::abort();
            return n + 1 < kMaxFrames;
        },
        options);
    if (read.open != AVIERR_OK && !AVIResultText(read.open))
        std::abort();
    if (read.stream == AVIERR_OK && (read.start < 0 || read.end < read.start))
        std::abort();
    return 0;
}
