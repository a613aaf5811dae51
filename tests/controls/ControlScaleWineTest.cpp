// The owner-drawn controls at the display scale of the prefix they run in: their fixed
// distances and their pictures grow with the window's DPI.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "controls/GlyphCheck.h"
#include "controls/GradientButton.h"
#include "controls/Spin.h"
#include "runtime/Canvas.h"
#include "runtime/Dpi.h"
#include "ControlTestSupport.h"

namespace quennet {
namespace {

using namespace quennet::testing;

struct Span {
    int first = -1, end = -1; // columns [first, end) holding something other than the background
    int Width() const { return end - first; }
};

// The first run of columns in [x0, x1) x [y0, y1) with a pixel other than `background`.
Span InkColumns(const std::function<COLORREF(int, int)>& pixel, COLORREF background, int x0, int x1, int y0, int y1) {
    Span span;
    for (int x = x0; x < x1 && span.end < 0; ++x) {
        bool ink = false;
        for (int y = y0; y < y1 && !ink; ++y)
            ink = pixel(x, y) != background;
        if (ink && span.first < 0)
            span.first = x;
        else if (!ink && span.first >= 0)
            span.end = x;
    }
    if (span.first >= 0 && span.end < 0)
        span.end = x1;
    return span;
}

// The same, over a bitmap as it was made: its bottom-left pixel is its transparent colour.
Span InkColumnsOf(HBITMAP bitmap) {
    const SIZE size = BitmapSize(bitmap);
    auto pixel = [&](int x, int y) { return BitmapPixel(bitmap, x, y); };
    return InkColumns(pixel, pixel(0, size.cy - 1), 0, size.cx, 0, size.cy);
}

class ControlScaleTest : public ::testing::Test {
  protected:
    int Px(int units) const { return ScaleDesignUnits(units, dpi); }
    HostForm& form = SharedForm();
    int dpi = WindowDpi(form.Handle());
};

TEST_F(ControlScaleTest, TheWindowsRunAtThePrefixScale) {
    if (const char* wanted = std::getenv("QUENNET_LOGPIXELS")) {
        EXPECT_EQ(dpi, std::atoi(wanted));
    }
}

TEST_F(ControlScaleTest, GlyphCheckBoxAndCaptionOffsetGrowWithTheScale) {
    auto& box = form.Add<TGlyphCheck>();
    box.SetCaption("Wide");
    box.SetBounds(5, 5, Px(120), Px(19));
    Pump();
    const int w = box.Width(), h = box.Height();
    Canvas canvas(w, h);
    box.PaintTo(canvas.dc());
    auto pixel = [&](int x, int y) { return canvas.At(x, y); };
    const COLORREF background = canvas.At(w - 1, 0);
    const Span picture = InkColumns(pixel, background, 0, w, 0, h);
    GdiBitmap blank(LoadBitmapA(GetModuleHandleA(nullptr), "Blank"));
    const Span design = InkColumnsOf(blank.get());
    EXPECT_NEAR(picture.first, Px(2 + design.first), 1);
    EXPECT_NEAR(picture.Width(), Px(design.Width()), 2);
    const Span caption = InkColumns(pixel, background, picture.end, w, 0, h);
    EXPECT_GE(caption.first, Px(22));
    EXPECT_LE(caption.first, Px(22) + 3); // the first letter's own bearing
    form.RemoveControl(box);
}

// Where the picture, scaled pixel by pixel, is transparent, the box shows its own colour: the
// transparent colour never bleeds into the picture's edge.
TEST_F(ControlScaleTest, ScaledCheckPictureHasNoFringeOfItsTransparentColour) {
    auto& box = form.Add<TGlyphCheck>();
    box.SetChecked(true);
    box.SetBounds(5, 5, Px(120), Px(19));
    Pump();
    const int w = box.Width(), h = box.Height();
    Canvas canvas(w, h);
    box.PaintTo(canvas.dc());
    const COLORREF background = canvas.At(w - 1, 0);
    GdiBitmap blank(LoadBitmapA(GetModuleHandleA(nullptr), "Blank"));
    GdiBitmap mark(LoadBitmapA(GetModuleHandleA(nullptr), "CheckIks"));
    const COLORREF blankKey = BitmapPixel(blank.get(), 0, 15), markKey = BitmapPixel(mark.get(), 0, 15);
    const int left = Px(2), top = (h - Px(16)) / 2;
    int bled = 0;
    for (int y = 0; y < Px(16); ++y)
        for (int x = 0; x < Px(16); ++x) {
            const int dx = x * kDesignDpi / dpi, dy = y * kDesignDpi / dpi;
            if (BitmapPixel(blank.get(), dx, dy) == blankKey && BitmapPixel(mark.get(), dx, dy) == markKey)
                bled += canvas.At(left + x, top + y) != background;
        }
    EXPECT_EQ(bled, 0);
    form.RemoveControl(box);
}

TEST_F(ControlScaleTest, SpinEditArrowColumnAndArrowsGrowWithTheScale) {
    auto& spin = form.Add<TSpinEdit>();
    spin.SetBounds(5, 40, Px(121), Px(22));
    Pump();
    EXPECT_EQ(spin.Button().Width(), Px(15));
    TTimerSpeedButton& up = spin.Button().UpButton();
    const int w = up.Width(), h = up.Height();
    Canvas canvas(w, h);
    up.PaintTo(canvas.dc());
    auto pixel = [&](int x, int y) { return canvas.At(x, y); };
    const Span arrow = InkColumns(pixel, GetSysColor(COLOR_BTNFACE), 2, w - 2, 2, h - 2);
    EXPECT_NEAR(arrow.Width(), Px(InkColumnsOf(up.Glyph()).Width()), 2);
    form.RemoveControl(spin);
}

TEST_F(ControlScaleTest, GradientButtonGlyphGrowsWithTheScale) {
    // A 16 x 16 picture: a red 10 x 10 block on its transparent colour.
    Canvas design(16, 16);
    RECT all{0, 0, 16, 16}, block{3, 3, 13, 13};
    FillRect(design.dc(), &all, GdiBrush(CreateSolidBrush(RGB(255, 0, 255))).get());
    FillRect(design.dc(), &block, GdiBrush(CreateSolidBrush(RGB(255, 0, 0))).get());
    GdiFlush();
    auto& button = form.Add<TGradientButton>();
    button.SetCaption("Go");
    button.SetBounds(5, 80, Px(75), Px(25));
    button.SetGlyph(static_cast<HBITMAP>(GetCurrentObject(design.dc(), OBJ_BITMAP)));
    Pump();
    const int w = button.Width(), h = button.Height();
    Canvas canvas(w, h);
    button.PaintFace(canvas.dc());
    auto red = [&](int x, int y) { return canvas.At(x, y) == RGB(255, 0, 0) ? RGB(255, 0, 0) : 0; };
    EXPECT_NEAR(InkColumns(red, 0, 0, w, 0, h).Width(), Px(10), 1);
    form.RemoveControl(button);
}

} // namespace
} // namespace quennet
