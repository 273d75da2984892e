#include "toolkit/win32/native/Bevel.h"

namespace win32 {

void Bevel::Paint(HDC dc) {
    Fill(dc, 0, 0, Width(), 1, BtnShadow);
    Fill(dc, 0, 1, Width(), 1, BtnHighlight);
}

} // namespace win32
