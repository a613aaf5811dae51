#include <gtest/gtest.h>

#include "controls/ButtonLogic.h"
#include "controls/ColorSchemes.h"

namespace quennet {
using namespace ButtonColorIndex;
namespace {

int Red(RgbColor c) {
    return int(c & 0xFF);
}
int Green(RgbColor c) {
    return int(c >> 8 & 0xFF);
}
int Blue(RgbColor c) {
    return int(c >> 16 & 0xFF);
}

// A scheme looks like its name: the shading of each is checked by its hue, so a scheme that
// loads another's column, or a gradient scheme's colours under a flat one's name, shows.
TEST(ColorSchemes, EachSchemeHasTheHueOfItsNameAndItsOwnGradientFlag) {
    enum class Hue { Orange, Blue, Green, Grey, Red, Yellow };
    const struct {
        TColorScheme scheme;
        Hue hue;
        bool gradient;
    } cases[] = {
        {TColorScheme::csNeoDesert, Hue::Orange, true}, {TColorScheme::csNeoSky, Hue::Blue, true},
        {TColorScheme::csNeoGrass, Hue::Green, true},   {TColorScheme::csNeoSilver, Hue::Grey, true},
        {TColorScheme::csNeoRose, Hue::Red, true},      {TColorScheme::csNeoSun, Hue::Yellow, true},
        {TColorScheme::csDesert, Hue::Orange, false},   {TColorScheme::csGrass, Hue::Green, false},
        {TColorScheme::csSky, Hue::Blue, false},        {TColorScheme::csSun, Hue::Yellow, false},
        {TColorScheme::csRose, Hue::Red, false},        {TColorScheme::csSilver, Hue::Grey, false},
    };
    constexpr RgbColor kUntouched = 0x123456;
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.scheme));
        ButtonColors colors;
        colors.c.fill(kUntouched);
        bool gradient = !c.gradient;
        ApplyColorScheme(c.scheme, colors, gradient);
        EXPECT_EQ(gradient, c.gradient);
        // A flat scheme has no grad colours of its own: those set before stay.
        EXPECT_EQ(colors[ColorGrad] == kUntouched, !c.gradient);
        EXPECT_EQ(colors[DownColorGrad] == kUntouched, !c.gradient);
        for (int i : {ColorFace, ColorDark, ColorBorder, DownColorFace, DisabledColorFace, ColorFocusRect})
            EXPECT_NE(colors[i], kUntouched) << i;
        const RgbColor dark = colors[ColorDark];
        const int r = Red(dark), g = Green(dark), b = Blue(dark);
        switch (c.hue) {
        case Hue::Orange:
            EXPECT_TRUE(r > g && g > b) << std::hex << dark;
            break;
        case Hue::Blue:
            EXPECT_TRUE(b > g && g > r) << std::hex << dark;
            break;
        case Hue::Green:
            EXPECT_TRUE(g > r && g > b) << std::hex << dark;
            break;
        case Hue::Grey:
            EXPECT_TRUE(r == g && g == b) << std::hex << dark;
            break;
        case Hue::Red:
            EXPECT_TRUE(r > g && g == b) << std::hex << dark;
            break;
        case Hue::Yellow:
            EXPECT_TRUE(r == g && g > b) << std::hex << dark;
            break;
        }
        // The face is the light fill the text is read on, black; a disabled button is grey.
        EXPECT_GT(Red(colors[ColorFace]) + Green(colors[ColorFace]) + Blue(colors[ColorFace]), r + g + b);
        EXPECT_EQ(colors[ColorText], 0u);
        const RgbColor disabled = colors[DisabledColorFace];
        EXPECT_TRUE(Red(disabled) == Green(disabled) && Green(disabled) == Blue(disabled))
            << std::hex << disabled;
    }
}

TEST(ColorSchemes, CustomKeepsEveryColour) {
    ButtonColors colors;
    bool gradient = true;
    ApplyColorScheme(TColorScheme::csSilver, colors, gradient);
    const ButtonColors before = colors;
    gradient = true;
    ApplyColorScheme(TColorScheme::csCustom, colors, gradient);
    EXPECT_EQ(colors.c, before.c);
    EXPECT_TRUE(gradient);
}

// The green of the main window's buttons, as the user sees it in each look.
TEST(ColorSchemes, MainWindowGreensAsTheFormStoresThem) {
    const ButtonColors k = MainWindowButtonColors();
    EXPECT_EQ(k[ColorFace], Rgb(174, 210, 174));
    EXPECT_EQ(k[ColorFace], 11457198u); // as the form stores it
    EXPECT_EQ(k[ColorGrad], Rgb(142, 223, 94));
    EXPECT_EQ(k[ColorBorder], Rgb(55, 111, 21));

    const auto over = k.ForLook(ButtonLook::Over, true);
    EXPECT_EQ(over[LookFace], Rgb(210, 242, 191));
    const auto down = k.ForLook(ButtonLook::Down, true);
    EXPECT_EQ(down[LookFace], Rgb(131, 220, 78));
    const auto disabled = k.ForLook(ButtonLook::Over, false);
    EXPECT_EQ(disabled[LookFace], Rgb(238, 238, 238));
    EXPECT_EQ(disabled[LookText], Rgb(128, 128, 128));
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
