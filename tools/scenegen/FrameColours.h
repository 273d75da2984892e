#pragma once

// The colour that tells a fixture frame's index: shared by the generator and the tests, so it
// stays free of Qt and FFmpeg.
//
// Colours come from a 7 x 7 x 7 grid (steps of about 42 per channel) without black, visited
// with a stride coprime to its size, so neighbouring frames differ in every channel and lossy
// codecs (errors of a few units) never turn one colour into another. Indices repeat after
// kFrameColourCount frames.

#include <cstdint>

struct FrameRgb {
    int r = 0, g = 0, b = 0;
};

constexpr int kFrameColourCount = 342;

constexpr FrameRgb FrameColour(int i) {
    constexpr int levels[7] = {0, 42, 85, 127, 170, 212, 255};
    const int slot = ((i % kFrameColourCount) + kFrameColourCount) % kFrameColourCount;
    const int cell = slot * 137 % kFrameColourCount + 1; // 1..342: never black
    return {levels[cell / 49], levels[cell / 7 % 7], levels[cell % 7]};
}

// The index in [0, count) whose colour is nearest to (r, g, b).
constexpr int FrameIndexOf(int r, int g, int b, int count) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < count && i < kFrameColourCount; ++i) {
        const FrameRgb c = FrameColour(i);
        const long d =
            long(c.r - r) * (c.r - r) + long(c.g - g) * (c.g - g) + long(c.b - b) * (c.b - b);
        if (bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}
