#include "VFW.h"

#include "OtherWays.h"
#include "base/Dib.h"
#include "base/Unicode.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

namespace {

bool FitsCodePage(const std::wstring& name) {
    BOOL lossy = FALSE;
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, nullptr, 0, nullptr,
                               &lossy) > 0 &&
           !lossy;
}

HRESULT OpenThroughAviFile(PAVIFILE* ppfile, const std::wstring& wide) {
    const HRESULT hr = AVIFileOpenW(ppfile, wide.c_str(), OF_READ, nullptr);
    if (hr != AVIERR_FILEOPEN || FitsCodePage(wide))
        return hr;
    // The system's file reader may still take the name through the ANSI code page (Wine's
    // does); the short name is plain ASCII wherever the volume keeps short names.
    const DWORD length = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (length == 0)
        return hr;
    std::wstring shortName(length, L'\0');
    const DWORD written = GetShortPathNameW(wide.c_str(), shortName.data(), length);
    if (written == 0 || written >= length)
        return hr;
    shortName.resize(written);
    if (shortName == wide)
        return hr;
    return AVIFileOpenW(ppfile, shortName.c_str(), OF_READ, nullptr);
}

} // namespace

LONG AVIStreamEnd(PAVISTREAM pavi) {
    const std::int64_t end = std::int64_t{AVIStreamStart(pavi)} + AVIStreamLength(pavi);
    return static_cast<LONG>(std::clamp<std::int64_t>(end, LONG_MIN, LONG_MAX));
}

HRESULT AVIFileOpenPath(PAVIFILE* ppfile, const char* path) {
    if (ppfile == nullptr || path == nullptr)
        return AVIERR_BADPARAM;
    *ppfile = nullptr;
    const auto name = Utf16Name(path);
    if (!name)
        return AVIERR_FILEOPEN;
    const std::wstring wide(name->begin(), name->end());
    // What AVIFile opens but cannot decode, or cannot open, another way may (OtherWays.h).
    return OpenOtherWays(ppfile, OpenThroughAviFile(ppfile, wide), wide);
}

UINT DrawDibRealize(HDRAWDIB hdd, HDC hdc, bool fBackground) {
    if ((GetDeviceCaps(hdc, RASTERCAPS) & RC_PALETTE) == 0)
        return 0; // no palette entries changed
    return DrawDibRealize(hdd, hdc, fBackground ? TRUE : FALSE);
}

void VideoStartup() {
    AVIFileInit();
}

void VideoShutdown() {
    CloseOtherWays();
    AVIFileExit();
}

// The layout rules take the record under its own name; the SDK's has the same fields.
std::int64_t DibBitsOffset(const BITMAPINFOHEADER& bi) {
    static_assert(sizeof(BITMAPINFOHEADER) == sizeof(DibHeader));
    DibHeader header;
    std::memcpy(&header, &bi, sizeof header);
    return DibBitsOffset(header);
}
