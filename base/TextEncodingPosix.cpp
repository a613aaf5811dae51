#include "base/TextEncoding.h"

namespace quennet {

// Names and arguments are UTF-8 here.
std::optional<std::u16string> NarrowToUtf16(const std::string& text) {
    return Utf8ToUtf16(text);
}

// What Windows calls its Western ANSI page, and what Wine gives by default; the five bytes it
// leaves undefined stand for the control characters of the same number, as Windows maps them.
char32_t AnsiCharacter(unsigned char byte) {
    static constexpr char16_t kHighHalf[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    if (byte >= 0x80 && byte < 0xA0)
        return kHighHalf[byte - 0x80];
    return byte;
}

} // namespace quennet
