// The real reelstand.exe as a screen reader in another process meets it, through MSAA (the objects
// its windows hand out, marshalled across the processes): every control by role and name, "Pause"
// pressed through its default action stops the playing, "Bild vor" shows the next frame, Tab and
// Space reach and press the play button, and "schließen" ends the program. The tree is printed
// as read.

#include "WideText.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <regex>
#include <string>
#include <vector>

namespace {

// MinGW's import library links IID_IAccessible to a thunk into oleacc.dll, not to the GUID.
const IID& kAccessible = __uuidof(IAccessible);

// One object or simple element as MSAA gives it: the object and the child id.
struct Element {
    IAccessible* object = nullptr;
    LONG child = CHILDID_SELF;

    VARIANT Id() const {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = child;
        return v;
    }
    std::string Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) const {
        BSTR text = nullptr;
        if ((object->*get)(Id(), &text) != S_OK || text == nullptr)
            return {};
        const std::string out = Utf8({text, SysStringLen(text)});
        SysFreeString(text);
        return out;
    }
    LONG Number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) const {
        VARIANT v;
        VariantInit(&v);
        return (object->*get)(Id(), &v) == S_OK && v.vt == VT_I4 ? v.lVal : 0;
    }
    std::string Name() const { return Text(&IAccessible::get_accName); }
    LONG Role() const { return Number(&IAccessible::get_accRole); }
    LONG State() const { return Number(&IAccessible::get_accState); }
};

class ScreenReader : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        std::wstring command =
            L"\"" + WindowsPath(RS_REELSTAND) + L"\" \"" + WindowsPath(RS_SAMPLE) + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &pi));
        CloseHandle(pi.hThread);
        FProcess = pi.hProcess;
        FThread = pi.dwThreadId;
        ASSERT_TRUE(Poll([&] {
            HWND w = FindWindowW(nullptr, L"Tavrin Reelstand");
            DWORD owner = 0;
            if (w && IsWindowVisible(w) && GetWindowThreadProcessId(w, &owner) &&
                owner == pi.dwProcessId)
                FForm = w;
            return FForm != nullptr;
        })) << "no window \"Tavrin Reelstand\"";
    }

    void TearDown() override {
        Release();
        if (FProcess) {
            if (WaitForSingleObject(FProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(FProcess, 1);
            CloseHandle(FProcess);
        }
        CoUninitialize();
    }

    // True once `done` says so, within ten seconds.
    static bool Poll(const std::function<bool()>& done, int milliseconds = 10000) {
        for (int waited = 0;; waited += 50) {
            if (done())
                return true;
            if (waited >= milliseconds)
                return false;
            Sleep(50);
        }
    }

    // Reads the whole tree afresh: every window's client object and its simple elements.
    std::string Read() {
        Release();
        std::string dump;
        Read(FForm, 0, dump);
        return dump;
    }

    const Element* Find(LONG role, const std::string& name) const {
        for (const Element& e : FElements) {
            if (e.Role() == role && e.Name() == name)
                return &e;
        }
        return nullptr;
    }

    // The frame the picture's name gives, counted from 1, and the count; {0, 0} without one.
    std::pair<int, int> Picture() {
        Read();
        static const std::regex pattern("Bild ([0-9]+) von ([0-9]+)");
        for (const Element& e : FElements) {
            std::smatch m;
            const std::string name = e.Name();
            if (e.Role() == ROLE_SYSTEM_GRAPHIC && std::regex_match(name, m, pattern))
                return {std::stoi(m[1]), std::stoi(m[2])};
        }
        return {0, 0};
    }

    bool Press(LONG role, const std::string& name) {
        Read();
        const Element* e = Find(role, name);
        return e && e->object->accDoDefaultAction(e->Id()) == S_OK;
    }

    bool Focused(LONG role, const std::string& name) {
        Read();
        const Element* e = Find(role, name);
        return e && (e->State() & STATE_SYSTEM_FOCUSED);
    }

    // A key stroke as the program's thread gets it: at its keyboard focus, through its loop.
    void Key(UINT key) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetGUIThreadInfo(FThread, &info));
        ASSERT_NE(info.hwndFocus, nullptr) << "the program has no keyboard focus";
        PostMessageW(info.hwndFocus, WM_KEYDOWN, key, 1);
        PostMessageW(info.hwndFocus, WM_KEYUP, key, LPARAM(0xC0000001u));
    }

    HANDLE FProcess = nullptr;
    DWORD FThread = 0;
    HWND FForm = nullptr;

private:
    void Read(HWND window, int depth, std::string& dump) {
        IAccessible* object = nullptr;
        if (SUCCEEDED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                                 kAccessible, reinterpret_cast<void**>(&object))) &&
            object) {
            FElements.push_back({object, CHILDID_SELF});
            Line(FElements.back(), depth, dump);
            LONG count = 0;
            object->get_accChildCount(&count);
            std::vector<VARIANT> children(static_cast<std::size_t>(std::max<LONG>(count, 0)));
            LONG got = 0;
            if (count > 0)
                AccessibleChildren(object, 0, count, children.data(), &got);
            for (LONG i = 0; i < got; ++i) {
                VARIANT& c = children[static_cast<std::size_t>(i)];
                if (c.vt == VT_I4) {
                    object->AddRef();
                    FElements.push_back({object, c.lVal});
                    Line(FElements.back(), depth + 1, dump);
                }
                VariantClear(&c);
            }
        }
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            Read(child, depth + 1, dump);
    }

    static void Line(const Element& e, int depth, std::string& dump) {
        wchar_t role[64] = {};
        GetRoleTextW(static_cast<DWORD>(e.Role()), role, 64);
        dump += std::string(static_cast<std::size_t>(depth) * 2, ' ') + Utf8(role) + " \"" +
                e.Name() + "\"";
        if (const std::string action = e.Text(&IAccessible::get_accDefaultAction); !action.empty())
            dump += " action=" + action;
        if (const std::string value = e.Text(&IAccessible::get_accValue); !value.empty())
            dump += " value=" + value;
        if (e.State() & STATE_SYSTEM_FOCUSABLE)
            dump += " focusable";
        if (e.State() & STATE_SYSTEM_FOCUSED)
            dump += " focused";
        dump += "\n";
    }

    void Release() {
        for (Element& e : FElements)
            e.object->Release();
        FElements.clear();
    }

    std::vector<Element> FElements;
};

TEST_F(ScreenReader, FindsNamesAndPressesThePlayersControls) {
    ASSERT_TRUE(Poll([&] { return Picture().second > 0; })) << Read();
    const std::string tree = Read();
    std::printf("%s", tree.c_str());

    struct Row {
        LONG role;
        const char* name;
        bool pressable;
    };
    for (const Row& r :
         {Row{ROLE_SYSTEM_PUSHBUTTON, "Bild zurück", true},
          Row{ROLE_SYSTEM_PUSHBUTTON, "Bild vor", true}, Row{ROLE_SYSTEM_PUSHBUTTON, "Pause", true},
          Row{ROLE_SYSTEM_LINK, "öffnen", true}, Row{ROLE_SYSTEM_LINK, "schließen", true},
          Row{ROLE_SYSTEM_SLIDER, "Bildposition", false}}) {
        SCOPED_TRACE(r.name);
        const Element* e = Find(r.role, r.name);
        ASSERT_NE(e, nullptr) << tree;
        EXPECT_EQ(!e->Text(&IAccessible::get_accDefaultAction).empty(), r.pressable);
        EXPECT_TRUE(e->State() & STATE_SYSTEM_FOCUSABLE);
    }

    // It plays; "Pause" stops it: a second passes without another frame.
    const auto first = Picture();
    ASSERT_TRUE(Poll([&] { return Picture() != first; })) << "not playing";
    ASSERT_TRUE(Press(ROLE_SYSTEM_PUSHBUTTON, "Pause"));
    ASSERT_TRUE(Poll([&] {
        Read();
        return Find(ROLE_SYSTEM_PUSHBUTTON, "Wiedergabe") != nullptr;
    }));
    std::pair<int, int> paused;
    ASSERT_TRUE(Poll([&] {
        paused = Picture();
        return !Poll([&] { return Picture() != paused; }, 1000);
    })) << "still playing";

    // "Bild vor" shows the next frame.
    ASSERT_TRUE(Press(ROLE_SYSTEM_PUSHBUTTON, "Bild vor"));
    const std::pair<int, int> next{paused.first % paused.second + 1, paused.second};
    EXPECT_TRUE(Poll([&] { return Picture() == next; }));

    // The keyboard: the slider has the focus, three Tabs reach the play button, Space presses it.
    ASSERT_TRUE(Poll([&] { return Focused(ROLE_SYSTEM_SLIDER, "Bildposition"); })) << Read();
    for (int i = 0; i < 3; ++i)
        Key(VK_TAB);
    ASSERT_TRUE(Poll([&] { return Focused(ROLE_SYSTEM_PUSHBUTTON, "Wiedergabe"); })) << Read();
    Key(VK_SPACE);
    EXPECT_TRUE(Poll([&] { return Focused(ROLE_SYSTEM_PUSHBUTTON, "Pause"); })) << Read();

    // "schließen" ends the program.
    ASSERT_TRUE(Press(ROLE_SYSTEM_LINK, "schließen"));
    ASSERT_EQ(WaitForSingleObject(FProcess, 10000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(FProcess, &code);
    EXPECT_EQ(code, 0u);
}

} // namespace
