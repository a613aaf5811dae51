// Small value types of the window layer: shift state, mouse buttons, modal results, colours.
#pragma once

#include <windows.h>

#include <cstdint>

namespace quennet {

enum TShiftFlag : std::uint8_t {
    ssShift = 1 << 0,
    ssAlt = 1 << 1,
    ssCtrl = 1 << 2,
    ssLeft = 1 << 3,
    ssRight = 1 << 4,
    ssMiddle = 1 << 5,
    ssDouble = 1 << 6,
};

// The keys and mouse buttons held with an event, as a set of TShiftFlag.
class TShiftState {
  public:
    constexpr TShiftState() = default;
    constexpr TShiftState(TShiftFlag flag) : bits_(flag) {}
    constexpr static TShiftState FromBits(std::uint8_t bits) {
        TShiftState state;
        state.bits_ = bits;
        return state;
    }

    constexpr bool Has(TShiftFlag flag) const { return (bits_ & flag) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr std::uint8_t Bits() const { return bits_; }
    constexpr TShiftState& operator|=(TShiftState other) {
        bits_ |= other.bits_;
        return *this;
    }
    constexpr friend TShiftState operator|(TShiftState a, TShiftState b) { return a |= b; }
    constexpr friend bool operator==(TShiftState a, TShiftState b) { return a.bits_ == b.bits_; }
    constexpr friend bool operator!=(TShiftState a, TShiftState b) { return a.bits_ != b.bits_; }

  private:
    std::uint8_t bits_ = 0;
};

constexpr TShiftState operator|(TShiftFlag a, TShiftFlag b) {
    return TShiftState(a) | b;
}

// Shift, Ctrl and Alt as the keyboard holds them for the message being handled.
TShiftState KeyboardShiftState();
// The state carried by a mouse message's wParam (MK_*), plus Alt from the keyboard.
TShiftState MouseShiftState(WPARAM keys);

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
constexpr TMouseButton mbLeft = TMouseButton::mbLeft;
constexpr TMouseButton mbRight = TMouseButton::mbRight;
constexpr TMouseButton mbMiddle = TMouseButton::mbMiddle;

// A form's modal result; 0 keeps a modal form open.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;

// A colour in COLORREF layout, or a system colour (clBtnFace ...) resolved when used.
using TColor = std::uint32_t;
constexpr TColor kSystemColorFlag = 0x80000000u;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clGray = 0x808080;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clBtnFace = kSystemColorFlag | COLOR_BTNFACE;
constexpr TColor clBtnShadow = kSystemColorFlag | COLOR_BTNSHADOW;
constexpr TColor clBtnHighlight = kSystemColorFlag | COLOR_BTNHIGHLIGHT;
constexpr TColor clWindow = kSystemColorFlag | COLOR_WINDOW;
constexpr TColor clWindowText = kSystemColorFlag | COLOR_WINDOWTEXT;
constexpr TColor clBtnText = kSystemColorFlag | COLOR_BTNTEXT;

inline COLORREF ColorToRGB(TColor color) {
    return (color & kSystemColorFlag) ? GetSysColor(static_cast<int>(color & 0xFF)) : color;
}

} // namespace quennet
