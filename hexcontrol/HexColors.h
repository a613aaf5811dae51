#pragma once
// The hex view's thirteen colours and the two derived colour operations of its painting.
#include "runtime/Types.h"

namespace quennet {

struct THexColors {
    TColor Background = clWindow;
    TColor ChangedBackground = RGB(255, 255, 168);
    TColor ChangedText = RGB(128, 0, 0);
    TColor CursorFrame = RGB(0, 0, 128);
    TColor Offset = RGB(0, 0, 0);
    TColor OddColumn = RGB(0, 0, 255);
    TColor EvenColumn = RGB(0, 0, 128);
    TColor CurrentOffsetBackground = clBtnShadow;
    TColor OffsetBackground = clBtnFace;
    TColor CurrentOffset = clBtnHighlight;
    TColor Grid = clBtnFace;
    TColor NonFocusCursorFrame = RGB(0, 255, 255);
    TColor ActiveFieldBackground = clWindow;
};

inline COLORREF HexInverse(TColor c) {
    return ColorToRGB(c) ^ 0xFFFFFF;
}

inline COLORREF HexGray(TColor c) {
    COLORREF rgb = ColorToRGB(c);
    unsigned l = (GetRValue(rgb) * 74u + GetGValue(rgb) * 146u + GetBValue(rgb) * 36u) / 256u;
    return RGB(l, l, l);
}

} // namespace quennet
