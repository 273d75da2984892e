// reelstand.exe, a program without a console of its own, writes --help, --version and its
// message lines to the prompt it was started from: to its console as characters (umlauts
// included, whatever the console's code page), and as UTF-8 bytes when the output is redirected.
// This console program plays the prompt: it starts the program the ways a prompt does and reads
// back what reached its console or its pipe.

#include "WideText.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// How the program's standard handles are set up, as a prompt may start it.
enum class Handles {
    None,    // a program of the GUI subsystem started from a prompt on Windows
    Console, // the prompt's console handles passed on (Wine's way)
    Pipe,    // output redirected
};

struct Outcome {
    DWORD exitCode = STILL_ACTIVE;
    std::string piped; // standard output's bytes, for Handles::Pipe
};

class Console : public ::testing::Test {
protected:
    // A console of this test's own whose characters can be read back.
    static void SetUpTestSuite() {
        FreeConsole();
        ASSERT_TRUE(AllocConsole());
    }

    void SetUp() override { Clear(); }

    static HANDLE Output() {
        return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    }

    static void Clear() {
        const HANDLE out = Output();
        CONSOLE_SCREEN_BUFFER_INFO info{};
        ASSERT_TRUE(GetConsoleScreenBufferInfo(out, &info));
        DWORD written = 0;
        FillConsoleOutputCharacterW(out, L' ', DWORD(info.dwSize.X) * DWORD(info.dwSize.Y), {0, 0},
                                    &written);
        SetConsoleCursorPosition(out, {0, 0});
        CloseHandle(out);
    }

    // The console's lines up to the cursor, without trailing blanks.
    static std::wstring Text() {
        const HANDLE out = Output();
        CONSOLE_SCREEN_BUFFER_INFO info{};
        GetConsoleScreenBufferInfo(out, &info);
        std::wstring text;
        for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
            std::wstring line(std::size_t(info.dwSize.X), L' ');
            DWORD read = 0;
            ReadConsoleOutputCharacterW(out, line.data(), DWORD(line.size()), {0, y}, &read);
            line.resize(read);
            line.erase(line.find_last_not_of(L' ') + 1);
            text += line + L'\n';
        }
        CloseHandle(out);
        return text;
    }

    // Starts the program with `arguments`; `finish` runs while it runs (by default: wait
    // until it ends) and the program is ended afterwards.
    static Outcome Start(const std::wstring& arguments, Handles handles,
                         const std::function<void()>& finish = {}) {
        std::wstring command = L"\"" + WindowsPath(RS_REELSTAND) + L"\" " + arguments;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE console = INVALID_HANDLE_VALUE, readPipe = nullptr, writePipe = nullptr;
        if (handles == Handles::Console) {
            console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                  nullptr);
            si.hStdOutput = si.hStdError = console;
        } else if (handles == Handles::Pipe) {
            CreatePipe(&readPipe, &writePipe, &inherit, 0);
            SetHandleInformation(readPipe, HANDLE_FLAG_INHERIT, 0);
            si.hStdOutput = writePipe;
        }
        PROCESS_INFORMATION pi{};
        Outcome run;
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &si, &pi)) {
            ADD_FAILURE() << "cannot start " << RS_REELSTAND << ": error " << GetLastError();
            return run;
        }
        if (console != INVALID_HANDLE_VALUE)
            CloseHandle(console);
        if (writePipe) {
            CloseHandle(writePipe);
            char buffer[4096];
            DWORD read = 0;
            while (ReadFile(readPipe, buffer, sizeof buffer, &read, nullptr) && read > 0)
                run.piped.append(buffer, read);
            CloseHandle(readPipe);
        }
        if (finish)
            finish();
        if (WaitForSingleObject(pi.hProcess, finish ? 0 : 30000) != WAIT_OBJECT_0) {
            TerminateProcess(pi.hProcess, 99);
            WaitForSingleObject(pi.hProcess, INFINITE);
        }
        GetExitCodeProcess(pi.hProcess, &run.exitCode);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return run;
    }
};

struct PrintCase {
    const wchar_t* arguments;
    std::vector<std::wstring> lines; // each found at the start of a line
};

const PrintCase kPrintCases[] = {
    {L"--help",
     {L"Aufruf: reelstand [-vollbild] [SZENE.avi]",
      L"Spielt eine Szene als Endlosschleife ab, Bild f\u00fcr Bild aus dem Speicher.",
      L"      --open DATEI  DATEI \u00f6ffnen, gleich welche Endung sie hat"}},
    {L"-h", {L"Aufruf: reelstand [-vollbild] [SZENE.avi]"}},
    {L"--version", {L"reelstand " RS_VERSION, L"Copyright (c) 2026 the Reelstand developers"}},
};

bool HasLine(const std::wstring& text, const std::wstring& line) {
    return text.rfind(line, 0) == 0 || text.find(L"\n" + line) != std::wstring::npos;
}

TEST_F(Console, HelpAndVersionReachThePromptsConsoleAsCharacters) {
    for (const PrintCase& c : kPrintCases) {
        for (const Handles handles : {Handles::None, Handles::Console}) {
            SCOPED_TRACE(testing::Message()
                         << (handles == Handles::None ? "no handles: " : "console handles: ")
                         << std::string(c.arguments, c.arguments + wcslen(c.arguments)));
            Clear();
            EXPECT_EQ(Start(c.arguments, handles).exitCode, 0u);
            const std::wstring text = Text();
            for (const std::wstring& line : c.lines)
                EXPECT_TRUE(HasLine(text, line)) << "no line " << Utf8(line) << " in\n"
                                                 << Utf8(text);
        }
    }
}

// Redirected, the output is UTF-8, as on Linux, and the console stays empty.
TEST_F(Console, RedirectedHelpIsUtf8) {
    const Outcome run = Start(L"--help", Handles::Pipe);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.piped.rfind("Aufruf: reelstand [-vollbild] [SZENE.avi]", 0), 0u) << run.piped;
    EXPECT_NE(run.piped.find("Bild f\xC3\xBCr Bild"), std::string::npos) << run.piped;
    EXPECT_EQ(Text(), L"\n");
}

// A message's line goes to the prompt's console before its box shows; the scene's name keeps
// its umlaut.
TEST_F(Console, MessageLineReachesThePromptsConsole) {
    const std::wstring line = L"reelstand: Fehlt-\u00e4.avi: Diese Szene ist nicht vorhanden";
    std::wstring text;
    Start(L"--open Fehlt-\u00e4.avi", Handles::None, [&] {
        for (int i = 0; i < 300 && !HasLine(text, line); ++i) {
            Sleep(100);
            text = Text();
        }
    });
    EXPECT_TRUE(HasLine(text, line)) << Utf8(text);
}

// Started without a prompt (from Explorer), there is nowhere to print: --help ends at once with
// the write error's exit code, as it always did.
TEST_F(Console, WithoutAConsoleHelpReportsTheWriteError) {
    FreeConsole();
    const Outcome run = Start(L"--help", Handles::None);
    ASSERT_TRUE(AllocConsole());
    EXPECT_EQ(run.exitCode, 1u);
}

} // namespace
