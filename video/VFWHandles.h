#pragma once

#include "VFW.h"

#include <memory>

// Owners for the handles of the AVIFile and DrawDib operations, so that every path releases them.
struct AviFileCloser {
    void operator()(AVIFILE* f) const { AVIFileRelease(f); }
};
struct AviStreamCloser {
    void operator()(AVISTREAM* s) const { AVIStreamRelease(s); }
};
struct GetFrameCloser {
    void operator()(GETFRAME* g) const { AVIStreamGetFrameClose(g); }
};
struct DrawDibCloser {
    void operator()(DRAWDIB* d) const { DrawDibClose(d); }
};

using AviFilePtr = std::unique_ptr<AVIFILE, AviFileCloser>;
using AviStreamPtr = std::unique_ptr<AVISTREAM, AviStreamCloser>;
using GetFramePtr = std::unique_ptr<GETFRAME, GetFrameCloser>;
using DrawDibPtr = std::unique_ptr<DRAWDIB, DrawDibCloser>;
