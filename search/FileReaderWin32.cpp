#include "search/FileReader.h"

#include <windows.h>

#include <algorithm>

namespace quennet {

bool FileReader::Open(const std::string& path) {
    Close();
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h, &size)) {
        CloseHandle(h);
        return false;
    }
    handle_ = h;
    size_ = size.QuadPart;
    return true;
}

std::size_t FileReader::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<char*>(buffer);
    std::size_t total = 0;
    // ReadFile takes 32-bit counts; pieces of up to 200 MB fit, larger asks are split.
    while (total < count) {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(count - total, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(static_cast<HANDLE>(handle_), out + total, ask, &got, nullptr) || got == 0)
            break;
        total += got;
    }
    return total;
}

void FileReader::Close() {
    if (handle_ != INVALID_HANDLE_VALUE) {
        CloseHandle(static_cast<HANDLE>(handle_));
        handle_ = INVALID_HANDLE_VALUE;
    }
    size_ = 0;
}

} // namespace quennet
