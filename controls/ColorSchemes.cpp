#include "controls/ColorSchemes.h"

namespace quennet {
using namespace ButtonColorIndex;
namespace {

// "Leave as it was": no stored colour has this value, the top byte is never set.
constexpr RgbColor kKeep = 0xFFFFFFFFu;

// One column per stored scheme, in TColorScheme order; rows in ButtonColorIndex order.
// Values are BBGGRR, as the platform stores them.
// Left unformatted: one line per row, so that a scheme reads down its column.
// clang-format off
constexpr RgbColor kSchemes[kButtonColorCount][kStoredSchemeCount] = {
    // csNeoDesert csNeoSky csNeoGrass csNeoSilver csNeoRose csNeoSun csDesert csGrass csSky csSun csRose csSilver
    {0xC6ECFF, 0xFFEEDD, 0xDDF9E8, 0xF3F3F3, 0xE8E8FF, 0xF0FFFF, 0x95DDFF, 0x98EBB7, 0xFFE0C1, 0xA8FFFF, 0xC6C6FF, 0xE0E0E0}, // ColorFace
    {0x37BEFF, 0xFFB66C, 0x5EDF8E, 0xBCBCBC, 0x9595FF, 0x20D8F9, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep},                // ColorGrad
    {0x009CE8, 0xFFA851, 0x24B95C, 0xA7A7A7, 0x8282FF, 0x00BBBB, 0x009CE8, 0x24B95C, 0xFFA953, 0x00BBBB, 0x8282FF, 0xAEAEAE}, // ColorDark
    {0xB9E7FF, 0xFFECD9, 0xCBF5DB, 0xF7F7F7, 0xDDDDFF, 0xF2FFFF, 0xB9E7FF, 0xCBF5DB, 0xFFECD9, 0xF2FFFF, 0xDDDDFF, 0xF7F7F7}, // ColorLight
    {0x005680, 0xB35900, 0x156F37, 0x626262, 0x00009D, 0x006464, 0x005680, 0x156F37, 0xB35900, 0x006464, 0x00009D, 0x626262}, // ColorBorder
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},                                                                                   // ColorText
    {0xB3E7FF, 0xFFEBD7, 0xBFF2D2, 0xF0F0F0, 0xDFDFFF, 0xD5FCFF, 0x6FD0FF, 0x68E196, 0xFFCD9B, 0x66F3FF, 0xB0B0FF, 0xCFCFCF}, // OverColorFace
    {0x00A3F0, 0xFFA346, 0x3DD877, 0xA6A6A6, 0x7777FF, 0x05BCDC, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep},                // OverColorGrad
    {0x008ED2, 0xFF9E3E, 0x23B459, 0xA2A2A2, 0x6A6AFF, 0x00A6A6, 0x008ED2, 0x23B459, 0xFFB164, 0x00A6A6, 0x6A6AFF, 0x797979}, // OverColorDark
    {0x95DAFF, 0xFFE4CA, 0xB5F0CB, 0xEEEEEE, 0xD7D7FF, 0xCCFFFF, 0x95DAFF, 0xB5F0CB, 0xFFE4CA, 0xCCFFFF, 0xD7D7FF, 0xEEEEEE}, // OverColorLight
    {0x005680, 0xB35900, 0x17793D, 0x757575, 0x00009D, 0x006464, 0x005680, 0x17793D, 0xB35900, 0x006464, 0x00009D, 0x757575}, // OverColorBorder
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},                                                                                   // OverColorText
    {0x2BBAFF, 0xFFB366, 0x4EDC83, 0xCACACA, 0xA6A6FF, 0x05D1F5, 0x6FD0FF, 0x4EDC83, 0xFFC082, 0x22EEFF, 0x9F9FFF, 0xD3D3D3}, // DownColorFace
    {0x77D2FF, 0xFFCE9D, 0x80E6A6, 0xDADADA, 0xB9B9FF, 0x66F0FB, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep},                // DownColorGrad
    {0x8AD9FF, 0xFFD3A8, 0x89E7AC, 0xE9E9E9, 0xCECEFF, 0x66F3FF, 0x8AD9FF, 0x89E7AC, 0xFFD3A8, 0x66F3FF, 0x8888FF, 0xE9E9E9}, // DownColorDark
    {0x0077B7, 0xFF9E3E, 0x177D3E, 0x7C7C7C, 0x5E5EFF, 0x008484, 0x0077B7, 0x177D3E, 0xFF9122, 0x008484, 0x5E5EFF, 0x7C7C7C}, // DownColorLight
    {0x0070A6, 0xB35900, 0x167439, 0x4E4E4E, 0x00009D, 0x006464, 0x0070A6, 0x167439, 0xB35900, 0x006464, 0x00009D, 0x4E4E4E}, // DownColorBorder
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},                                                                                   // DownColorText
    {0xEEEEEE, 0xEEEEEE, 0xEEEEEE, 0xEEEEEE, 0xEEEEEE, 0xEEEEEE, 0xE2E2E2, 0xE2E2E2, 0xE2E2E2, 0xE2E2E2, 0xE2E2E2, 0xE2E2E2}, // DisabledColorFace
    {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep},                // DisabledColorGrad
    {0xD2D2D2, 0xD2D2D2, 0xD2D2D2, 0xD2D2D2, 0xD2D2D2, 0xD2D2D2, 0xD8D8D8, 0xD8D8D8, 0xD8D8D8, 0xD8D8D8, 0xD8D8D8, 0xD8D8D8}, // DisabledColorDark
    {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xEAEAEA, 0xEAEAEA, 0xEAEAEA, 0xEAEAEA, 0xEAEAEA, 0xEAEAEA}, // DisabledColorLight
    {0x808080, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080, 0xC4C4C4, 0xC4C4C4, 0xC4C4C4, 0xC4C4C4, 0xC4C4C4, 0xC4C4C4}, // DisabledColorBorder
    {0x808080, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080}, // DisabledColorText
    {0x4080FF, 0xFFA953, 0x24B95C, 0xADADAD, 0x5E5EFF, 0x00BBBB, 0x4080FF, 0x00A421, 0xDC9B14, 0x008CF4, 0x5E5EFF, 0x8A8A8A}, // ColorFocusRect
};
// clang-format on

} // namespace

std::array<RgbColor, kLookColorCount> ButtonColors::ForLook(ButtonLook look, bool enabled) const {
    int first = enabled ? int(look) * kLookColorCount : DisabledColorFace;
    std::array<RgbColor, kLookColorCount> out{};
    for (int i = 0; i < kLookColorCount; ++i)
        out[std::size_t(i)] = c[std::size_t(first + i)];
    return out;
}

void ApplyColorScheme(TColorScheme scheme, ButtonColors& colors, bool& gradient) {
    if (scheme == TColorScheme::csCustom)
        return;
    int column = int(scheme);
    for (int i = 0; i < kButtonColorCount; ++i)
        if (kSchemes[i][column] != kKeep)
            colors[i] = kSchemes[i][column];
    // The six "Neo" schemes come first and are the gradient ones.
    gradient = column < 6;
}

ButtonColors MainWindowButtonColors() {
    ButtonColors k;
    const RgbColor rows[4][kLookColorCount] = {
        {0xAED2AE, 0x5EDF8E, 0x24B95C, 0xCBF5DB, 0x156F37, 0x000000}, // normal
        {0xBFF2D2, 0x3DD877, 0x23B459, 0xB5F0CB, 0x17793D, 0x000000}, // over
        {0x4EDC83, 0x80E6A6, 0x89E7AC, 0x177D3E, 0x167439, 0x000000}, // down
        {0xEEEEEE, 0xFFFFFF, 0xD2D2D2, 0xFFFFFF, 0x808080, 0x808080}, // disabled
    };
    for (int look = 0; look < 4; ++look)
        for (int i = 0; i < kLookColorCount; ++i)
            k[look * kLookColorCount + i] = rows[look][i];
    k[ColorFocusRect] = 0x24B95C;
    return k;
}

} // namespace quennet
