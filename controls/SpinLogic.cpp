#include "controls/SpinLogic.h"

#include <limits>

namespace quennet {

bool TryTextToNumber(const std::string& text, std::int64_t& value) {
    constexpr std::int64_t kSaturated = std::numeric_limits<std::int64_t>::max() / 10 - 10;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        if (v < kSaturated)
            v = v * 10 + (c - '0');
    }
    value = negative ? -v : v;
    return true;
}

bool TryTextToInt32(const std::string& text, std::int32_t& value) {
    std::int64_t v = 0;
    // The saturated reading of a longer number lies far outside 32 bits, so it is refused too.
    if (!TryTextToNumber(text, v) || v < std::numeric_limits<std::int32_t>::min() ||
        v > std::numeric_limits<std::int32_t>::max())
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

std::int32_t SpinClamp(std::int64_t value, SpinRange range) {
    constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
    value = value < lo ? lo : value > hi ? hi : value;
    if (range.maxValue != range.minValue) {
        if (value < range.minValue)
            value = range.minValue;
        else if (value > range.maxValue)
            value = range.maxValue;
    }
    return std::int32_t(value);
}

std::int32_t SpinValueOfText(const std::string& text, SpinRange range) {
    std::int64_t v;
    return TryTextToNumber(text, v) ? SpinClamp(v, range) : range.minValue;
}

bool SpinTextShowsValue(const std::string& text, SpinRange range) {
    std::int32_t v;
    return TryTextToInt32(text, v) && SpinClamp(v, range) == v;
}

std::string SpinTextOfValue(std::int64_t value, SpinRange range) {
    return std::to_string(SpinClamp(value, range));
}

std::int32_t SpinStep(std::int32_t value, std::int32_t increment, bool up, SpinRange range) {
    std::int64_t next = up ? std::int64_t(value) + increment : std::int64_t(value) - increment;
    return SpinClamp(next, range);
}

bool SpinAcceptsChar(unsigned char ch, char decimalSeparator, bool editorEnabled) {
    const bool control = ch < 32 || ch == 127;
    if (!editorEnabled && (!control || ch == 8 || ch == 127))
        return false;
    if (ch >= '0' && ch <= '9')
        return true;
    if (ch == '+' || ch == '-' || ch == static_cast<unsigned char>(decimalSeparator))
        return true;
    // Enter is refused: the window's own key handler has already acted on it.
    return control && ch != 13;
}

int SpinMinHeight(int fontHeight, int systemFontHeight, int borderHeight) {
    int smaller = fontHeight < systemFontHeight ? fontHeight : systemFontHeight;
    return fontHeight + smaller / 4 + 4 * borderHeight + 2;
}

SpinButtonPlace PlaceSpinButton(int width, int height, int buttonWidth, bool ctl3d) {
    if (ctl3d)
        return {width - buttonWidth - 5, 0, height - 5};
    return {width - buttonWidth, 1, height - 3};
}

SpinHalves SplitSpinButton(int height) {
    SpinHalves h;
    h.upHeight = height / 2;
    h.downTop = h.upHeight - 1;
    h.downHeight = height - h.upHeight + 1;
    return h;
}

} // namespace quennet
