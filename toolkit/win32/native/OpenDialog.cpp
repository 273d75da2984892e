#include "toolkit/win32/native/OpenDialog.h"

#include "toolkit/win32/Text.h"

namespace win32 {

namespace {

// Long enough for long paths (\\?\ and beyond MAX_PATH).
constexpr std::size_t FileNameCapacity = 32768;

} // namespace

OPENFILENAMEW OpenFileDialogSettings(HWND owner, std::wstring& buffer,
                                     const std::string& previous) {
    buffer.assign(FileNameCapacity, L'\0');
    const std::wstring wide = Widen(previous);
    if (wide.size() < FileNameCapacity)
        buffer.replace(0, wide.size(), wide);
    OPENFILENAMEW settings{};
    settings.lStructSize = sizeof settings;
    settings.hwndOwner = owner;
    settings.lpstrFile = buffer.data();
    settings.nMaxFile = static_cast<DWORD>(buffer.size());
    settings.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY;
    return settings;
}

std::optional<std::string> OpenFileDialog(HWND owner, const std::string& previous) {
    std::wstring buffer;
    OPENFILENAMEW settings = OpenFileDialogSettings(owner, buffer, previous);
    if (!GetOpenFileNameW(&settings))
        return std::nullopt;
    return Narrow(buffer.c_str());
}

} // namespace win32
