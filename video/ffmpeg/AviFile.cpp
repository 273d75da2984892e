// The AVIFile operations on FFmpeg: files and streams are reference-counted handles around one
// demuxer; a decompressor (GETFRAME) owns the decoder.

#include "AviHeader.h"
#include "FFmpegPtr.h"
#include "FrameReader.h"
#include "VFW.h"
#include "video/VFWHandles.h"

extern "C" {
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

struct AVIFILE {
    ULONG refs = 1;
    FormatPtr format;
    std::optional<AviHeader> avi; // our own reading of the headers, for AVI files
    bool readerOpen = false;      // one decompressor at a time reads the demuxer
    bool consumed = false;        // packets were read: the next reader rewinds
    bool probed = false;          // stream info was probed (its packets stay buffered)
};

struct AVISTREAM {
    ULONG refs = 1;
    AviFilePtr file; // one reference
    int index = -1;
};

struct GETFRAME {
    AviStreamPtr stream; // one reference; outlives the reader
    std::unique_ptr<FrameReader> reader;
};

namespace {

// Demuxers we accept: AVI, and the MP4/QuickTime and Matroska/WebM families.
constexpr const char* kFormats = "avi,mov,mp4,m4a,3gp,3g2,mj2,matroska,webm";
constexpr const char* kProbeBytes = "1048576";
constexpr const char* kAnalyzeMicroseconds = "2000000";
// The largest block FFmpeg may allocate: a picture at the pixel limit in the widest pixel format
// (8 bytes per pixel), with room for padding. Without a cap, a count read from a hostile header
// becomes the size of one allocation (an MP4 'stss' of a few bytes asked for 1.8 GB).
constexpr std::size_t kMaxAllocation = std::size_t(kMaxFramePixels) * 8 + (std::size_t{16} << 20);

// The one table from FFmpeg's errors to our results; anything not listed fails with E_FAIL.
constexpr struct {
    int error;
    HRESULT result;
} kOpenResults[] = {
    {AVERROR_INVALIDDATA, AVIERR_BADFORMAT}, {AVERROR_DEMUXER_NOT_FOUND, AVIERR_BADFORMAT},
    {AVERROR(EINVAL), AVIERR_BADFORMAT}, // the probed format is not on our list
    {AVERROR_EOF, AVIERR_BADFORMAT},     // empty, or ends inside the header
    {AVERROR(EACCES), AVIERR_FILEOPEN},      {AVERROR(EPERM), AVIERR_FILEOPEN},
    {AVERROR(ENOENT), AVIERR_FILEOPEN},      {AVERROR(EISDIR), AVIERR_FILEOPEN},
    {AVERROR(ENOTDIR), AVIERR_FILEOPEN},     {AVERROR(ENAMETOOLONG), AVIERR_FILEOPEN},
    {AVERROR(ELOOP), AVIERR_FILEOPEN},       {AVERROR(EIO), AVIERR_FILEREAD},
    {AVERROR(ENOMEM), AVIERR_MEMORY},
};

HRESULT OpenResult(int error) {
    for (const auto& row : kOpenResults) {
        if (row.error == error)
            return row.result;
    }
    return E_FAIL;
}

void Silent(void*, int, const char*, va_list) {}

// Takes one more reference to a file or stream, for an owner that gives it up again.
template <class Owner> Owner Retain(typename Owner::pointer h) {
    ++h->refs;
    return Owner(h);
}

// Drops one reference; the last one deletes the handle, and with it the references it holds.
// Returns the references left.
template <class Handle> ULONG Release(Handle* h) {
    if (!h)
        return 0;
    if (--h->refs > 0)
        return h->refs;
    delete h;
    return 0;
}

// The demuxer's options: our formats only, read from files only, bounded probing.
DictPtr OpenOptions() {
    AVDictionary* options = nullptr;
    av_dict_set(&options, "format_whitelist", kFormats, 0);
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "formatprobesize", kProbeBytes, 0);
    av_dict_set(&options, "probesize", kProbeBytes, 0);
    av_dict_set(&options, "analyzeduration", kAnalyzeMicroseconds, 0);
    return DictPtr(options);
}

bool IsAvi(const AVIFILE& f) {
    return std::strcmp(f.format->iformat->name, "avi") == 0;
}

// The raw 'strh' of a stream, when the file is an AVI that has one for it.
const AviStreamHeader* RawHeader(const AVISTREAM& s) {
    const auto& avi = s.file->avi;
    if (!avi || s.index < 0 || std::size_t(s.index) >= avi->streams.size())
        return nullptr;
    return &avi->streams[std::size_t(s.index)];
}

const AVStream* Stream(const AVISTREAM& s) {
    return s.file->format->streams[s.index];
}

AVRational FrameRate(const AVStream& st) {
    AVRational r = st.avg_frame_rate;
    if (r.num <= 0 || r.den <= 0)
        r = st.r_frame_rate;
    if (r.num <= 0 || r.den <= 0)
        r = AVRational{25, 1};
    return r;
}

// AV_TIME_BASE_Q is a C compound literal, which C++ compilers only accept as an extension.
constexpr AVRational kMicroseconds{1, AV_TIME_BASE};

LONG ClampLong(std::int64_t v) {
    return LONG(std::clamp<std::int64_t>(v, 0, INT32_MAX));
}

// Stream info from the first packets, bounded by the open options in bytes and time, and by
// our pixel limit in the decoders it runs.
void ProbeStreams(AVFormatContext* fc) {
    try {
        std::vector<AVDictionary*> options(fc->nb_streams, nullptr);
        const std::string maxPixels = std::to_string(kMaxFramePixels);
        for (AVDictionary*& o : options)
            av_dict_set(&o, "max_pixels", maxPixels.c_str(), 0);
        avformat_find_stream_info(fc, options.data());
        for (AVDictionary*& o : options)
            av_dict_free(&o);
    } catch (const std::bad_alloc&) {
        // Without stream info the reader refuses what it cannot size.
    }
}

} // namespace

HRESULT AVIFileOpenA(PAVIFILE* ppfile, const char* szFile, UINT uMode, const void* lpHandler) {
    if (!ppfile)
        return AVIERR_BADPARAM;
    *ppfile = nullptr;
    if (!szFile)
        return AVIERR_BADPARAM;
    if (lpHandler)
        return REGDB_E_CLASSNOTREG; // there are no handler classes here
    if (uMode != OF_READ)
        return AVIERR_READONLY;
    try {
        // The prefix keeps a name with a colon from being taken for another protocol.
        const std::string url = std::string("file:") + szFile;
        auto file = std::make_unique<AVIFILE>();
        AVFormatContext* format = avformat_alloc_context();
        if (!format)
            return AVIERR_MEMORY;
        // FFmpeg hands back the options it did not use; on failure it frees the context itself.
        AVDictionary* options = OpenOptions().release();
        const int opened = avformat_open_input(&format, url.c_str(), nullptr, &options);
        DictPtr unused(options);
        if (opened < 0)
            return OpenResult(opened);
        file->format.reset(format);
        if (IsAvi(*file))
            file->avi = ReadAviHeader(szFile);
        *ppfile = file.release();
        return AVIERR_OK;
    } catch (const std::bad_alloc&) {
        return AVIERR_MEMORY;
    }
}

HRESULT AVIFileOpenPath(PAVIFILE* ppfile, const char* path) {
    return AVIFileOpenA(ppfile, path, OF_READ, nullptr);
}

ULONG AVIFileRelease(PAVIFILE pfile) {
    return Release(pfile);
}

HRESULT AVIFileGetStream(PAVIFILE pfile, PAVISTREAM* ppavi, DWORD fccType, LONG lParam) {
    if (!ppavi)
        return AVIERR_BADPARAM;
    *ppavi = nullptr;
    if (!pfile)
        return AVIERR_BADHANDLE;
    if ((fccType != 0 && fccType != streamtypeVIDEO) || lParam < 0)
        return AVIERR_NODATA;
    AVFormatContext* fc = pfile->format.get();
    LONG seen = 0;
    for (unsigned i = 0; i < fc->nb_streams; ++i) {
        const AVStream* st = fc->streams[i];
        // Cover art in MP4 and Matroska is a video stream of one picture, not the scene.
        if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO ||
            (st->disposition & AV_DISPOSITION_ATTACHED_PIC) || seen++ != lParam)
            continue;
        // A codec the container does not name, or a picture size it leaves to the codec's own
        // header, needs probing (MP4 and 3GP give MPEG-4 Part 2 and H.263 a size of 0 x 0,
        // which the reader would refuse as out of bounds).
        const AVCodecParameters* par = st->codecpar;
        const bool unknown =
            par->codec_id == AV_CODEC_ID_PROBE || par->width <= 0 || par->height <= 0;
        if (unknown && !pfile->probed && !pfile->consumed) {
            pfile->probed = true;
            ProbeStreams(fc);
        }
        auto* stream = new (std::nothrow) AVISTREAM;
        if (!stream)
            return AVIERR_MEMORY;
        stream->file = Retain<AviFilePtr>(pfile);
        stream->index = int(i);
        *ppavi = stream;
        return AVIERR_OK;
    }
    return AVIERR_NODATA;
}

LONG AVIStreamStart(PAVISTREAM pavi) {
    if (!pavi)
        return 0;
    const AviStreamHeader* raw = RawHeader(*pavi);
    return raw ? ClampLong(raw->dwStart) : 0;
}

LONG AVIStreamLength(PAVISTREAM pavi) {
    if (!pavi)
        return 0;
    std::int64_t length = 0;
    if (const AviStreamHeader* raw = RawHeader(*pavi)) {
        length = raw->dwLength;
    } else {
        const AVStream* st = Stream(*pavi);
        const AVRational frameTime = av_inv_q(FrameRate(*st));
        const std::int64_t whole = pavi->file->format->duration; // Matroska has only this
        if (st->nb_frames > 0)
            length = st->nb_frames;
        else if (st->duration > 0)
            length = av_rescale_q(st->duration, st->time_base, frameTime);
        else if (whole > 0)
            length = av_rescale_q(whole, kMicroseconds, frameTime);
    }
    // Capped so that start + length never overflows, also for whoever adds them up.
    return ClampLong(std::min<std::int64_t>(length, INT32_MAX - AVIStreamStart(pavi)));
}

LONG AVIStreamEnd(PAVISTREAM pavi) {
    return AVIStreamStart(pavi) + AVIStreamLength(pavi);
}

PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM pavi, const BITMAPINFOHEADER* lpbiWanted) {
    if (!pavi || lpbiWanted || pavi->file->readerOpen)
        return nullptr;
    AVIFILE* file = pavi->file.get();
    FrameReader::Source source;
    source.format = file->format.get();
    source.stream = pavi->index;
    source.fillGaps = IsAvi(*file);
    source.rewind = file->consumed;
    if (file->avi && file->avi->hasIndex &&
        std::size_t(pavi->index) < file->avi->indexedFrames.size())
        source.indexedFrames = file->avi->indexedFrames[std::size_t(pavi->index)];
    try {
        auto frames = std::make_unique<GETFRAME>();
        frames->reader = FrameReader::Open(source);
        if (!frames->reader)
            return nullptr;
        // The container's size can lie: when the pictures themselves are all beyond the size
        // limit, there is no decompressor for this stream either. Frame 0 stays for the caller.
        file->consumed = true;
        if (!frames->reader->Frame(0) && frames->reader->RefusedForSize())
            return nullptr;
        frames->stream = Retain<AviStreamPtr>(pavi);
        file->readerOpen = true;
        return frames.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HRESULT AVIStreamInfoA(PAVISTREAM pavi, void* psi, LONG lSize) {
    if (!pavi)
        return AVIERR_BADHANDLE;
    if (!psi || lSize < 0)
        return AVIERR_BADPARAM;
    const AVStream* st = Stream(*pavi);
    AVISTREAMINFOA info{};
    info.fccType = streamtypeVIDEO;
    info.fccHandler = st->codecpar->codec_tag;
    info.rcFrame = {0, 0, st->codecpar->width, st->codecpar->height};
    if (const AviStreamHeader* raw = RawHeader(*pavi)) {
        // As stored: a zero rate or scale is the file's, and the program must see it.
        info.fccType = raw->fccType;
        info.fccHandler = raw->fccHandler;
        info.dwFlags = raw->dwFlags;
        info.wPriority = raw->wPriority;
        info.wLanguage = raw->wLanguage;
        info.dwScale = raw->dwScale;
        info.dwRate = raw->dwRate;
        info.dwStart = raw->dwStart;
        info.dwLength = raw->dwLength;
        info.dwInitialFrames = raw->dwInitialFrames;
        info.dwSuggestedBufferSize = raw->dwSuggestedBufferSize;
        info.dwQuality = raw->dwQuality;
        info.dwSampleSize = raw->dwSampleSize;
        if (raw->hasFrame)
            info.rcFrame = {raw->rcFrame[0], raw->rcFrame[1], raw->rcFrame[2], raw->rcFrame[3]};
    } else {
        const AVRational rate = FrameRate(*st);
        info.dwRate = DWORD(rate.num);
        info.dwScale = DWORD(rate.den);
        info.dwLength = DWORD(AVIStreamLength(pavi));
    }
    if (const AVDictionaryEntry* title = av_dict_get(st->metadata, "title", nullptr, 0))
        std::strncpy(info.szName, title->value, sizeof info.szName - 1);
    std::memcpy(psi, &info, std::min<std::size_t>(std::size_t(lSize), sizeof info));
    return AVIERR_OK;
}

HRESULT AVIStreamBeginStreaming(PAVISTREAM pavi, LONG, LONG, LONG) {
    // Only a hint to read ahead; FFmpeg reads ahead on its own.
    return pavi ? AVIERR_OK : AVIERR_BADHANDLE;
}

HRESULT AVIStreamEndStreaming(PAVISTREAM pavi) {
    return pavi ? AVIERR_OK : AVIERR_BADHANDLE;
}

void* AVIStreamGetFrame(PGETFRAME pg, LONG lPos) {
    if (!pg)
        return nullptr;
    return const_cast<BITMAPINFOHEADER*>(pg->reader->Frame(lPos));
}

HRESULT AVIStreamGetFrameClose(PGETFRAME pg) {
    if (!pg)
        return AVIERR_BADHANDLE;
    pg->reader.reset();
    pg->stream->file->readerOpen = false;
    delete pg; // with its reference to the stream
    return AVIERR_OK;
}

ULONG AVIStreamRelease(PAVISTREAM pavi) {
    return Release(pavi);
}

void VideoStartup() {
    av_log_set_level(AV_LOG_QUIET);
    av_log_set_callback(Silent);
    av_max_alloc(kMaxAllocation);
}

void VideoShutdown() {
    // FFmpeg keeps no global state that needs tearing down; restore its default logger and
    // allocation cap for whatever runs after us in the same process.
    av_log_set_callback(av_log_default_callback);
    av_max_alloc(INT_MAX);
}
