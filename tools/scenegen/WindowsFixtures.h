#pragma once

// Test scenes in the formats a stock Windows decodes with its own codecs, for the Windows
// build's video tests. 64 x 48, 25 frames per second, 10 frames, frame i is FixturePicture(i)
// (FrameColour(i) under a black band over the top eighth), like the other fixtures.
//
//   raw16_10.avi      BI_RGB 16-bit (5-5-5)
//   raw32_10.avi      BI_RGB 32-bit
//   raw32_rate0.avi   raw32_10.avi with dwRate 0
//   msvideo1_10.avi   MS Video 1 ('CRAM', 16-bit), FFmpeg's encoder
//   cinepak_10.avi    Cinepak ('cvid'), FFmpeg's encoder
//   rle8_10.avi       BI_RLE8 with the palette of pal8_10.avi, run-length coded here
//
// 8- and 24-bit uncompressed scenes are pal8_10.avi and raw24_10.avi of the common fixtures.

#include <string>

// Writes every scene above into dir (which must exist).
void WriteWindowsFixtures(const std::string& dir);
