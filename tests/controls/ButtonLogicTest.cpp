#include <gtest/gtest.h>

#include "controls/ButtonLogic.h"
#include "controls/ColorSchemes.h"

namespace quennet {
using namespace ButtonColorIndex;
namespace {

TEST(ColorSchemes, EachStoredSchemeLoadsItsColoursAndGradientFlag) {
    struct Case {
        TColorScheme scheme;
        RgbColor face, dark, focus, disabledFace;
        bool gradient;
    } cases[] = {
        {TColorScheme::csNeoDesert, 0xC6ECFF, 0x009CE8, 0x4080FF, 0xEEEEEE, true},
        {TColorScheme::csNeoSky, 0xFFEEDD, 0xFFA851, 0xFFA953, 0xEEEEEE, true},
        {TColorScheme::csNeoGrass, 0xDDF9E8, 0x24B95C, 0x24B95C, 0xEEEEEE, true},
        {TColorScheme::csNeoSilver, 0xF3F3F3, 0xA7A7A7, 0xADADAD, 0xEEEEEE, true},
        {TColorScheme::csNeoRose, 0xE8E8FF, 0x8282FF, 0x5E5EFF, 0xEEEEEE, true},
        {TColorScheme::csNeoSun, 0xF0FFFF, 0x00BBBB, 0x00BBBB, 0xEEEEEE, true},
        {TColorScheme::csDesert, 0x95DDFF, 0x009CE8, 0x4080FF, 0xE2E2E2, false},
        {TColorScheme::csGrass, 0x98EBB7, 0x24B95C, 0x00A421, 0xE2E2E2, false},
        {TColorScheme::csSky, 0xFFE0C1, 0xFFA953, 0xDC9B14, 0xE2E2E2, false},
        {TColorScheme::csSun, 0xA8FFFF, 0x00BBBB, 0x008CF4, 0xE2E2E2, false},
        {TColorScheme::csRose, 0xC6C6FF, 0x8282FF, 0x5E5EFF, 0xE2E2E2, false},
        {TColorScheme::csSilver, 0xE0E0E0, 0xAEAEAE, 0x8A8A8A, 0xE2E2E2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.scheme));
        ButtonColors colors;
        bool gradient = !c.gradient;
        ApplyColorScheme(c.scheme, colors, gradient);
        EXPECT_EQ(colors[ColorFace], c.face);
        EXPECT_EQ(colors[ColorDark], c.dark);
        EXPECT_EQ(colors[ColorFocusRect], c.focus);
        EXPECT_EQ(colors[DisabledColorFace], c.disabledFace);
        EXPECT_EQ(colors[DownColorText], 0u);
        EXPECT_EQ(gradient, c.gradient);
    }
}

TEST(ColorSchemes, PlainSchemesKeepTheGradColoursAndCustomKeepsEverything) {
    ButtonColors colors;
    bool gradient = true;
    ApplyColorScheme(TColorScheme::csNeoSky, colors, gradient);
    ApplyColorScheme(TColorScheme::csSilver, colors, gradient);
    EXPECT_EQ(colors[ColorGrad], 0xFFB66Cu);
    EXPECT_EQ(colors[OverColorGrad], 0xFFA346u);
    EXPECT_EQ(colors[DownColorGrad], 0xFFCE9Du);
    EXPECT_EQ(colors[ColorFace], 0xE0E0E0u);
    EXPECT_FALSE(gradient);

    ButtonColors before = colors;
    gradient = true;
    ApplyColorScheme(TColorScheme::csCustom, colors, gradient);
    EXPECT_EQ(colors.c, before.c);
    EXPECT_TRUE(gradient);
}

TEST(ColorSchemes, MainWindowGreensMatchTheirRgbValues) {
    ButtonColors k = MainWindowButtonColors();
    EXPECT_EQ(k[ColorFace], Rgb(174, 210, 174));
    EXPECT_EQ(k[ColorFace], 11457198u); // as the form stores it
    EXPECT_EQ(k[ColorGrad], Rgb(142, 223, 94));
    EXPECT_EQ(k[ColorBorder], Rgb(55, 111, 21));
    EXPECT_EQ(k[OverColorFace], Rgb(210, 242, 191));
    EXPECT_EQ(k[DownColorFace], Rgb(131, 220, 78));
    EXPECT_EQ(k[DownColorLight], Rgb(62, 125, 23));
    EXPECT_EQ(k[DisabledColorBorder], Rgb(128, 128, 128));
    EXPECT_EQ(k[ColorFocusRect], Rgb(92, 185, 36));

    auto disabled = k.ForLook(ButtonLook::Over, false);
    EXPECT_EQ(disabled[LookFace], Rgb(238, 238, 238));
    EXPECT_EQ(disabled[LookText], Rgb(128, 128, 128));
    auto down = k.ForLook(ButtonLook::Down, true);
    EXPECT_EQ(down[LookBorder], Rgb(57, 116, 22));
}

TEST(Gradient, RoundsHalvesToEven) {
    const struct {
        double in;
        int out;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {2.4999, 2}, {2.5001, 3}, {254.5, 254}, {7.0, 7}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(Gradient, LinesRunFromFaceToGradWithEvenHalves) {
    // Red 0 -> 1 and green 1 -> 2 over two steps: the middle line sits on .5 in both.
    auto lines = GradientLineColors(Rgb(0, 1, 200), Rgb(1, 2, 100), 0, 2);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], Rgb(0, 1, 200));
    EXPECT_EQ(lines[1], Rgb(0, 2, 150));
    EXPECT_EQ(lines[2], Rgb(1, 2, 100));

    auto tall = GradientLineColors(Rgb(255, 0, 0), Rgb(0, 255, 0), 0, 25);
    ASSERT_EQ(tall.size(), 26u); // n + 1 lines
    EXPECT_EQ(tall.front(), Rgb(255, 0, 0));
    EXPECT_EQ(tall.back(), Rgb(0, 255, 0));
}

TEST(Gradient, NegativeHeightDrawsNothingAndZeroHeightOneFaceLine) {
    EXPECT_TRUE(GradientLineColors(1, 2, 5, 4).empty());
    auto flat = GradientLineColors(Rgb(9, 8, 7), Rgb(1, 2, 3), 3, 3);
    ASSERT_EQ(flat.size(), 1u);
    EXPECT_EQ(flat[0], Rgb(9, 8, 7));
}

ButtonFaceMetrics Face(TButtonLayout layout, bool caption, int spacing) {
    ButtonFaceMetrics m;
    m.width = 75;
    m.height = 25;
    m.textWidth = caption ? 31 : 0;
    m.textHeight = caption ? 13 : 0;
    m.glyphWidth = 16;
    m.glyphHeight = 15;
    m.hasCaption = caption;
    m.spacing = spacing;
    m.layout = layout;
    return m;
}

TEST(Placement, CaptionAloneIsCentredWithTruncation) {
    ButtonFaceMetrics m = Face(TButtonLayout::blGlyphLeft, true, 4);
    m.glyphWidth = m.glyphHeight = 0;
    auto p = PlaceCaptionAndGlyph(m);
    EXPECT_EQ(p.text.x, 22); // (75 - 31) / 2
    EXPECT_EQ(p.text.y, 6);  // (25 - 13) / 2
}

TEST(Placement, OddSpacingGivesTheGlyphTheExtraPixel) {
    // Glyph and caption with spacing 5: glyph 3 left, caption 2 right of the glyph-only places.
    ButtonFaceMetrics alone = Face(TButtonLayout::blGlyphLeft, true, 5);
    alone.hasCaption = false; // same measures, no spacing applied
    auto a = PlaceCaptionAndGlyph(alone);
    auto b = PlaceCaptionAndGlyph(Face(TButtonLayout::blGlyphLeft, true, 5));
    EXPECT_EQ(a.glyph.x - b.glyph.x, 3);
    EXPECT_EQ(b.text.x - a.text.x, 2);
    EXPECT_EQ(b.glyph.x, 22 - 8 - 3);
    EXPECT_EQ(b.glyph.y, 5);
}

TEST(Placement, EachLayoutPutsTheGlyphOnItsSide) {
    auto right = PlaceCaptionAndGlyph(Face(TButtonLayout::blGlyphRight, true, 4));
    EXPECT_EQ(right.glyph.x, 22 + 31 - 8 + 2);
    EXPECT_EQ(right.text.x, 22 - 8 - 2);
    auto top = PlaceCaptionAndGlyph(Face(TButtonLayout::blGlyphTop, true, 4));
    EXPECT_EQ(top.glyph.x, 29);
    EXPECT_EQ(top.glyph.y, 6 - 7 - 1 - 2); // odd glyph height: the extra pixel goes up
    EXPECT_EQ(top.text.y, 6 + 7 + 2);
    auto bottom = PlaceCaptionAndGlyph(Face(TButtonLayout::blGlyphBottom, true, 4));
    EXPECT_EQ(bottom.glyph.y, 6 + 13 - 7 + 2);
    EXPECT_EQ(bottom.text.y, 6 - 7 - 2);
}

TEST(Placement, DownLookShiftsBothByOnePixel) {
    ButtonFaceMetrics m = Face(TButtonLayout::blGlyphLeft, true, 4);
    auto up = PlaceCaptionAndGlyph(m);
    m.down = true;
    auto down = PlaceCaptionAndGlyph(m);
    EXPECT_EQ(down.text.x, up.text.x + 1);
    EXPECT_EQ(down.text.y, up.text.y + 1);
    EXPECT_EQ(down.glyph.x, up.glyph.x + 1);
    EXPECT_EQ(down.glyph.y, up.glyph.y + 1);
}

TEST(Looks, PressedAndReleasedOutsideEndsNormal) {
    ButtonLooks looks;
    EXPECT_TRUE(looks.MouseEnter(true));
    looks.LeftDown();
    EXPECT_EQ(looks.Look(), ButtonLook::Down);
    looks.MouseLeave();
    EXPECT_TRUE(looks.MouseEnter(true));
    EXPECT_EQ(looks.Look(), ButtonLook::Down); // back over it while held
    looks.MouseLeave();
    looks.ButtonUp(-5, 10, 75, 25, true);
    EXPECT_EQ(looks.Look(), ButtonLook::Normal);
    EXPECT_FALSE(looks.MouseHeld());
}

TEST(Looks, MouseTakenAwayWhilePressedEndsTheHold) {
    ButtonLooks looks;
    looks.MouseEnter(true);
    looks.LeftDown();
    EXPECT_TRUE(looks.CaptureLost());
    EXPECT_EQ(looks.Look(), ButtonLook::Normal);
    EXPECT_FALSE(looks.MouseHeld());
    looks.MouseLeave();
    looks.MouseEnter(true);
    EXPECT_EQ(looks.Look(), ButtonLook::Over);
    EXPECT_FALSE(looks.CaptureLost()); // nothing held: nothing to repaint

    ButtonLooks space; // Space holds the down look without the mouse
    space.SpaceDown();
    EXPECT_FALSE(space.CaptureLost());
    EXPECT_EQ(space.Look(), ButtonLook::Down);
}

TEST(Looks, ClickInsideShowsOverOnlyWithHotTrackAndNotOnTheFirstRow) {
    ButtonLooks hot;
    hot.LeftDown();
    hot.Clicked();
    hot.ButtonUp(10, 10, 75, 25, true);
    EXPECT_EQ(hot.Look(), ButtonLook::Over);

    ButtonLooks plain;
    EXPECT_FALSE(plain.MouseEnter(false));
    EXPECT_EQ(plain.Look(), ButtonLook::Normal);
    plain.LeftDown();
    EXPECT_EQ(plain.Look(), ButtonLook::Down);
    plain.Clicked();
    plain.ButtonUp(10, 10, 75, 25, false);
    EXPECT_EQ(plain.Look(), ButtonLook::Normal);

    ButtonLooks edge;
    edge.LeftDown();
    edge.Clicked();
    edge.ButtonUp(10, 0, 75, 25, true);
    EXPECT_EQ(edge.Look(), ButtonLook::Normal);
}

} // namespace
} // namespace quennet
