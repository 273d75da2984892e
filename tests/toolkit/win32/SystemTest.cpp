// The timer, the boxes, the open dialog's settings and the command line on the system's calls.

#include "toolkit/win32/Text.h"
#include "toolkit/win32/native/MessageBoxes.h"
#include "toolkit/win32/native/OpenDialog.h"
#include "toolkit/win32/native/Timer.h"

#include <commdlg.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace win32;

void SendTick(Timer* timer) {
    SendMessageW(Timer::Sink(), WM_TIMER, reinterpret_cast<WPARAM>(timer), 0);
}

TEST(Timer, TicksOnlyWhileEnabledWithAnInterval) {
    Timer timer;
    int ticks = 0;
    timer.OnTimer = [&ticks] { ++ticks; };
    EXPECT_TRUE(timer.Running());
    timer.SetInterval(80);
    SendTick(&timer);
    EXPECT_EQ(ticks, 1);
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Running());
    SendTick(&timer); // one already in the queue when it was disabled
    EXPECT_EQ(ticks, 1);
    timer.SetEnabled(true);
    timer.SetInterval(0);
    EXPECT_FALSE(timer.Running());
    SendTick(&timer);
    EXPECT_EQ(ticks, 1);
    timer.SetInterval(80);
    EXPECT_TRUE(timer.Running());

    // A tick that names a timer already destroyed reaches nobody.
    auto gone = std::make_unique<Timer>();
    const WPARAM stale = reinterpret_cast<WPARAM>(gone.get());
    gone->OnTimer = [&ticks] { ++ticks; };
    gone.reset();
    SendMessageW(Timer::Sink(), WM_TIMER, stale, 0);
    EXPECT_EQ(ticks, 1);
}

// Runs the message loop until `done` or five seconds have passed.
void PumpUntil(const std::function<bool()>& done) {
    const ULONGLONG deadline = GetTickCount64() + 5000;
    while (!done() && GetTickCount64() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
}

TEST(Timer, TheSystemDeliversItsTicks) {
    Timer timer;
    timer.SetInterval(1);
    int ticks = 0;
    timer.OnTimer = [&ticks] { ++ticks; };
    PumpUntil([&ticks] { return ticks >= 3; });
    EXPECT_GE(ticks, 3);
}

struct BoxSeen {
    bool found = false;
    std::wstring title;
    std::wstring text;
    bool icon = false;
    int ticksWhileOpen = 0;
};

BOOL CALLBACK ReadBoxChild(HWND child, LPARAM data) {
    auto* seen = reinterpret_cast<BoxSeen*>(data);
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (_wcsicmp(name, L"Static") != 0)
        return TRUE;
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        // A box may keep an empty, hidden icon control.
        seen->icon =
            seen->icon || (IsWindowVisible(child) && SendMessageW(child, STM_GETICON, 0, 0));
        return TRUE;
    }
    wchar_t text[256] = {};
    GetWindowTextW(child, text, 256);
    if (text[0])
        seen->text = text;
    return TRUE;
}

// Reads the visible box among the thread's windows and presses its OK button.
BOOL CALLBACK ReadBox(HWND window, LPARAM data) {
    auto* seen = reinterpret_cast<BoxSeen*>(data);
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wstring(name) != L"#32770" || !IsWindowVisible(window))
        return TRUE;
    seen->found = true;
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    seen->title = title;
    EnumChildWindows(window, ReadBoxChild, data);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

// The box's modal loop runs our timer: once the ticks have gone on while it is open, read the
// box and press its OK button.
BoxSeen ShowAndRead(const std::function<void()>& show) {
    BoxSeen seen;
    Timer ticker;
    ticker.SetInterval(5);
    ticker.OnTimer = [&seen] {
        if (++seen.ticksWhileOpen < 3 || seen.found)
            return;
        EnumThreadWindows(GetCurrentThreadId(), ReadBox, reinterpret_cast<LPARAM>(&seen));
    };
    show();
    return seen;
}

TEST(Boxes, ShowTitleTextAndIconWhileTheTimerGoesOn) {
    struct Case {
        const char* name;
        void (*show)(HWND, const std::string&, const std::string&);
        bool icon;
    };
    for (const Case& c :
         {Case{"message box", ShowMessageBox, false}, Case{"error box", ShowErrorBox, true}}) {
        SCOPED_TRACE(c.name);
        const BoxSeen seen = ShowAndRead([&c] {
            c.show(nullptr, "Reelstand", "Diese Szene ist nicht vorhanden: \xc3\xa4\xe2\x82\xac");
        });
        ASSERT_TRUE(seen.found);
        EXPECT_GE(seen.ticksWhileOpen, 3);
        EXPECT_EQ(seen.title, L"Reelstand");
        EXPECT_EQ(seen.text, L"Diese Szene ist nicht vorhanden: \u00e4\u20ac");
        EXPECT_EQ(seen.icon, c.icon);
    }
}

TEST(OpenDialog, AsksWithoutFilterTitleOrFolderAndPrefillsThePreviousChoice) {
    std::wstring buffer;
    const OPENFILENAMEW s = OpenFileDialogSettings(nullptr, buffer, "C:\\Szenen\\\xc3\xa4rger.avi");
    EXPECT_EQ(s.lStructSize, sizeof(OPENFILENAMEW));
    EXPECT_EQ(s.Flags, DWORD(OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY));
    EXPECT_EQ(s.lpstrFilter, nullptr);
    EXPECT_EQ(s.lpstrTitle, nullptr);
    EXPECT_EQ(s.lpstrInitialDir, nullptr);
    EXPECT_EQ(s.lpstrFile, buffer.data());
    EXPECT_STREQ(s.lpstrFile, L"C:\\Szenen\\\u00e4rger.avi");
    EXPECT_GE(s.nMaxFile, 32768u); // long paths fit
    EXPECT_EQ(s.nMaxFile, buffer.size());

    // A previous choice that would not fit is not cut to another name: the field starts empty.
    const OPENFILENAMEW tooLong =
        OpenFileDialogSettings(nullptr, buffer, std::string(40000, 'a') + ".avi");
    EXPECT_STREQ(tooLong.lpstrFile, L"");
}

TEST(CommandLine, SplitsAsTheSystemDoesIntoUtf8) {
    struct Case {
        const wchar_t* line;
        std::vector<std::string> arguments;
    };
    const std::vector<Case> cases = {
        {L"reelstand.exe", {}},
        {L"reelstand.exe -vollbild C:\\a.avi", {"-vollbild", "C:\\a.avi"}},
        {L"\"C:\\Program Files\\r.exe\" \"C:\\Meine Szenen\\b.avi\"", {"C:\\Meine Szenen\\b.avi"}},
        {L"r.exe  \t a\"b c\"d", {"ab cd"}},
        {L"r.exe \"\" x \"\"", {"x"}}, // empty quoted arguments are dropped
        {L"r.exe C:\\\u0441\u0446\u0435\u043d\u0430.avi \U0001F3AC.avi",
         {"C:\\\xd1\x81\xd1\x86\xd0\xb5\xd0\xbd\xd0\xb0.avi", "\xf0\x9f\x8e\xac.avi"}},
        {L"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.line));
        EXPECT_EQ(SplitCommandLine(c.line), c.arguments);
    }
}

} // namespace
