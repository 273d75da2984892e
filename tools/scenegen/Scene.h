#pragma once

// A whole scene: pictures, encoded, in an AVI of our own writer or (MP4, Matroska) through
// libavformat.

#include "AviWriter.h"
#include "Encoder.h"

#include <set>
#include <string>

enum class Picture { Fixture, Sample };

// How to make a scene: which pictures, how many, how big, at what rate, in which codec.
struct SceneRecipe {
    Codec codec = Codec::Mjpeg;
    int width = 64;
    int height = 48;
    int frames = 10; // slots in the stream, drop chunks included
    std::uint32_t rate = 25;
    std::uint32_t scale = 1;
    Picture picture = Picture::Fixture;
    std::set<int> drops; // slots written as drop chunks
    // MP4 and QuickTime: the index ('moov') before the frames, as streaming writers put it.
    bool indexFirst = false;
};

// The AVI layout of a scene, with its single video stream, ready to be tweaked.
AviLayout SceneAvi(const SceneRecipe& scene);
// Writes the scene in the container named by the extension (.mp4, .mov, .mkv, .webm, .3gp); no
// drops. Throws MissingEncoder, before anything is written, when FFmpeg lacks the encoder.
void WriteContainer(const std::string& path, const SceneRecipe& scene);
// An MP4 (or another container named by the extension) holding one second of AAC silence and
// no video.
void WriteSoundOnly(const std::string& path);
