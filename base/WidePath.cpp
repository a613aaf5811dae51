#include "base/WidePath.h"

#include <windows.h>

namespace quennet {

std::wstring Utf8ToWide(std::string_view text) {
    if (text.empty())
        return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string WideToUtf8(std::wstring_view text) {
    if (text.empty())
        return std::string();
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// True when "\\?\" can go in front as it is: absolute, backslashes only, no "." or ".." step
// (the prefixed form does not resolve them).
bool IsLiteralAbsolute(const std::wstring& path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    const bool unc = path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
    if (!drive && !unc)
        return false;
    if (path.find(L'/') != std::wstring::npos)
        return false;
    std::size_t start = drive ? 3 : 2;
    while (start <= path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos)
            end = path.size();
        const std::wstring_view step(path.data() + start, end - start);
        if (step == L"." || step == L"..")
            return false;
        start = end + 1;
    }
    return true;
}

std::wstring FullPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0)
            return path; // leave it to the caller's call to fail
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

bool IsPrefixed(const std::wstring& path) {
    return path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == L'?' || path[2] == L'.') &&
           IsSeparator(path[3]);
}

// `full`, a full path, with the prefix in front when it can be taken literally.
std::wstring Prefixed(std::wstring full) {
    if (!IsLiteralAbsolute(full))
        return full;
    if (full[0] == L'\\')
        return L"\\\\?\\UNC" + full.substr(1); // "\\server\share" -> "\\?\UNC\server\share"
    return L"\\\\?\\" + full;
}

} // namespace

std::wstring LongPathW(std::string_view path) {
    std::wstring wide = Utf8ToWide(path);
    if (wide.empty() || IsPrefixed(wide))
        return wide;
    return Prefixed(IsLiteralAbsolute(wide) ? std::move(wide) : FullPath(wide));
}

std::wstring TypedFolderPathW(std::string_view path) {
    std::wstring wide = Utf8ToWide(path);
    if (wide.empty() || IsPrefixed(wide))
        return wide;
    if (wide.size() == 2 && wide[1] == L':')
        wide.push_back(L'\\');
    return Prefixed(FullPath(wide));
}

} // namespace quennet
