#include "video/VFW.h"

namespace {

constexpr struct {
    HRESULT result;
    const char* text;
} kResultTexts[] = {
    {REGDB_E_CLASSNOTREG, "CLASSNOTREG"},
    {AVIERR_UNSUPPORTED, "UNSUPPORTED"},
    {AVIERR_BADFORMAT, "BADFORMAT"},
    {AVIERR_MEMORY, "MEMORY"},
    {AVIERR_INTERNAL, "INTERNAL"},
    {AVIERR_BADFLAGS, "BADFLAGS"},
    {AVIERR_BADPARAM, "BADPARM"},
    {AVIERR_BADSIZE, "BADSIZE"},
    {AVIERR_BADHANDLE, "BADHANDLE"},
    {AVIERR_FILEREAD, "FILEREAD"},
    {AVIERR_FILEWRITE, "FILEWRITE"},
    {AVIERR_FILEOPEN, "FILEOPEN"},
    {AVIERR_COMPRESSOR, "COMPRESSOR"},
    {AVIERR_NOCOMPRESSOR, "NOCOMPRESSOR"},
    {AVIERR_READONLY, "READONLY"},
    {AVIERR_NODATA, "NODATA"},
    {AVIERR_BUFFERTOOSMALL, "BUFFERTOOSMALL"},
    {AVIERR_CANTCOMPRESS, "CANTCOMPRESS"},
    {AVIERR_USERABORT, "USERABORT"},
    {AVIERR_ERROR, "ERROR"},
};

} // namespace

const char* AVIResultText(HRESULT hr) {
    for (const auto& row : kResultTexts) {
        if (row.result == hr)
            return row.text;
    }
    return "Unknown Error";
}
