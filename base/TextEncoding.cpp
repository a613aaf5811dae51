#include "base/TextEncoding.h"

namespace quennet {

namespace {

// Bytes that follow the lead byte, and the smallest code point that needs them (anything
// lower is an overlong form).
bool LeadByte(unsigned char c, int& following, char32_t& codePoint, char32_t& smallest) {
    if (c < 0x80) {
        following = 0;
        codePoint = c;
        smallest = 0;
    } else if ((c & 0xE0) == 0xC0) {
        following = 1;
        codePoint = c & 0x1F;
        smallest = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        following = 2;
        codePoint = c & 0x0F;
        smallest = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        following = 3;
        codePoint = c & 0x07;
        smallest = 0x10000;
    } else {
        return false;
    }
    return true;
}

} // namespace

std::optional<char32_t> DecodeUtf8At(std::string_view text, std::size_t pos, std::size_t& length) {
    int following = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;
    if (!LeadByte(static_cast<unsigned char>(text[pos]), following, codePoint, smallest) ||
        text.size() - pos <= static_cast<std::size_t>(following))
        return std::nullopt;
    for (int k = 1; k <= following; ++k) {
        const auto c = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80)
            return std::nullopt;
        codePoint = (codePoint << 6) | (c & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return std::nullopt;
    length = static_cast<std::size_t>(following) + 1;
    return codePoint;
}

std::optional<std::u16string> Utf8ToUtf16(const std::string& text) {
    std::u16string units;
    units.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 0;
        auto codePoint = DecodeUtf8At(text, i, length);
        if (!codePoint)
            return std::nullopt;
        if (*codePoint >= 0x10000) {
            const char32_t above = *codePoint - 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (above >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (above & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(*codePoint));
        }
        i += length;
    }
    return units;
}

std::u16string FoldAsciiCase(std::u16string text) {
    for (char16_t& unit : text)
        if (unit >= u'A' && unit <= u'Z')
            unit = static_cast<char16_t>(unit + 0x20);
    return text;
}

} // namespace quennet
