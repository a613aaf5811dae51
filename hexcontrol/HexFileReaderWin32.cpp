#include "hexcontrol/HexFileReader.h"

#include "base/WidePath.h"

#include <windows.h>

#include <algorithm>

namespace quennet {

namespace {
// The one place the viewer opens a file by name: any length, any script, as the search found
// it. Delete sharing too: the user may delete or rename the file while it is viewed.
HANDLE OpenShared(const std::string& path) {
    return CreateFileW(LongPathW(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS, nullptr);
}
} // namespace

bool HexFileReader::Open(const std::string& path) {
    file_.reset(OpenShared(path));
    LARGE_INTEGER size{};
    if (!file_ || !GetFileSizeEx(file_.get(), &size)) {
        const DWORD error = GetLastError();
        file_.reset();
        SetLastError(error);
        return false;
    }
    size_ = size.QuadPart;
    return true;
}

std::size_t HexFileReader::ReadAt(std::int64_t offset, void* dst, std::size_t count) {
    // The offset rides in the OVERLAPPED structure: no seek, and no shared file position.
    std::size_t done = 0;
    while (done < count) {
        OVERLAPPED at{};
        const std::int64_t where = offset + static_cast<std::int64_t>(done);
        at.Offset = static_cast<DWORD>(where);
        at.OffsetHigh = static_cast<DWORD>(where >> 32);
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file_.get(), static_cast<char*>(dst) + done, ask, &got, &at) || got == 0)
            break;
        done += got;
    }
    return done;
}

} // namespace quennet
