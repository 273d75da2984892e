// The real reelstand.exe opens scenes 21 times, dropped on its window, and holds as many GDI
// objects after the last as after the first: a handle lost per open (a frame bitmap, a DC, the
// decompressor's) would show 20 times over. The program is counted from inside
// (GdiOpensHook.cpp, loaded into it), since Wine's GetGuiResources says 0.

#include "WideText.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct RsDrop {
    HWND form;
    wchar_t path[MAX_PATH];
};

class Program {
public:
    ~Program() {
        if (FProcess) {
            TerminateProcess(FProcess, 1);
            CloseHandle(FProcess);
        }
    }

    void Start() {
        std::wstring command = L"\"" + WindowsPath(RS_REELSTAND) + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &pi));
        CloseHandle(pi.hThread);
        FProcess = pi.hProcess;
        FId = pi.dwProcessId;
        // The window exists before its controls do: wait for it on screen with its slider.
        for (int i = 0; i < 600 && !FTrackBar; ++i) {
            HWND w = FindWindowW(nullptr, L"Tavrin Reelstand");
            DWORD owner = 0;
            if (w && IsWindowVisible(w) && GetWindowThreadProcessId(w, &owner) && owner == FId) {
                FForm = w;
                EnumChildWindows(
                    FForm,
                    [](HWND child, LPARAM self) {
                        wchar_t name[64] = {};
                        GetClassNameW(child, name, 64);
                        if (wcscmp(name, TRACKBAR_CLASSW) != 0)
                            return TRUE;
                        reinterpret_cast<Program*>(self)->FTrackBar = child;
                        return FALSE;
                    },
                    reinterpret_cast<LPARAM>(this));
            }
            if (!FTrackBar)
                Sleep(50);
        }
        ASSERT_NE(FForm, nullptr) << "no window \"Tavrin Reelstand\"";
        ASSERT_NE(FTrackBar, nullptr) << "no trackbar in the window";
    }

    void Inject() {
        const std::wstring dll = WindowsPath(RS_GDI_HOOK);
        const DWORD bytes = DWORD((dll.size() + 1) * sizeof(wchar_t));
        void* name = Write(dll.c_str(), bytes);
        const auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "LoadLibraryW")));
        ASSERT_NE(Run(loadLibrary, name), 0u) << "the hook did not load";
        // The exports' places in the program: their offsets in a copy loaded here, from the
        // base the program got.
        HMODULE local = LoadLibraryW(dll.c_str());
        ASSERT_NE(local, nullptr);
        HMODULE modules[1024];
        DWORD needed = 0;
        ASSERT_TRUE(
            EnumProcessModulesEx(FProcess, modules, sizeof modules, &needed, LIST_MODULES_ALL));
        char* remote = nullptr;
        for (DWORD i = 0; i < needed / sizeof(HMODULE); ++i) {
            wchar_t file[MAX_PATH] = {};
            GetModuleFileNameExW(FProcess, modules[i], file, MAX_PATH);
            if (_wcsicmp(wcsrchr(file, L'\\') ? wcsrchr(file, L'\\') + 1 : file,
                         wcsrchr(dll.c_str(), L'\\') + 1) == 0)
                remote = reinterpret_cast<char*>(modules[i]);
        }
        ASSERT_NE(remote, nullptr) << "the hook is not among the program's modules";
        auto at = [&](const char* name) {
            const auto offset =
                reinterpret_cast<char*>(reinterpret_cast<void*>(GetProcAddress(local, name))) -
                reinterpret_cast<char*>(local);
            return reinterpret_cast<LPTHREAD_START_ROUTINE>(
                reinterpret_cast<void*>(remote + offset));
        };
        FCount = at("RsGdiCount");
        FDrop = at("RsDropFile");
        FRequest = Write(nullptr, sizeof(RsDrop));
    }

    // The count once it holds still: a second reading confirms the first.
    unsigned GdiObjects() {
        DWORD last = Run(FCount, FForm);
        for (int i = 0; i < 20; ++i) {
            Sleep(100);
            const DWORD now = Run(FCount, FForm);
            if (now == last)
                return now;
            last = now;
        }
        ADD_FAILURE() << "the GDI object count does not settle";
        return last;
    }

    // Drops the scene and waits until the slider spans all its frames (the last index the
    // slider reaches is the frame count less two).
    void Open(const std::wstring& scene, int frames) {
        RsDrop drop{FForm, {}};
        ASSERT_LT(scene.size(), std::size_t(MAX_PATH));
        std::copy(scene.begin(), scene.end(), drop.path);
        WriteProcessMemory(FProcess, FRequest, &drop, sizeof drop, nullptr);
        ASSERT_EQ(Run(FDrop, FRequest), 1u) << "the window did not take the drop";
        for (int i = 0; i < 1200; ++i) {
            if (SendMessageW(FTrackBar, TBM_GETRANGEMAX, 0, 0) == frames - 2)
                return;
            Sleep(50);
        }
        FAIL() << "the scene did not load";
    }

    DWORD Close() {
        PostMessageW(FForm, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(FProcess, 30000) != WAIT_OBJECT_0)
            return DWORD(-1);
        DWORD code = 0;
        GetExitCodeProcess(FProcess, &code);
        CloseHandle(FProcess);
        FProcess = nullptr;
        return code;
    }

private:
    void* Write(const void* data, DWORD bytes) {
        void* at =
            VirtualAllocEx(FProcess, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (at && data)
            WriteProcessMemory(FProcess, at, data, bytes, nullptr);
        return at;
    }

    DWORD Run(LPTHREAD_START_ROUTINE routine, void* argument) {
        HANDLE thread = CreateRemoteThread(FProcess, nullptr, 0, routine, argument, 0, nullptr);
        if (!thread)
            return 0;
        DWORD code = 0;
        if (WaitForSingleObject(thread, 120000) == WAIT_OBJECT_0)
            GetExitCodeThread(thread, &code);
        CloseHandle(thread);
        return code;
    }

    HANDLE FProcess = nullptr;
    DWORD FId = 0;
    HWND FForm = nullptr;
    HWND FTrackBar = nullptr;
    LPTHREAD_START_ROUTINE FCount = nullptr;
    LPTHREAD_START_ROUTINE FDrop = nullptr;
    void* FRequest = nullptr;
};

TEST(GdiOpens, TwentyOpensLeaveTheCountAsItWas) {
    Program program;
    ASSERT_NO_FATAL_FAILURE(program.Start());
    ASSERT_NO_FATAL_FAILURE(program.Inject());
    const unsigned empty = program.GdiObjects();

    // The sample (75 frames of 512 x 512) between 10-frame scenes of every way in: the codecs a
    // stock Windows has, Media Foundation (H.264 MP4, MJPEG AVI) and our own conversion (a
    // top-down AVI), so that each open changes the slider's range and proves it loaded.
    const std::wstring fixtures = WindowsPath(RS_FIXTURES) + L"\\";
    const std::wstring sample = WindowsPath(RS_SAMPLE);
    // The tenth is cinepak_10.avi again: the last open is the same scene as the first.
    const wchar_t* const small[] = {L"raw24_10.avi",        L"mp4_10.mp4",   L"cinepak_10.avi",
                                    L"msvideo1_10.avi",     L"mjpeg_10.avi", L"rle8_10.avi",
                                    L"raw24_topdown_10.avi"};
    ASSERT_NO_FATAL_FAILURE(program.Open(fixtures + L"cinepak_10.avi", 10));
    const unsigned first = program.GdiObjects();
    std::vector<unsigned> counts;
    for (int k = 0; k < 10; ++k) {
        ASSERT_NO_FATAL_FAILURE(program.Open(sample, 75));
        ASSERT_NO_FATAL_FAILURE(program.Open(fixtures + small[k % std::size(small)], 10));
        counts.push_back(program.GdiObjects());
    }
    std::printf("GDI objects of reelstand.exe: %u with no scene, %u after the first open, %u after "
                "21 opens\n",
                empty, first, counts.back());
    EXPECT_EQ(counts.back(), first)
        << "GDI objects held after each pair of opens: " << ::testing::PrintToString(counts);
    EXPECT_EQ(program.Close(), 0u) << "the program did not end cleanly on WM_CLOSE";
}

} // namespace
