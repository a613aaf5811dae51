// The spin edit's window-free logic: its number held as text, clamping, stepping without
// wrap-around, the typing filter and the layout of its buttons.
#pragma once

#include <cstdint>
#include <string>

namespace quennet {

// The standard text-to-integer conversion: optional leading blanks, an optional sign and
// decimal digits, nothing after them, within the 32-bit range.
bool TryTextToInt32(const std::string& text, std::int32_t& value);

struct SpinRange {
    std::int32_t minValue = 0;
    std::int32_t maxValue = 0; // equal to minValue: no bounds
};

// Takes a 64-bit number so that sums past the 32-bit ends saturate instead of wrapping.
std::int32_t SpinClamp(std::int64_t value, SpinRange range);

// The number a text holds (blanks, a sign and digits, as TryTextToInt32), of any length: one
// beyond the 64-bit range saturates. False when the text is not a number.
bool TryTextToNumber(const std::string& text, std::int64_t& value);

// What Value reads from the text: the number brought into the range (a number beyond it
// counts as the nearest bound), or MinValue when the text is not a number.
std::int32_t SpinValueOfText(const std::string& text, SpinRange range);

// Whether the text already shows the number Value reads from it (a number in range).
bool SpinTextShowsValue(const std::string& text, SpinRange range);

// What Value := value writes into the text.
std::string SpinTextOfValue(std::int64_t value, SpinRange range);

// Value +/- Increment, clamped.
std::int32_t SpinStep(std::int32_t value, std::int32_t increment, bool up, SpinRange range);

// Whether the edit lets a typed character through (refused ones beep).
bool SpinAcceptsChar(unsigned char ch, char decimalSeparator, bool editorEnabled);

// Smallest height the control may have.
int SpinMinHeight(int fontHeight, int systemFontHeight, int borderHeight);

struct SpinButtonPlace {
    int x = 0, y = 0, height = 0;
};
SpinButtonPlace PlaceSpinButton(int width, int height, int buttonWidth, bool ctl3d);

// The up and down halves share one pixel row.
struct SpinHalves {
    int upHeight = 0;
    int downTop = 0, downHeight = 0;
};
SpinHalves SplitSpinButton(int height);

constexpr int kSpinButtonMinWidth = 15;
constexpr unsigned kSpinFirstRepeatMs = 400;
constexpr unsigned kSpinNextRepeatMs = 100;

} // namespace quennet
