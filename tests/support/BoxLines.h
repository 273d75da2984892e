#pragma once

#include "toolkit/Types.h"

#include <vector>

// The lines of captured standard error that carry the boxes' texts (the platform may write its
// own there too).
inline std::vector<String> BoxLines(const String& captured) {
    std::vector<String> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = captured.find('\n', start)) != String::npos; start = end + 1) {
        const String line = captured.substr(start, end - start);
        if (line.rfind("reelstand: ", 0) == 0)
            lines.push_back(line);
    }
    return lines;
}
