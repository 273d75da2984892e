#pragma once

// The test scenes, generated at build time into the fixture directory. Unless said otherwise a
// scene is 64 x 48 at 25 frames per second, and frame i is FixturePicture(i): FrameColour(i)
// with a black band over the top eighth; the centre pixel tells the index.
//
//   raw24_0.avi, raw24_1.avi, raw24_2.avi   BI_RGB 24-bit, 0 / 1 / 2 frames
//   raw24_10.avi          BI_RGB 24-bit, 10 frames, rate 30000 / scale 1001
//   pal8_10.avi           8-bit palettised, 10 frames; palette 0 black, 1 + i = FrameColour(i)
//   mjpeg_10.avi          MJPEG, 10 frames, rate 25 / scale 2
//   mpeg4_10.avi          MPEG-4 part 2 (no B-frames), 10 frames
//   mp4_10.mp4            H.264 with B-frames in MP4, 10 frames at 25 fps
//   mp4_mpeg4_10.mp4, mp4_hevc_10.mp4, mov_mjpeg_10.mov, mov_prores_10.mov, mkv_ffv1_10.mkv,
//   mkv_vp9_10.mkv, webm_vp8_10.webm, webm_vp9_10.webm, 3gp_h263_10.3gp (128 x 96)
//                         10 frames in each container and codec as common tools write them
//                         (HEVC with B-frames, FFV1 lossless RGB); only where FFmpeg has the
//                         encoder
//   large_600x520.avi     MJPEG 600 x 520, 3 frames
//   odd_63x47.avi         BI_RGB 24-bit 63 x 47 (padded rows), 10 frames
//   drop_10.avi           MJPEG, 10 slots; 2, 5, 6 and 9 are drop chunks (repeat the previous)
//   drop_run_1000.avi     MJPEG, frame 0, 1000 drop chunks, frame 1001 (FrameColour(1001)); no
//   index long_300.avi          MJPEG, 300 frames audio_only.avi        one PCM audio stream, no
//   video audio_video_10.avi    PCM audio as stream 0, MJPEG video as stream 1 (10 slots, 9 a drop)
//   rate0.avi             MJPEG, 10 frames, dwRate 0, dwScale 1
//   scale0.avi            MJPEG, 10 frames, dwRate 25, dwScale 0
//   ratescale0.avi        MJPEG, 10 frames, dwRate 0, dwScale 0
//   truncated.avi         mjpeg_10.avi cut in the middle of frame 6 (no index)
//   truncated_header.avi  mjpeg_10.avi cut inside its stream format
//   text.avi              a text file
//   empty.avi             zero bytes
//   noise.avi             5000 random bytes
//   picture.avi           a PNG picture (a format FFmpeg reads, but not a scene)
//   length_ffffffff.avi   MJPEG, 10 frames, dwLength and total frames 0xFFFFFFFF
//   huge_strf.avi         MJPEG 64 x 48 frames under a 'strf' claiming 100000 x 100000
//   bitcount0.avi, bitcount7.avi   two uncompressed frames under a bit count of 0 / 7
//   no_movi.avi           headers only: no 'movi' list, no index
//   index_past_end.avi    MJPEG, 10 frames, every index entry pointing 1 MB past the end
//   garbage_after_header.avi  valid headers followed by random bytes
//   junk_packets.avi      MJPEG headers, 10 chunks of random bytes that never decode
//   huge_jpeg.avi         MJPEG whose pictures claim 20000 x 20000 (beyond the pixel limit)
//   over_pixel_limit.avi  MJPEG, 2 pictures of 8200 x 8200 (beyond the decoder's pixel limit,
//                         within FFmpeg's own bounds), under a 64 x 48 'strf'

#include <string>

// Writes every fixture above into dir (which must exist).
void WriteFixtures(const std::string& dir);
