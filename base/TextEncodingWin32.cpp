#include "base/TextEncoding.h"

#include <windows.h>

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

} // namespace quennet
