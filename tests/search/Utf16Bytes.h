// A UTF-16 file's bytes: the byte-order mark, then the units in that order.
#pragma once

#include <string>

namespace quennet::test {

inline std::string Utf16Bytes(const std::u16string& units, bool bigEndian) {
    std::string bytes(bigEndian ? "\xFE\xFF" : "\xFF\xFE");
    for (char16_t unit : units) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

} // namespace quennet::test
