#pragma once

// FFmpeg's own decode of a scene, frame by frame, as the reference a player's frames are compared
// with: by the Linux tests directly, and written at build time for the Windows build's tests,
// which have no FFmpeg.

#include "ReferenceFrames.h"

#include <optional>
#include <string>
#include <vector>

// Every frame of the first video stream, converted to RGB with the colour matrix and range the
// frame declares; empty when the file does not open, nullopt when FFmpeg has no decoder for it.
std::optional<std::vector<ReferenceFrame>> ReferenceDecode(const std::string& path);
