#pragma once

// The load of the real program, seen from outside: the executable is started under Xvfb and
// timed until its main window is mapped. Against it, the floor no loader that keeps every frame
// can beat: the larger of FFmpeg's command-line decode and the first write of the frame bytes.

#include <string>

// Inside an X server: alternating runs of the player started with the scene and started empty,
// of FFmpeg's decode and of the touch probe, each a fresh process. Prints one line of medians
// in seconds: "scene= empty= ffmpeg= touch=".
int RealLoadProbe(const std::string& player, const std::string& scene, int width, int height,
                  int frames, int runs, const std::string& log);

// Maps `frames` buffers of width x height x 4 bytes, each populated by one call and then written
// once, and prints "touch=" (seconds for all of it).
int TouchProbe(int width, int height, int frames);
