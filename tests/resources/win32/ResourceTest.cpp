// The executable's resources as the program will load them: built into this test program from
// the same .rc as reelstand.exe.

#include <windows.h>

#include "WideText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <cwctype>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

SIZE BitmapSize(HBITMAP b) {
    BITMAP info{};
    if (b == nullptr || GetObjectW(b, sizeof info, &info) != sizeof info)
        return {-1, -1};
    return {info.bmWidth, info.bmHeight};
}

SIZE LoadedBitmapSize(const wchar_t* name) {
    HBITMAP b = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    const SIZE size = BitmapSize(b);
    if (b)
        DeleteObject(b);
    return size;
}

TEST(Resources, SkinBitmapsLoadByNameInAnyCase) {
    for (const wchar_t* name :
         {L"PLAY_UNPRESSED", L"PLAY_HIGHLIGHT", L"PLAY_PRESSED", L"PAUSE_UNPRESSED",
          L"PAUSE_HIGHLIGHT", L"PAUSE_PRESSED", L"play_unpressed", L"Pause_Pressed"}) {
        EXPECT_NE(FindResourceW(nullptr, name, MAKEINTRESOURCEW(2)), nullptr) << name;
        const SIZE size = LoadedBitmapSize(name);
        EXPECT_EQ(size.cx, 30);
        EXPECT_EQ(size.cy, 29);
    }
    EXPECT_EQ(FindResourceW(nullptr, L"PLAY_HOVER", MAKEINTRESOURCEW(2)), nullptr);
}

TEST(Resources, WindowDefinitionPicturesLoadByName) {
    for (const wchar_t* button : {L"ImgBtn12", L"ImgBtn13", L"ImgBtn14"}) {
        for (const wchar_t* kind : {L"_Picture", L"_OverPict", L"_DownPict", L"_UpPict"}) {
            const std::wstring name = std::wstring(button) + kind;
            const SIZE size = LoadedBitmapSize(name.c_str());
            EXPECT_GT(size.cx, 0) << name;
            EXPECT_GT(size.cy, 0);
        }
    }
}

// One 32-bit image (with alpha) for every size Windows asks for, so none is scaled from another.
TEST(Resources, MainIconHasEverySizeWindowsAsksFor) {
    const std::set<int> sizes = {16, 20, 24, 32, 40, 48, 64, 256};
    // The icon group's directory: three words, then 14 bytes per image (width and height, 0
    // standing for 256; colours; reserved; planes; bits per pixel; bytes; image id).
    HRSRC group = FindResourceW(nullptr, L"MAINICON", MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, group)));
    ASSERT_NE(directory, nullptr);
    WORD count = 0;
    std::memcpy(&count, directory + 4, 2);
    ASSERT_EQ(SizeofResource(nullptr, group), 6u + 14u * count);
    std::set<int> found;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = directory + 6 + 14 * i;
        WORD bits = 0;
        std::memcpy(&bits, entry + 6, 2);
        const int side = entry[0] == 0 ? 256 : entry[0];
        EXPECT_EQ(entry[1], entry[0]);
        EXPECT_EQ(bits, 32) << side;
        found.insert(side);
    }
    EXPECT_EQ(found, sizes);

    for (int side : sizes) {
        HICON icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, side, side, 0));
        ASSERT_NE(icon, nullptr) << side;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_EQ(BitmapSize(info.hbmMask).cx, side);
        BITMAP colour{};
        EXPECT_TRUE(info.hbmColor && GetObjectW(info.hbmColor, sizeof colour, &colour));
        EXPECT_EQ(colour.bmBitsPixel, 32) << side;
        DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        DestroyIcon(icon);
    }
}

TEST(Resources, VersionIsTheProjectVersion) {
    HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));
    ASSERT_NE(res, nullptr);
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, res)));
    const DWORD size = SizeofResource(nullptr, res);
    ASSERT_NE(data, nullptr);
    // VS_FIXEDFILEINFO starts with its signature, on a 4-byte boundary.
    const VS_FIXEDFILEINFO* fixed = nullptr;
    for (DWORD at = 0; at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        DWORD signature;
        std::memcpy(&signature, data + at, 4);
        if (signature == 0xFEEF04BD) {
            fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(data + at);
            break;
        }
    }
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD(RS_VERSION_MAJOR) << 16 | RS_VERSION_MINOR);
    EXPECT_EQ(fixed->dwFileVersionLS, DWORD(RS_VERSION_PATCH) << 16);
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
}

// The texts of Explorer's Details page, read as Explorer reads them from the program file; the
// copyright is the licence's line.
TEST(Resources, VersionTextsFillExplorersDetails) {
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    const DWORD size = GetFileVersionInfoSizeW(path, nullptr);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, info.data()));
    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, sizeof(Translation));
    EXPECT_EQ(translation->language, 0x0407); // German (Germany)

    std::ifstream licence(RS_LICENSE);
    std::string copyright;
    while (std::getline(licence, copyright) && copyright.rfind("Copyright ", 0) != 0) {
    }
    ASSERT_EQ(copyright.rfind("Copyright ", 0), 0u) << "no copyright line in " << RS_LICENSE;

    const std::pair<const wchar_t*, std::string> expected[] = {
        {L"CompanyName", "Reelstand developers"},
        {L"FileDescription", "Reelstand - Videoszenen in Schleife"},
        {L"FileVersion", RS_VERSION},
        {L"InternalName", "reelstand"},
        {L"LegalCopyright", copyright},
        {L"OriginalFilename", "reelstand.exe"},
        {L"ProductName", "Reelstand"},
        {L"ProductVersion", RS_VERSION},
    };
    wchar_t block[64];
    for (const auto& [name, value] : expected) {
        swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
                 translation->codePage, name);
        wchar_t* text = nullptr;
        EXPECT_TRUE(VerQueryValueW(info.data(), block, reinterpret_cast<void**>(&text), &length))
            << Utf8(name);
        EXPECT_EQ(text ? Utf8(text) : std::string(), value) << Utf8(name);
    }
}

// The manifest is the one the loader applies: the process runs DPI aware per monitor and gets
// common controls version 6.
TEST(Resources, ManifestMakesTheProcessDpiAwareWithCommonControls6) {
    using Context = DPI_AWARENESS_CONTEXT(WINAPI*)();
    using Awareness = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    ASSERT_NE(user32, nullptr);
    const auto context = reinterpret_cast<Context>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    const auto awareness = reinterpret_cast<Awareness>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    ASSERT_TRUE(context && awareness);
    EXPECT_EQ(awareness(context()), DPI_AWARENESS_PER_MONITOR_AWARE);

    // Version 6 lives side by side with the system's version 5; the manifest's dependency is
    // what redirects the load there. (Wine's DllGetVersion says 5 for both.)
    HMODULE comctl = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(comctl, path, MAX_PATH), 0u);
    std::wstring lower = path;
    for (wchar_t& c : lower)
        c = towlower(c);
    EXPECT_NE(lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
              std::wstring::npos)
        << lower;
    FreeLibrary(comctl);
}

} // namespace
