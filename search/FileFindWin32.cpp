#include "search/FileFind.h"

#include "base/WidePath.h"

namespace quennet {

const std::uint32_t kNoMoreFiles = ERROR_NO_MORE_FILES;

namespace {

std::uint32_t SkipAndFill(TSearchRec& rec) {
    while (rec.FindData.dwFileAttributes & rec.ExcludeMask) {
        if (!FindNextFileW(rec.Handle.get(), &rec.FindData))
            return GetLastError();
    }
    rec.size_ = (static_cast<std::int64_t>(rec.FindData.nFileSizeHigh) << 32) |
                static_cast<std::int64_t>(rec.FindData.nFileSizeLow);
    rec.Attr = rec.FindData.dwFileAttributes;
    rec.Name = WideToUtf8(std::wstring_view(rec.FindData.cFileName, wcsnlen(rec.FindData.cFileName, MAX_PATH)));
    return 0;
}

} // namespace

std::int64_t TSearchRec::Size() {
    return size_;
}

std::int64_t TSearchRec::LastWriteTime() {
    // 100-nanosecond ticks since 1601; whole seconds since 1970, rounded down.
    const std::int64_t ticks = (static_cast<std::int64_t>(FindData.ftLastWriteTime.dwHighDateTime) << 32) |
                               FindData.ftLastWriteTime.dwLowDateTime;
    constexpr std::int64_t kTicksPerSecond = 10000000;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
    const std::int64_t seconds = ticks / kTicksPerSecond - kSecondsFrom1601To1970;
    return ticks % kTicksPerSecond < 0 ? seconds - 1 : seconds;
}

namespace {

// `pattern` is a path in the long form, its last part the names to list.
std::uint32_t OpenEnumeration(const std::wstring& pattern, std::uint32_t attrMask, TSearchRec& rec) {
    rec.ExcludeMask = 0x1E & ~attrMask;
    // The basic information leaves out the 8.3 name nobody reads; the large fetch asks the
    // file system for more entries per call.
    rec.Handle.reset(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &rec.FindData, FindExSearchNameMatch,
                                      nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!rec.Handle)
        return GetLastError();
    const std::uint32_t error = SkipAndFill(rec);
    if (error != 0)
        CloseFindHandle(rec);
    return error;
}

} // namespace

std::uint32_t FindFirstEntry(const std::string& pattern, std::uint32_t attrMask, TSearchRec& rec) {
    CloseFindHandle(rec);
    return OpenEnumeration(LongPathW(pattern), attrMask, rec);
}

std::uint32_t FindFirstEntryIn(const std::wstring& folder, std::uint32_t attrMask, TSearchRec& rec) {
    CloseFindHandle(rec);
    rec.FolderW = folder;
    return OpenEnumeration(folder + L"*", attrMask, rec);
}

std::uint32_t FindNextEntry(TSearchRec& rec) {
    if (!rec.Handle)
        return ERROR_INVALID_HANDLE;
    if (!FindNextFileW(rec.Handle.get(), &rec.FindData))
        return GetLastError();
    return SkipAndFill(rec);
}

void CloseFindHandle(TSearchRec& rec) {
    rec.Handle.reset();
}

bool IsAbsenceOrDenial(std::uint32_t error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_NO_MORE_FILES: // an empty drive root has not even "." to list
    case ERROR_DIRECTORY:     // a folder replaced by a file since it was listed
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return true;
    default:
        return false;
    }
}

std::string SystemErrorText(std::uint32_t error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words(text ? text : L"", length);
    LocalFree(text);
    while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' ' ||
                              words.back() == L'.'))
        words.pop_back();
    if (words.empty())
        return "error " + std::to_string(error);
    return WideToUtf8(words);
}

bool IsExistingFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(LongPathW(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string LookInPathFault(const std::string& path) {
    if (path.size() < 2 || path[1] != ':')
        return "not a drive path such as C:\\folder";
    const DWORD attributes = GetFileAttributesW(TypedFolderPathW(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return SystemErrorText(GetLastError());
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return "not a folder";
    return {};
}

bool GetFolderIdentity(const std::string& path, FolderIdentity& identity) {
    // No access asked, only the file's information; backup semantics let a folder be opened.
    FileHandle folder(CreateFileW(LongPathW(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!folder || !GetFileInformationByHandle(folder.get(), &info))
        return false;
    identity.Volume = info.dwVolumeSerialNumber;
    identity.File = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

} // namespace quennet
