#pragma once

#include "video/VFW.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

// The video layer as the program sets it up (FFmpeg silent, its allocations capped), once per
// test program that includes this header.
class VideoEnvironment : public ::testing::Environment {
public:
    void SetUp() override { VideoStartup(); }
    void TearDown() override { VideoShutdown(); }
};

inline const auto* const gVideoEnvironment =
    ::testing::AddGlobalTestEnvironment(new VideoEnvironment);

// A table row named after its fixture file, in the characters test names allow.
inline std::string FileRowName(std::string file) {
    for (char& ch : file)
        ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return file;
}
