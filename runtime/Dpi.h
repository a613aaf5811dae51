// The display scale of a window: its DPI, and the design's 96-DPI units turned into pixels
// at that DPI and back. Layouts, default sizes and stored sizes are kept in 96-DPI units so
// that a 100 % screen sees exactly the design's numbers.
#pragma once

#include <windows.h>

namespace quennet {

inline constexpr int kDesignDpi = 96;

// The window's DPI where the system tells it per window; otherwise the screen's. A null
// window asks for the screen's.
int WindowDpi(HWND window);

// Design units to pixels at `dpi`, rounded as the system rounds (half away from zero).
inline int ScaleDesignUnits(int units, int dpi) {
    return MulDiv(units, dpi, kDesignDpi);
}

// Pixels at `dpi` back to design units, for values that are stored.
inline int DesignUnitsOf(int pixels, int dpi) {
    return dpi > 0 ? MulDiv(pixels, kDesignDpi, dpi) : pixels;
}

} // namespace quennet
