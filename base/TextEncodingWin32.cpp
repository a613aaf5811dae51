#include "base/TextEncoding.h"

#include <windows.h>

#include <array>

namespace quennet {

// The criteria panel and the command line give text in the ANSI code page.
std::optional<std::u16string> NarrowToUtf16(const std::string& text) {
    if (text.empty())
        return std::u16string();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, &wide[0], length);
    return std::u16string(wide.begin(), wide.end());
}

char32_t AnsiCharacter(unsigned char byte) {
    // The page is the system's for the life of the process: its 256 answers are asked once.
    static const std::array<char32_t, 256> table = [] {
        std::array<char32_t, 256> characters{};
        for (int b = 0; b < 256; ++b) {
            const char narrow = static_cast<char>(b);
            wchar_t wide = 0;
            characters[static_cast<std::size_t>(b)] =
                MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &narrow, 1, &wide, 1) == 1
                    ? static_cast<char32_t>(wide)
                    : U'\xFFFD';
        }
        return characters;
    }();
    return table[byte];
}

} // namespace quennet
