#pragma once

#include "toolkit/Types.h"

#include <filesystem>
#include <random>
#include <string>

// A folder of its own for one test, removed with its content at the end. Names are UTF-8, as
// the program's own.
class TempDir {
public:
    TempDir() {
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        do
            FPath = base / ("reelstand-test-" + std::to_string(random()));
        while (!std::filesystem::create_directory(FPath));
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    String Path() const { return Text(FPath); }
    String File(const String& name) const { return Text(FPath / Name(name)); }

    static std::filesystem::path Name(const String& text) {
        return std::filesystem::path(std::u8string(text.begin(), text.end()));
    }
    static String Text(const std::filesystem::path& path) {
        const std::u8string text = path.generic_u8string();
        return String(text.begin(), text.end());
    }

private:
    std::filesystem::path FPath;
};
