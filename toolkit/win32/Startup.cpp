#include "toolkit/Startup.h"

#include "toolkit/Application.h"
#include "toolkit/win32/Console.h"
#include "toolkit/win32/Scale.h"
#include "toolkit/win32/Text.h"
#include "toolkit/win32/native/ComScope.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

namespace {

// The system's scale (the program is aware of the system's DPI, not each monitor's), lowered in
// quarter steps when the main window's minimum size would not fit the primary work area.
int ProgramDpi(int minWidth, int minHeight) {
    HDC screen = GetDC(nullptr);
    const int system = screen ? GetDeviceCaps(screen, LOGPIXELSY) : USER_DEFAULT_SCREEN_DPI;
    if (screen)
        ReleaseDC(nullptr, screen);
    const double current = std::max(system, 1) / double(USER_DEFAULT_SCREEN_DPI);
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        return std::max(system, 1);
    const double fitting =
        FittingScale(current, work.right - work.left, work.bottom - work.top, minWidth, minHeight);
    return static_cast<int>(std::lround(fitting * USER_DEFAULT_SCREEN_DPI));
}

} // namespace

// The system's own split of the command line in UTF-16, not the runtime's in the code page, so
// that every file name arrives; the program is named by its module's real path.
std::vector<String> ProgramArguments(int, char**) {
    std::wstring module(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
        if (length < module.size()) {
            module.resize(length);
            break;
        }
        module.resize(module.size() * 2);
    }
    std::vector<String> arguments{win32::Narrow(module)};
    for (std::string& argument : win32::CommandLineArguments())
        arguments.push_back(std::move(argument));
    return arguments;
}

bool WriteStandardStream(TStandardStream stream, const String& text) {
    return stream == TStandardStream::Output ? win32::WriteStandard(STD_OUTPUT_HANDLE, stdout, text)
                                             : win32::WriteStandard(STD_ERROR_HANDLE, stderr, text);
}

int StartApplication(const String& exePath, const std::vector<String>& words, std::size_t,
                     int minWidth, int minHeight, const TProgramBody& body) {
    win32::SetProgramDpi(ProgramDpi(minWidth, minHeight));
    // The open dialog and AVIFile's handlers are COM objects.
    const win32::ComScope com;
    TApplication app(exePath);
    // The system has no options of its own on the command line: every word is the program's.
    return body(app, words);
}
