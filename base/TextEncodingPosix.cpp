#include "base/TextEncoding.h"

namespace quennet {

// Names and arguments are UTF-8 here.
std::optional<std::u16string> NarrowToUtf16(const std::string& text) {
    return Utf8ToUtf16(text);
}

} // namespace quennet
