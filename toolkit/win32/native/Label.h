#pragma once

#include "toolkit/win32/native/Panel.h"

#include <functional>
#include <string>

namespace win32 {

struct Font {
    std::string Name = "MS Sans Serif";
    int Height = 11; // character height in pixels
    std::uint32_t Color = 0;
    bool Bold = false;
    bool Underline = false;
};

// A line of text; sized to its caption when AutoSize is on (left and top kept). Transparent: only
// the text is drawn. A left press holds the pointer until its release, so that the release is
// reported wherever it happens; the rules of a click belong to the owner.
class Label : public GraphicControl {
public:
    Label(Panel& parent, int left, int top, int width, int height);
    ~Label() override;

    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return FCaption; }
    void SetFont(const Font& font);
    HFONT FontHandle() const { return FFont; }
    void SetColor(Color color);
    void SetTransparent(bool transparent);
    void SetAutoSize(bool autoSize);
    // The caption's extent in the label's font.
    SIZE TextSize() const;

    // Positions relative to the label.
    std::function<void(MouseButton, int x, int y)> OnMouseDown;
    std::function<void(MouseButton, int x, int y)> OnMouseUp;

protected:
    void Paint(HDC dc) override;
    void MouseDown(MouseButton button, unsigned shift, int x, int y) override;
    void MouseUp(MouseButton button, unsigned shift, int x, int y) override;

private:
    void Fit();

    std::string FCaption;
    Font FFontSpec;
    HFONT FFont = nullptr;
    Color FColor = 0xFFFFFF;
    bool FTransparent = false;
    bool FAutoSize = false;
};

} // namespace win32
