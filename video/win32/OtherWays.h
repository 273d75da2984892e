#pragma once

// Where AVIFile cannot give the loader a scene's frames, another way in gives them behind the
// same calls (SceneStream.h): Media Foundation for a file AVIFile cannot open or has no
// decompressor for, our own conversion for uncompressed AVI frames that DrawDib cannot draw as
// AVIFile hands them out (rows from the top down, BI_BITFIELDS).

#include "VFW.h"

#include <string>

// After AVIFile opened `path` with the result `opened` (and `*file`, if it opened): the file the
// loader reads, AVIFile's or one of ours in its place, and the result to report. A file no way
// reads keeps AVIFile's answer.
HRESULT OpenOtherWays(PAVIFILE* file, HRESULT opened, const std::wstring& path);

// Once at the program's end.
void CloseOtherWays();
