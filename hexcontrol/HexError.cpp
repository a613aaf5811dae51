#include "hexcontrol/HexError.h"

#include <cstdio>
#include <vector>

namespace quennet {

namespace {
template <typename... Args> std::string Fill(const char* fmt, Args... args) {
    int n = std::snprintf(nullptr, 0, fmt, args...);
    if (n <= 0)
        return fmt;
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::snprintf(buf.data(), buf.size(), fmt, args...);
    return std::string(buf.data(), static_cast<size_t>(n));
}
} // namespace

std::string HexFormat(const char* fmt, int value) {
    return Fill(fmt, value);
}
std::string HexFormat(const char* fmt, const std::string& text) {
    return Fill(fmt, text.c_str());
}
std::string HexFormat(const char* fmt, const std::string& first, const std::string& second) {
    return Fill(fmt, first.c_str(), second.c_str());
}
std::string HexFormat(const char* fmt, const std::string& text, int value) {
    return Fill(fmt, text.c_str(), value);
}

} // namespace quennet
