// The glyph check box's window-free geometry: frame, box, caption and focus rectangle,
// which pictures to draw, and the hot-tracking checkerboard.
#pragma once

#include "controls/ButtonLogic.h"

namespace quennet {

enum class TCheckAlignment { taRightJustify, taLeftJustify };
enum class TCheckStyle { bmNone, bmLowered, bmRaised, bmSimple };
enum class TImageType { igCrossRed, igHookBlue, igCirce, igCrossBlue, igCrossGreen, igHookLime, igHookRed };

struct LayoutRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

constexpr int kCheckPictureSize = 16;

// The box's fixed distances, in pixels of the display: the design's at 100 %.
struct CheckMetrics {
    int picture = kCheckPictureSize; // side of the square pictures
    int margin = 2;                  // between the frame and the box, or the caption
    int captionLeft = 22;            // caption's left when the box is on the left
};

struct CheckLayout {
    LayoutRect inner;   // what is left inside the frame
    LayoutRect caption; // where the caption is drawn (clipped to this)
    LayoutPoint box;    // top-left of the square pictures
    LayoutRect focus;   // dotted focus rectangle round the caption
};

// `ampersandWidth` is the width of "&" when the caption has one, else 0.
CheckLayout LayoutGlyphCheck(int width, int height, TCheckStyle style, TCheckAlignment alignment,
                             int textWidth, int textHeight, int ampersandWidth,
                             const CheckMetrics& metrics = {});

// Resource names of the pictures: the box, and what goes over it when checked. A disabled
// checked box gets its own disabled box again, so it shows no mark.
const char* CheckBoxPictureName(bool enabled, bool flat);
const char* CheckMarkPictureName(TImageType type, bool enabled, bool flat);

// The shared 8 x 8 hot pattern: where row and column are both even or both odd, the
// button-highlight colour; elsewhere the control's own colour.
constexpr int kHotPatternSize = 8;
constexpr bool HotPatternIsHighlight(int x, int y) {
    return (x % 2) == (y % 2);
}

} // namespace quennet
