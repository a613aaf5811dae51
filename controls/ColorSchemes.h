// The gradient button's colours and its stored colour schemes, as plain data.
#pragma once

#include <array>
#include <cstdint>

namespace quennet {

// A colour in the platform's COLORREF layout: 0x00BBGGRR.
using RgbColor = std::uint32_t;

constexpr RgbColor Rgb(int r, int g, int b) {
    return RgbColor(r) | RgbColor(g) << 8 | RgbColor(b) << 16;
}

enum class TColorScheme {
    csNeoDesert,
    csNeoSky,
    csNeoGrass,
    csNeoSilver,
    csNeoRose,
    csNeoSun,
    csDesert,
    csGrass,
    csSky,
    csSun,
    csRose,
    csSilver,
    csCustom
};
constexpr int kStoredSchemeCount = 12; // all but csCustom

// The button's 25 colours, addressed by index in this order.
namespace ButtonColorIndex {
enum : int {
    ColorFace,
    ColorGrad,
    ColorDark,
    ColorLight,
    ColorBorder,
    ColorText,
    OverColorFace,
    OverColorGrad,
    OverColorDark,
    OverColorLight,
    OverColorBorder,
    OverColorText,
    DownColorFace,
    DownColorGrad,
    DownColorDark,
    DownColorLight,
    DownColorBorder,
    DownColorText,
    DisabledColorFace,
    DisabledColorGrad,
    DisabledColorDark,
    DisabledColorLight,
    DisabledColorBorder,
    DisabledColorText,
    ColorFocusRect,
    kButtonColorCount
};
} // namespace ButtonColorIndex
using ButtonColorIndex::kButtonColorCount;

// The six colours of one look, in the order of the indexes above.
enum LookColor { LookFace, LookGrad, LookDark, LookLight, LookBorder, LookText, kLookColorCount };

enum class ButtonLook { Normal = 0, Over = 1, Down = 2 };

struct ButtonColors {
    std::array<RgbColor, kButtonColorCount> c{};
    RgbColor& operator[](int i) { return c[std::size_t(i)]; }
    RgbColor operator[](int i) const { return c[std::size_t(i)]; }
    // The colours a paint uses: the disabled set whatever the look when disabled.
    std::array<RgbColor, kLookColorCount> ForLook(ButtonLook look, bool enabled) const;
};

// Loads a stored scheme's colours into `colors` and its gradient flag into `gradient`.
// Colours the scheme does not define (the plain schemes' grad colours) stay as they were;
// csCustom changes nothing.
void ApplyColorScheme(TColorScheme scheme, ButtonColors& colors, bool& gradient);

// The custom green set of the main window's three buttons (Search, help, About).
ButtonColors MainWindowButtonColors();

} // namespace quennet
