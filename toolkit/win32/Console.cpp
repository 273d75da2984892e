#include "toolkit/win32/Console.h"

#include "toolkit/Startup.h"
#include "toolkit/win32/Text.h"

#include <algorithm>

namespace win32 {
namespace {

bool IsOpen(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return IsOpen(handle) && GetConsoleMode(handle, &mode);
}

bool WriteConsoleText(HANDLE console, const std::string& text) {
    const std::wstring wide = Widen(text);
    for (std::size_t at = 0; at < wide.size();) {
        // The console of older systems takes at most 64 KB per call.
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - at, 8192));
        DWORD written = 0;
        if (!WriteConsoleW(console, wide.data() + at, chunk, &written, nullptr) || written == 0)
            return false;
        at += written;
    }
    return true;
}

} // namespace

bool WriteStandard(DWORD which, std::FILE* file, const std::string& text) {
    const HANDLE handle = GetStdHandle(which);
    if (IsConsole(handle))
        return WriteConsoleText(handle, text);
    if (IsOpen(handle) && GetFileType(handle) != FILE_TYPE_UNKNOWN)
        return WriteBytes(file, text);
    // Attached only for the write: a program that stayed attached would end with the prompt's
    // window and with every Ctrl+C typed there. Started from Explorer, there is no console.
    const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != FALSE;
    if (!attached && GetLastError() != ERROR_ACCESS_DENIED) // denied: a console is there already
        return WriteBytes(file, text);
    const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
    const bool ok = console != INVALID_HANDLE_VALUE && WriteConsoleText(console, text);
    if (console != INVALID_HANDLE_VALUE)
        CloseHandle(console);
    if (attached)
        FreeConsole();
    return ok;
}

} // namespace win32
