#pragma once

// The scenes the window's tests open, named by what they hold. Each platform names files that its
// video layer decodes: FFmpeg's codecs on Linux, the system's own codecs on Windows.
struct TScenes {
    const char* Ten;   // 10 frames of 64 x 48, each its own colour, uncompressed
    const char* One;   // 1 frame
    const char* Two;   // 2 frames
    const char* None;  // a video stream without frames
    const char* Large; // 3 frames of 600 x 520, larger than the picture area
    const char* Long;  // 300 frames of 64 x 48: a decode long enough to yield many times
    // Streams whose rate, scale or both are 0.
    const char* RateZero;
    const char* ScaleZero;
    const char* BothZero;
    // The code the video layer gives text.avi, a text file named like a scene, when it cannot
    // open it: the box shows it as it stands.
    const char* NotASceneCode;
};

extern const TScenes kScenes;
