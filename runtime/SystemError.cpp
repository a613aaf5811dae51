#include "runtime/SystemError.h"

#include <cstdio>

namespace quennet {

std::string SystemErrorText(DWORD code) {
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = n && text ? std::string(text, n) : std::string();
    if (text)
        LocalFree(text);
    while (!result.empty() && (static_cast<unsigned char>(result.back()) <= ' ' || result.back() == '.'))
        result.pop_back();
    return result;
}

std::string HResultText(HRESULT code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08lX", static_cast<unsigned long>(code));
    return buf;
}

namespace {

std::string WithReason(const std::string& what, DWORD code) {
    const std::string reason = SystemErrorText(code);
    return what + " (" + (reason.empty() ? "error " + std::to_string(code) : reason) + ")";
}

} // namespace

ESystemError::ESystemError(const std::string& what, DWORD code)
    : Exception(WithReason(what, code)), code_(code) {}

} // namespace quennet
