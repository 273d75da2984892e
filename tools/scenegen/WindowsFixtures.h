#pragma once

// Test scenes in the formats a stock Windows decodes with its own codecs, for the Windows
// build's video tests. 64 x 48, 25 frames per second, 10 frames, frame i is FixturePicture(i)
// (FrameColour(i) under a black band over the top eighth), like the other fixtures.
//
//   raw16_10.avi      BI_RGB 16-bit (5-5-5)
//   raw565_10.avi     BI_BITFIELDS 16-bit (5-6-5)
//   raw24_topdown_10.avi  BI_RGB 24-bit, rows from the top down (negative height), as FFmpeg
//                     writes uncompressed AVI
//   raw32_10.avi      BI_RGB 32-bit
//   raw32_rate0.avi   raw32_10.avi with dwRate 0
//   msvideo1_10.avi   MS Video 1 ('CRAM', 16-bit), FFmpeg's encoder
//   cinepak_10.avi    Cinepak ('cvid'), FFmpeg's encoder
//   rle8_10.avi       BI_RLE8 with the palette of pal8_10.avi, run-length coded here
//
// 8- and 24-bit uncompressed scenes are pal8_10.avi and raw24_10.avi of the common fixtures.
//
// And the formats a stock Windows decodes only through Media Foundation (H.264, MJPEG and
// MPEG-4 Part 2 of the common fixtures among them), with bad input for that way in:
//   xvid_10.avi       MPEG-4 Part 2 under the code 'XVID'
//   h264_10.avi       H.264 in AVI (no B-frames)
//   mp4_h264_1280x720.mp4, mp4_h264_100x60.mp4   H.264 with B-frames in MP4, 10 frames; 100 x 60
//                     is coded as 112 x 64
//   truncated.mp4     an H.264 MP4 cut in half: its index ('moov', at the end) is gone
//   cut_mid_frame.mp4 an H.264 MP4 with the index first, cut inside a frame near the end of its
//                     frames' data
//   cut_early.mp4     the same cut a tenth into its frames' data
//   audio_only.mp4    one second of AAC silence, no video
//   text.mp4          a text file
// The H.264 scenes only where FFmpeg has the encoder.
//
// reference/NAME.frames holds FFmpeg's decode of each scene the Windows tests compare frame by
// frame (ReferenceFrames.h).

#include <string>

// Writes every scene above into dir (which must exist).
void WriteWindowsFixtures(const std::string& dir);
