// The gradient button's window-free logic: gradient line colours, glyph and caption
// placement, and how the look follows the mouse.
#pragma once

#include <vector>

#include "controls/ColorSchemes.h"

namespace quennet {

// Pen colours of the gradient's lines 0..n (n + 1 of them) for a face drawn from `top` to
// `bottom`: per-channel floating steps (grad - face) / n, each line rounded half to even.
// Empty when bottom < top. A zero-height face (n = 0) gets one line in the face colour.
std::vector<RgbColor> GradientLineColors(RgbColor face, RgbColor grad, int top, int bottom);

// Rounds half to even, as the painting's colour rounding does.
int RoundHalfEven(double v);

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

struct LayoutPoint {
    int x = 0, y = 0;
};

struct CaptionPlacement {
    LayoutPoint text;  // top-left of the caption rectangle
    LayoutPoint glyph; // top-left of the glyph (when there is one)
};

struct ButtonFaceMetrics {
    int width = 0, height = 0;           // button
    int textWidth = 0, textHeight = 0;   // measured caption
    int glyphWidth = 0, glyphHeight = 0; // 0 x 0: no glyph
    bool hasCaption = false;
    int spacing = 4;
    TButtonLayout layout = TButtonLayout::blGlyphLeft;
    bool down = false; // the pressed look shifts both by one pixel
};

CaptionPlacement PlaceCaptionAndGlyph(const ButtonFaceMetrics& m);

// The look as the mouse and the keyboard move it. Each handler returns true when the button
// must repaint at once.
class ButtonLooks {
  public:
    ButtonLook Look() const { return look_; }
    bool MouseHeld() const { return held_; }

    // Returns whether the hover sound should play (the caller checks UseSound).
    bool MouseEnter(bool hotTrack);
    void MouseLeave() { look_ = ButtonLook::Normal; }
    void LeftDown() {
        held_ = true;
        look_ = ButtonLook::Down;
    }
    // Click resets the look; the caller then runs ButtonUp for the same release.
    void Clicked() { look_ = ButtonLook::Normal; }
    void ButtonUp(int x, int y, int width, int height, bool hotTrack);
    void SpaceDown() { look_ = ButtonLook::Down; }
    void SpaceUp() { look_ = ButtonLook::Normal; }
    void FocusLost() { look_ = ButtonLook::Normal; }
    // The press ended without a release reaching the button (another window took the mouse).
    // Returns whether the look changed.
    bool CaptureLost();
    void Show(ButtonLook look) { look_ = look; }

  private:
    ButtonLook look_ = ButtonLook::Normal;
    bool held_ = false;
};

} // namespace quennet
