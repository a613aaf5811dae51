#pragma once
// The hex view's thirteen colours and the two derived colour operations of its painting.
#include "runtime/Types.h"

struct THexColors {
    quennet::TColor Background = quennet::clWindow;
    quennet::TColor ChangedBackground = RGB(255, 255, 168);
    quennet::TColor ChangedText = RGB(128, 0, 0);
    quennet::TColor CursorFrame = RGB(0, 0, 128);
    quennet::TColor Offset = RGB(0, 0, 0);
    quennet::TColor OddColumn = RGB(0, 0, 255);
    quennet::TColor EvenColumn = RGB(0, 0, 128);
    quennet::TColor CurrentOffsetBackground = quennet::clBtnShadow;
    quennet::TColor OffsetBackground = quennet::clBtnFace;
    quennet::TColor CurrentOffset = quennet::clBtnHighlight;
    quennet::TColor Grid = quennet::clBtnFace;
    quennet::TColor NonFocusCursorFrame = RGB(0, 255, 255);
    quennet::TColor ActiveFieldBackground = quennet::clWindow;
};

inline COLORREF HexInverse(quennet::TColor c) {
    return quennet::ColorToRGB(c) ^ 0xFFFFFF;
}

inline COLORREF HexGray(quennet::TColor c) {
    COLORREF rgb = quennet::ColorToRGB(c);
    unsigned l = (GetRValue(rgb) * 74u + GetGValue(rgb) * 146u + GetBValue(rgb) * 36u) / 256u;
    return RGB(l, l, l);
}
