#include "search/FileFind.h"

namespace quennet {

const std::uint32_t kNoMoreFiles = ERROR_NO_MORE_FILES;

namespace {

std::uint32_t SkipAndFill(TSearchRec& rec) {
    while (rec.FindData.dwFileAttributes & rec.ExcludeMask) {
        if (!FindNextFileA(rec.Handle.get(), &rec.FindData))
            return GetLastError();
    }
    FILETIME local;
    WORD date = 0, time = 0;
    if (FileTimeToLocalFileTime(&rec.FindData.ftLastWriteTime, &local))
        FileTimeToDosDateTime(&local, &date, &time);
    rec.Time = (static_cast<std::uint32_t>(date) << 16) | time;
    rec.size_ = (static_cast<std::int64_t>(rec.FindData.nFileSizeHigh) << 32) |
                static_cast<std::int64_t>(rec.FindData.nFileSizeLow);
    rec.Attr = rec.FindData.dwFileAttributes;
    rec.Name.assign(rec.FindData.cFileName, strnlen(rec.FindData.cFileName, MAX_PATH));
    return 0;
}

} // namespace

std::int64_t TSearchRec::Size() {
    return size_;
}

std::uint32_t FindFirstEntry(const std::string& pattern, std::uint32_t attrMask, TSearchRec& rec) {
    CloseFindHandle(rec);
    rec.ExcludeMask = 0x1E & ~attrMask;
    rec.Handle.reset(FindFirstFileA(pattern.c_str(), &rec.FindData));
    if (!rec.Handle)
        return GetLastError();
    const std::uint32_t error = SkipAndFill(rec);
    if (error != 0)
        CloseFindHandle(rec);
    return error;
}

std::uint32_t FindNextEntry(TSearchRec& rec) {
    if (!rec.Handle)
        return ERROR_INVALID_HANDLE;
    if (!FindNextFileA(rec.Handle.get(), &rec.FindData))
        return GetLastError();
    return SkipAndFill(rec);
}

void CloseFindHandle(TSearchRec& rec) {
    rec.Handle.reset();
}

bool IsExistingFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsValidLookInPath(const std::string& path) {
    return IsExistingFolder(path) && path.size() >= 2 && path[1] == ':';
}

} // namespace quennet
