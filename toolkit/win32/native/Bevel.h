#pragma once

#include "toolkit/win32/native/Panel.h"

namespace win32 {

// An etched line along the top edge: a row in the shadow colour, the row below in the highlight
// colour; nothing else is drawn.
class Bevel : public GraphicControl {
public:
    using GraphicControl::GraphicControl;

protected:
    void Paint(HDC dc) override;
};

} // namespace win32
