#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The types the program's own code speaks, the same on every platform; each back end converts at
// its own edges.

// UTF-8 text. File names are the file system's bytes (UTF-8 in practice); where the system takes
// UTF-16 the back end converts at the call.
using String = std::string;

// The sender of an event.
class TObject {
public:
    virtual ~TObject() = default;
    String Name;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// 0x00RRGGBB.
using TColor = std::uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
// The 3-D colours of the old platform's controls.
constexpr TColor clBtnHighlight = 0xFFFFFF;
constexpr TColor clBtnShadow = 0xA0A0A0;

// Height is the character height in pixels.
struct TFont {
    String Name;
    int Height = 0;
    TColor Color = clBlack;
    bool Bold = false;
    bool Underline = false;
};

enum class TWindowState { Normal, Minimized, Maximized };

enum class TMouseButton { Left, Right, Middle };

using TShiftState = unsigned;
constexpr TShiftState ssShift = 1u << 0;
constexpr TShiftState ssAlt = 1u << 1;
constexpr TShiftState ssCtrl = 1u << 2;
constexpr TShiftState ssLeft = 1u << 3;
constexpr TShiftState ssRight = 1u << 4;
constexpr TShiftState ssMiddle = 1u << 5;

struct TPoint {
    int X = 0;
    int Y = 0;
};
