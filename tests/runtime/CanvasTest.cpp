// Painting helpers, checked by reading pixels back.
#include "runtime/Canvas.h"
#include "runtime/Form.h"
#include "runtime/Resources.h"

#include <gtest/gtest.h>

namespace quennet {
namespace {

// Paints through an off-screen buffer: a face, a border and a bevel line.
class TSwatch : public TWinControl {
  protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.ClassName = "TSwatch";
    }
    void Paint(HDC dc) override {
        TOffscreen buffer(dc, Width(), Height());
        TCanvas& c = buffer.Canvas();
        c.FillRect({0, 0, Width(), Height()}, RGB(174, 210, 174));
        c.Rectangle({0, 0, Width(), Height()}, RGB(55, 111, 21));
        c.Polyline({{1, Height() - 2}, {1, 1}, {Width() - 1, 1}}, RGB(219, 245, 203));
        buffer.CopyTo(dc);
    }
};

TEST(Canvas, CapturedControlShowsItsFaceBorderAndBevel) {
    TForm form;
    auto& swatch = form.Add<TSwatch>();
    swatch.SetBounds(10, 10, 40, 20);
    form.Show();
    TCapturedImage image = CaptureClient(swatch);
    ASSERT_EQ(image.Width, 40);
    ASSERT_EQ(image.Height, 20);
    EXPECT_EQ(image.At(20, 10), RGB(174, 210, 174));
    EXPECT_EQ(image.At(0, 0), RGB(55, 111, 21));
    EXPECT_EQ(image.At(39, 19), RGB(55, 111, 21));
    EXPECT_EQ(image.At(1, 18), RGB(219, 245, 203));
    EXPECT_EQ(image.At(38, 1), RGB(219, 245, 203));
    EXPECT_EQ(image.At(1, 19), RGB(55, 111, 21)); // the line stops short of its end point
}

TEST(Canvas, OwnClassesFillTheirBackgroundWithTheirColour) {
    TForm form;
    form.SetColor(RGB(10, 20, 30));
    auto& plain = form.Add<TWinControl>();
    plain.SetBounds(0, 0, 8, 8);
    form.Show();
    EXPECT_EQ(CaptureClient(plain).At(4, 4), RGB(10, 20, 30)); // the parent's, by default
    plain.SetColor(RGB(200, 100, 0));
    EXPECT_EQ(CaptureClient(plain).At(4, 4), RGB(200, 100, 0));
}

TEST(Canvas, TransparentDrawKeepsTheBackgroundWhereTheKeyColourIs) {
    GdiBitmap picture = LoadBitmapResource("TwoSquares");
    TOffscreen target(nullptr, 32, 16);
    target.Canvas().FillRect({0, 0, 32, 16}, RGB(1, 2, 3));
    target.Canvas().DrawTransparent(0, 0, picture.get(), BitmapPixel(picture.get(), 0, 15));
    TCapturedImage image = CaptureDC(target.DC(), 32, 16);
    EXPECT_EQ(image.At(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(image.At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(image.At(20, 8), RGB(0, 0, 255));
    EXPECT_EQ(image.At(31, 15), RGB(1, 2, 3));
}

TEST(Canvas, TextIsDrawnInItsColourOnAClearBackground) {
    TOffscreen target(nullptr, 60, 20);
    TCanvas& c = target.Canvas();
    c.FillRect({0, 0, 60, 20}, RGB(255, 255, 255));
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent = c.TextExtent("MMM", font);
    EXPECT_GT(extent.cx, 0);
    c.TextOut(0, 0, "MMM", font, RGB(255, 0, 0));
    TCapturedImage image = CaptureDC(target.DC(), 60, 20);
    int red = 0, other = 0;
    for (COLORREF px : image.Pixels) {
        if (px == RGB(255, 0, 0))
            ++red;
        else if (px != RGB(255, 255, 255))
            ++other;
    }
    EXPECT_GT(red, 10);
    EXPECT_EQ(image.At(59, 19), RGB(255, 255, 255));
}

} // namespace
} // namespace quennet
