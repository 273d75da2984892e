#pragma once

// Decoded frames in a file of their own, so that a reference decode made on Linux reaches the
// Windows build's tests: per frame its width and height, then its pixels (0x00RRGGBB, rows from
// the top), every value 32-bit little-endian.

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

struct ReferenceFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The mean absolute difference per channel between a width x height picture of `pixels`
// (0x00RRGGBB, rows from the top) and `frame`, or -1 when their sizes differ.
inline double MeanDifference(int width, int height, const std::vector<std::uint32_t>& pixels,
                             const ReferenceFrame& frame) {
    if (width != frame.width || height != frame.height || pixels.size() != frame.pixels.size())
        return -1;
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i)
        for (int shift : {16, 8, 0}) {
            const int a = int(pixels[i] >> shift & 0xFF), b = int(frame.pixels[i] >> shift & 0xFF);
            sum += a > b ? a - b : b - a;
        }
    return double(sum) / (3.0 * width * height);
}

inline void WriteReferenceFrames(const std::string& path,
                                 const std::vector<ReferenceFrame>& frames) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const auto put = [&out](std::uint32_t v) {
        const char bytes[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        out.write(bytes, 4);
    };
    for (const ReferenceFrame& f : frames) {
        put(std::uint32_t(f.width));
        put(std::uint32_t(f.height));
        for (std::uint32_t pixel : f.pixels)
            put(pixel);
    }
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

// The frames of a file written above; as many as it holds whole.
inline std::vector<ReferenceFrame> ReadReferenceFrames(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const auto get = [&in](std::uint32_t& v) {
        unsigned char bytes[4];
        if (!in.read(reinterpret_cast<char*>(bytes), 4))
            return false;
        v = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
            std::uint32_t(bytes[3]) << 24;
        return true;
    };
    std::vector<ReferenceFrame> frames;
    std::uint32_t w = 0, h = 0;
    while (get(w) && get(h) && w > 0 && h > 0 && w <= 16384 && h <= 16384) {
        ReferenceFrame f{int(w), int(h), std::vector<std::uint32_t>(std::size_t(w) * h)};
        for (std::uint32_t& pixel : f.pixels)
            if (!get(pixel))
                return frames;
        frames.push_back(std::move(f));
    }
    return frames;
}
