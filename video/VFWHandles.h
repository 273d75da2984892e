#pragma once

#include "video/VFW.h"

#include <memory>
#include <type_traits>

// Owners for the handles of the AVIFile and DrawDib operations, so that every path releases them.
// Each names its handle type, so the owners fit the system's handles on Windows and ours on Linux.
struct AviFileCloser {
    using pointer = PAVIFILE;
    void operator()(PAVIFILE f) const { AVIFileRelease(f); }
};
struct AviStreamCloser {
    using pointer = PAVISTREAM;
    void operator()(PAVISTREAM s) const { AVIStreamRelease(s); }
};
struct GetFrameCloser {
    using pointer = PGETFRAME;
    void operator()(PGETFRAME g) const { AVIStreamGetFrameClose(g); }
};
struct DrawDibCloser {
    using pointer = HDRAWDIB;
    void operator()(HDRAWDIB d) const { DrawDibClose(d); }
};

using AviFilePtr = std::unique_ptr<std::remove_pointer_t<PAVIFILE>, AviFileCloser>;
using AviStreamPtr = std::unique_ptr<std::remove_pointer_t<PAVISTREAM>, AviStreamCloser>;
using GetFramePtr = std::unique_ptr<std::remove_pointer_t<PGETFRAME>, GetFrameCloser>;
using DrawDibPtr = std::unique_ptr<std::remove_pointer_t<HDRAWDIB>, DrawDibCloser>;
