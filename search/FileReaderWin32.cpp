#include "search/FileReader.h"

#include <windows.h>

#include <algorithm>

namespace quennet {

bool FileReader::Open(const std::string& path, const TSearchRec*) {
    Close();
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    handle_ = h;
    return true;
}

std::int64_t FileReader::Size() const {
    LARGE_INTEGER size;
    return handle_ != INVALID_HANDLE_VALUE && GetFileSizeEx(static_cast<HANDLE>(handle_), &size)
               ? size.QuadPart
               : -1;
}

std::size_t FileReader::Read(void* buffer, std::size_t count) {
    // One call: a short count means the end of the file. Pieces are at most 200 MB, well
    // inside ReadFile's 32-bit count.
    DWORD got = 0;
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(count, 0x7FFFF000u));
    if (!ReadFile(static_cast<HANDLE>(handle_), buffer, ask, &got, nullptr))
        return 0;
    return got;
}

void FileReader::Close() {
    if (handle_ != INVALID_HANDLE_VALUE) {
        CloseHandle(static_cast<HANDLE>(handle_));
        handle_ = INVALID_HANDLE_VALUE;
    }
}

} // namespace quennet
