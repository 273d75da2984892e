#pragma once

// The loader's sequence over one scene file, written once for the tests and the fuzzer, on either
// back end: open the file, take its first video stream, open the decompressor, begin streaming,
// draw each frame 1:1 into an image of its own, release. The program's loader makes the same
// calls with its own messages.

#include "video/DrawTarget.h"
#include "video/VFW.h"

#include <functional>

// How far a scene got, and what the calls on the way returned.
struct SceneRead {
    HRESULT open = E_FAIL;     // of AVIFileOpenPath
    HRESULT stream = E_FAIL;   // of AVIFileGetStream, once the file is open
    bool decompressor = false; // AVIStreamGetFrameOpen gave one
    LONG start = -1;
    LONG length = -1;
    LONG end = -1;
    AVISTREAMINFOA info{};  // read once there is a decompressor
    HRESULT begin = E_FAIL; // of AVIStreamBeginStreaming; frames are read only after AVIERR_OK
};

// Frame n as handed out and drawn: `picture` is null when the DIB's layout cannot be trusted or
// its pixels cannot be had, `drawn` whether DrawDibDraw drew it. Returns whether to go on.
using SceneFrameVisitor =
    std::function<bool(LONG n, const BITMAPINFOHEADER& dib, const TDrawImage& picture, bool drawn)>;

struct SceneReadOptions {
    // After the last frame, ask for frame 0 once more: going back restarts the decode.
    bool againFromStart = false;
};

SceneRead ReadScene(const char* path, const SceneFrameVisitor& visit,
                    const SceneReadOptions& options = {});

// Draws a packed DIB 1:1 into a new image of its size, the loader's calls around it (magenta
// where nothing was drawn; a null image when its layout cannot be trusted).
TDrawImage DrawSceneFrame(HDRAWDIB dd, const BITMAPINFOHEADER& dib, bool* drawn = nullptr);
