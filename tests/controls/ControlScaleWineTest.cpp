// The owner-drawn controls at the display scale of the prefix they run in.
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
using Pixel = std::function<COLORREF(int, int)>;

// The first run of columns [first, end) in [x0, x1) x [0, h) holding a pixel other than `background`.
std::pair<int, int> InkColumns(const Pixel& pixel, COLORREF background, int x0, int x1, int h) {
    int first = -1;
    for (int x = x0; x < x1; ++x) {
        bool ink = false;
        for (int y = 0; y < h && !ink; ++y)
            ink = pixel(x, y) != background;
        if (ink && first < 0)
            first = x;
        if (!ink && first >= 0)
            return {first, x};
    }
    return {first, x1};
}

int InkWidthOf(HBITMAP b) { // its bottom-left pixel is its transparent colour
    const SIZE s = BitmapSize(b);
    const auto span = InkColumns([&](int x, int y) { return BitmapPixel(b, x, y); }, BitmapPixel(b, 0, s.cy - 1), 0, s.cx, s.cy);
    return span.second - span.first;
}

class ControlScaleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* wanted = std::getenv("QUENNET_LOGPIXELS"); // else the test proves nothing
        ASSERT_EQ(dpi, wanted ? std::atoi(wanted) : dpi);
    }
    int Px(int units) const { return ScaleDesignUnits(units, dpi); }
    HostForm& form = SharedForm();
    int dpi = WindowDpi(form.Handle());
};

TEST_F(ControlScaleTest, GlyphCheckPictureAndCaptionOffsetGrowWithoutATransparentFringe) {
    auto& box = form.Add<TGlyphCheck>();
    box.SetCaption("Wide");
    box.SetChecked(true);
    box.SetBounds(5, 5, Px(120), Px(19));
    Pump();
    const int w = box.Width(), h = box.Height();
    Canvas canvas(w, h);
    box.PaintTo(canvas.dc());
    const COLORREF background = canvas.At(w - 1, 0);
    GdiBitmap blank(LoadBitmapA(GetModuleHandleA(nullptr), "Blank"));
    const auto picture = InkColumns([&](int x, int y) { return canvas.At(x, y); }, background, 0, w, h);
    EXPECT_NEAR(picture.second - picture.first, Px(InkWidthOf(blank.get())), 2);
    const int caption = InkColumns([&](int x, int y) { return canvas.At(x, y); }, background, picture.second, w, h).first;
    EXPECT_GE(caption, Px(22));
    EXPECT_LE(caption, Px(22) + 3); // the first letter's own bearing

    // Where both pictures, scaled pixel by pixel, are transparent, the box shows its own colour.
    GdiBitmap mark(LoadBitmapA(GetModuleHandleA(nullptr), "CheckIks"));
    int bled = 0;
    for (int y = 0; y < Px(16); ++y)
        for (int x = 0; x < Px(16); ++x) {
            const int dx = x * kDesignDpi / dpi, dy = y * kDesignDpi / dpi;
            if (BitmapPixel(blank.get(), dx, dy) == BitmapPixel(blank.get(), 0, 15) &&
                BitmapPixel(mark.get(), dx, dy) == BitmapPixel(mark.get(), 0, 15))
                bled += canvas.At(Px(2) + x, (h - Px(16)) / 2 + y) != background;
        }
    EXPECT_EQ(bled, 0);
    form.RemoveControl(box);
}

TEST_F(ControlScaleTest, SpinArrowColumnAndGradientGlyphGrowWithTheScale) {
    auto& spin = form.Add<TSpinEdit>();
    spin.SetBounds(5, 40, Px(121), Px(22));
    // A 16 x 16 picture: a red 10 x 10 block on its transparent colour.
    Canvas design(16, 16);
    RECT all{0, 0, 16, 16}, block{3, 3, 13, 13};
    FillRect(design.dc(), &all, GdiBrush(CreateSolidBrush(RGB(255, 0, 255))).get());
    FillRect(design.dc(), &block, GdiBrush(CreateSolidBrush(RGB(255, 0, 0))).get());
    GdiFlush();
    auto& button = form.Add<TGradientButton>();
    button.SetBounds(5, 80, Px(75), Px(25));
    button.SetCaption("Go");
    button.SetGlyph(static_cast<HBITMAP>(GetCurrentObject(design.dc(), OBJ_BITMAP)));
    Pump();

    EXPECT_EQ(spin.Button().Width(), Px(15));
    TTimerSpeedButton& up = spin.Button().UpButton();
    Canvas arrow(up.Width(), up.Height());
    up.PaintTo(arrow.dc());
    const auto ink = InkColumns([&](int x, int y) { return y < 2 || y >= up.Height() - 2 ? GetSysColor(COLOR_BTNFACE) : arrow.At(x, y); },
                                GetSysColor(COLOR_BTNFACE), 2, up.Width() - 2, up.Height());
    EXPECT_NEAR(ink.second - ink.first, Px(InkWidthOf(up.Glyph())), 2);

    Canvas face(button.Width(), button.Height());
    button.PaintFace(face.dc());
    const auto red = InkColumns([&](int x, int y) { return face.At(x, y) == RGB(255, 0, 0) ? 1u : 0u; }, 0, 0,
                                button.Width(), button.Height());
    EXPECT_NEAR(red.second - red.first, Px(10), 1);
    form.RemoveControl(button);
    form.RemoveControl(spin);
}

} // namespace
} // namespace quennet
