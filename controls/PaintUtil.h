// Small drawing helpers shared by the controls: an off-screen buffer and transparent blits.
#pragma once

#include <windows.h>

#include "runtime/Handles.h"

namespace quennet {

// A memory DC with a bitmap of the given size selected, compatible with `reference`.
class OffscreenBuffer {
  public:
    OffscreenBuffer(HDC reference, int width, int height);
    HDC dc() const { return dc_.get(); }
    // Copies the whole buffer to (0,0) of `target`.
    void CopyTo(HDC target) const;

  private:
    int width_, height_;
    MemoryDC dc_;
    GdiBitmap bitmap_;
    SelectGuard select_;
};

// Draws `bitmap` at (x, y), leaving the pixels of colour `transparent` untouched.
void DrawTransparentBitmap(HDC target, int x, int y, HBITMAP bitmap, COLORREF transparent);
// Draws `bitmap` at (x, y) as it is.
void DrawBitmap(HDC target, int x, int y, HBITMAP bitmap);
// The colour of one pixel of a bitmap.
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y);
SIZE BitmapSize(HBITMAP bitmap);

// Filled rectangle, outline and polyline with solid one-pixel pens.
void FillSolid(HDC dc, const RECT& r, COLORREF color);
void FrameSolid(HDC dc, const RECT& r, COLORREF color); // like Rectangle with a clear brush
void LineSolid(HDC dc, COLORREF color, const POINT* points, int count);

} // namespace quennet
