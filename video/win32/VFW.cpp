#include "VFW.h"

#include <algorithm>
#include <climits>
#include <string>

LONG AVIStreamEnd(PAVISTREAM pavi) {
    const std::int64_t end = std::int64_t{AVIStreamStart(pavi)} + AVIStreamLength(pavi);
    return static_cast<LONG>(std::clamp<std::int64_t>(end, LONG_MIN, LONG_MAX));
}

HRESULT AVIFileOpenPath(PAVIFILE* ppfile, const char* path) {
    if (ppfile == nullptr || path == nullptr)
        return AVIERR_BADPARAM;
    *ppfile = nullptr;
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    if (units <= 0)
        return AVIERR_FILEOPEN;
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide.data(), units) != units)
        return AVIERR_FILEOPEN;
    return AVIFileOpenW(ppfile, wide.c_str(), OF_READ, nullptr);
}

void VideoStartup() {
    AVIFileInit();
}

void VideoShutdown() {
    AVIFileExit();
}
