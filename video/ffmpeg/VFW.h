#pragma once

// The AVIFile and DrawDib operations the scene loader calls, with their classic names and
// records, implemented on FFmpeg. Nothing here throws.

#include "base/Dib.h"

#include <cstddef>
#include <cstdint>

using HRESULT = std::int32_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using UINT = unsigned int;
using WORD = std::uint16_t;
using BOOL = bool;

// The DIB info header of the frames the decompressor hands out.
using BITMAPINFOHEADER = DibHeader;

struct AVISTREAMINFOA {
    DWORD fccType;
    DWORD fccHandler;
    DWORD dwFlags;
    DWORD dwCaps;
    WORD wPriority;
    WORD wLanguage;
    DWORD dwScale;
    DWORD dwRate;
    DWORD dwStart;
    DWORD dwLength;
    DWORD dwInitialFrames;
    DWORD dwSuggestedBufferSize;
    DWORD dwQuality;
    DWORD dwSampleSize;
    struct {
        LONG left, top, right, bottom;
    } rcFrame;
    DWORD dwEditCount;
    DWORD dwFormatChangeCount;
    char szName[64];
};
static_assert(sizeof(AVISTREAMINFOA) == 140);
static_assert(offsetof(AVISTREAMINFOA, wPriority) == 16);
static_assert(offsetof(AVISTREAMINFOA, dwScale) == 20);
static_assert(offsetof(AVISTREAMINFOA, dwRate) == 24);
static_assert(offsetof(AVISTREAMINFOA, dwLength) == 32);
static_assert(offsetof(AVISTREAMINFOA, rcFrame) == 52);
static_assert(offsetof(AVISTREAMINFOA, szName) == 76);

struct AVIFILE;
struct AVISTREAM;
struct GETFRAME;
struct DRAWDIB;
using PAVIFILE = AVIFILE*;
using PAVISTREAM = AVISTREAM*;
using PGETFRAME = GETFRAME*;
using HDRAWDIB = DRAWDIB*;
constexpr DWORD streamtypeVIDEO = 0x73646976; // 'vids'
constexpr UINT OF_READ = 0;
constexpr UINT DDF_ANIMATE = 0x20;
constexpr DWORD BI_RGB = kDibRgb;
constexpr DWORD BI_BITFIELDS = kDibBitFields;

constexpr HRESULT AVIERR_OK = 0;
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT AVIERR_UNSUPPORTED = static_cast<HRESULT>(0x80044065u);
constexpr HRESULT AVIERR_BADFORMAT = static_cast<HRESULT>(0x80044066u);
constexpr HRESULT AVIERR_MEMORY = static_cast<HRESULT>(0x80044067u);
constexpr HRESULT AVIERR_INTERNAL = static_cast<HRESULT>(0x80044068u);
constexpr HRESULT AVIERR_BADFLAGS = static_cast<HRESULT>(0x80044069u);
constexpr HRESULT AVIERR_BADPARAM = static_cast<HRESULT>(0x8004406Au);
constexpr HRESULT AVIERR_BADSIZE = static_cast<HRESULT>(0x8004406Bu);
constexpr HRESULT AVIERR_BADHANDLE = static_cast<HRESULT>(0x8004406Cu);
constexpr HRESULT AVIERR_FILEREAD = static_cast<HRESULT>(0x8004406Du);
constexpr HRESULT AVIERR_FILEWRITE = static_cast<HRESULT>(0x8004406Eu);
constexpr HRESULT AVIERR_FILEOPEN = static_cast<HRESULT>(0x8004406Fu);
constexpr HRESULT AVIERR_COMPRESSOR = static_cast<HRESULT>(0x80044070u);
constexpr HRESULT AVIERR_NOCOMPRESSOR = static_cast<HRESULT>(0x80044071u);
constexpr HRESULT AVIERR_READONLY = static_cast<HRESULT>(0x80044072u);
constexpr HRESULT AVIERR_NODATA = static_cast<HRESULT>(0x80044073u);
constexpr HRESULT AVIERR_BUFFERTOOSMALL = static_cast<HRESULT>(0x80044074u);
constexpr HRESULT AVIERR_CANTCOMPRESS = static_cast<HRESULT>(0x80044075u);
constexpr HRESULT AVIERR_USERABORT = static_cast<HRESULT>(0x800440C6u);
constexpr HRESULT AVIERR_ERROR = static_cast<HRESULT>(0x800440C7u);
// Any other failure of the decoder; deliberately not an AVIERR code, so it reads "Unknown Error".
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

// Opens a scene for reading. Only OF_READ and no handler class are supported.
HRESULT AVIFileOpenA(PAVIFILE* ppfile, const char* szFile, UINT uMode, const void* lpHandler);
// Files and streams are reference-counted: streams keep their file alive, decompressors their
// stream, so any release order is safe. Returns the references left.
ULONG AVIFileRelease(PAVIFILE pfile);
// The lParam-th video stream ('vids' or 0); AVIERR_NODATA when there is none.
HRESULT AVIFileGetStream(PAVIFILE pfile, PAVISTREAM* ppavi, DWORD fccType, LONG lParam);
LONG AVIStreamStart(PAVISTREAM pavi);
// Informational (from the header); the real frame count is what AVIStreamGetFrame yields.
LONG AVIStreamLength(PAVISTREAM pavi);
// Only lpbiWanted nullptr (the decompressor chooses) is supported. nullptr when no decoder can be
// opened, the picture is beyond the size limit (as declared, or when every picture decoded before
// the first good one was refused for its size), or another decompressor reads the same file.
PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM pavi, const BITMAPINFOHEADER* lpbiWanted);
// For AVI files dwRate and dwScale are the stream header's raw values, zeros included.
HRESULT AVIStreamInfoA(PAVISTREAM pavi, void* psi, LONG lSize);
HRESULT AVIStreamBeginStreaming(PAVISTREAM pavi, LONG lStart, LONG lEnd, LONG lRate);
HRESULT AVIStreamEndStreaming(PAVISTREAM pavi);
// The packed DIB of frame lPos (frames count from 0), owned by the decompressor and valid until
// its next call, or nullptr past the last frame. Asking again for the same frame returns it
// again; asking for an earlier one restarts the decode from the start (nullptr if the file
// cannot seek).
void* AVIStreamGetFrame(PGETFRAME pg, LONG lPos);
HRESULT AVIStreamGetFrameClose(PGETFRAME pg);
ULONG AVIStreamRelease(PAVISTREAM pavi);

HDRAWDIB DrawDibOpen();
BOOL DrawDibClose(HDRAWDIB hdd);
BOOL DrawDibStart(HDRAWDIB hdd, DWORD rate);
BOOL DrawDibStop(HDRAWDIB hdd);
BOOL DrawDibEnd(HDRAWDIB hdd);

// Here DrawDibDraw hands a whole picture of AVIStreamGetFrame, drawn at (0, 0) onto a target of
// its size, to the target instead of copying it, if the target takes it; ySrc counts from the top
// row of the picture, and lpBits nullptr means the pixels follow the header. AVIFileOpenPath
// gives the path's bytes to AVIFileOpenA as they are. VideoStartup silences FFmpeg and caps the
// size of its allocations.
#include "video/VFWAdditions.h"
