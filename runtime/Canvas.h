// Drawing helpers: a thin canvas over a DC, an off-screen buffer for flicker-free painting,
// and capturing what a control paints (for tests that read pixels back).
//
//   void TMyControl::Paint(HDC dc) {
//       TOffscreen buffer(dc, Width(), Height());
//       TCanvas& c = buffer.Canvas();
//       c.FillRect({0, 0, Width(), Height()}, face);
//       c.TextOut(4, 2, Caption(), FontHandle(), clBlack);
//       buffer.CopyTo(dc);
//   }
#pragma once

#include "runtime/Handles.h"
#include "runtime/Types.h"

#include <string>
#include <vector>

namespace quennet {

class TWinControl;
struct TFont;

// Draws on a DC it does not own. Every call sets the pen, brush and colours it needs and
// puts the DC's own back, so calls do not depend on each other.
class TCanvas {
  public:
    explicit TCanvas(HDC dc) : dc_(dc) {}
    HDC Handle() const { return dc_; }

    void FillRect(const RECT& r, TColor color);
    void FrameRect(const RECT& r, TColor color); // one pixel inside r
    // GDI's Rectangle with a clear brush: outline from (left, top) to (right-1, bottom-1).
    void Rectangle(const RECT& r, TColor pen);
    // A line from the first point through the others; as LineTo, the last pixel is left out.
    void Polyline(std::initializer_list<POINT> points, TColor pen) {
        Polyline(points.begin(), static_cast<int>(points.size()), pen);
    }
    void Polyline(const POINT* points, int count, TColor pen);
    void Line(int x1, int y1, int x2, int y2, TColor pen) { Polyline({{x1, y1}, {x2, y2}}, pen); }
    void SetPixel(int x, int y, TColor color);
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }

    SIZE TextExtent(const std::string& text, HFONT font) const;
    // Text with a clear background.
    void TextOut(int x, int y, const std::string& text, HFONT font, TColor color);
    void DrawText(RECT r, const std::string& text, UINT format, HFONT font, TColor color);
    void DrawFocusRect(const RECT& r) { ::DrawFocusRect(dc_, &r); }

    void Draw(int x, int y, HBITMAP bitmap);
    // Leaves out the pixels of colour `transparent`.
    void DrawTransparent(int x, int y, HBITMAP bitmap, COLORREF transparent);
    // The same for one part of the bitmap (a glyph of a strip), drawn with its top-left at (x, y).
    void DrawTransparent(int x, int y, HBITMAP bitmap, COLORREF transparent, const RECT& part);

  private:
    HDC dc_;
};

// A GDI font for `font` at `dpi` (0: the screen's resolution): the one place that makes fonts.
GdiFont CreateFontFor(const TFont& font, int dpi = 0);

SIZE BitmapSize(HBITMAP bitmap);
// The colour of one pixel of a bitmap (for "the bottom-left pixel is transparent").
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y);
// A smoothly resampled copy of `bitmap` at the given size, for pictures drawn at one size
// only; made once and kept, as resampling is too slow for every paint. Pixels of the
// `transparent` colour (CLR_INVALID: none) stay that colour and do not tint the edges.
GdiBitmap StretchedBitmap(HBITMAP bitmap, int width, int height, COLORREF transparent = CLR_INVALID);

// A picture made for 96 DPI as drawn at a window's DPI: resampled when the DPI changes.
class TScaledPicture {
  public:
    HBITMAP At(HBITMAP design, int dpi, COLORREF transparent = CLR_INVALID);
    void Forget() { dpi_ = 0; } // the design picture changed

  private:
    GdiBitmap scaled_;
    int dpi_ = 0;
    COLORREF transparent_ = CLR_INVALID;
};

// A memory DC with a colour bitmap of the given size, compatible with `target` (the
// screen when `target` is null or itself a memory DC).
class TOffscreen {
  public:
    TOffscreen(HDC target, int width, int height);
    HDC DC() const { return dc_.get(); }
    TCanvas& Canvas() { return canvas_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void CopyTo(HDC target, int x = 0, int y = 0) const;

  private:
    int width_, height_;
    MemoryDC dc_;
    GdiBitmap bitmap_;
    SelectGuard selection_; // declared last: the bitmap leaves the DC before either is freed
    TCanvas canvas_;
};

// Lets a control's parent paint itself (background and content) into `dc`, shifted so that
// the parent's part under the control lands at (0, 0): the look of a transparent control.
void PaintParentBackground(TWinControl& control, HDC dc);

// A control's client area as it paints it, read back pixel by pixel.
struct TCapturedImage {
    int Width = 0;
    int Height = 0;
    std::vector<COLORREF> Pixels; // row by row, top row first
    COLORREF At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

// Asks the control to paint its client area into a bitmap (WM_PRINTCLIENT).
TCapturedImage CaptureClient(TWinControl& control);
// Copies what is on a DC; for bitmaps painted by code under test.
TCapturedImage CaptureDC(HDC dc, int width, int height);

} // namespace quennet
