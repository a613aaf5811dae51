#include "search/FileReader.h"

#include "search/FileFind.h"
#include "base/WidePath.h"

#include <windows.h>

#include <algorithm>
#include <system_error>
#include <utility>

namespace quennet {

namespace {

HANDLE OpenForReading(const std::wstring& path, FileSharing sharing) {
    const bool viewer = sharing == FileSharing::ReadWriteDelete;
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | (viewer ? FILE_SHARE_DELETE : 0);
    // The hint tells the cache what to read ahead: the whole file for a scan, little for pages.
    return CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                       viewer ? FILE_FLAG_RANDOM_ACCESS : FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// A name Windows paths cannot hold ('"', '*', '?', '<', '>', '|', as Wine lists files of other
// systems) is refused by every open; the short name the system gave the file is not.
// `folder` ends in a backslash. Empty when the file has none.
std::wstring ShortNameOf(const std::wstring& folder, const std::wstring& name) {
    std::wstring pattern = name;
    for (wchar_t& c : pattern)
        if (c == L'"' || c == L'*' || c == L'?' || c == L'<' || c == L'>' || c == L'|' || c < 32)
            c = L'?';
    WIN32_FIND_DATAW data;
    FindHandle found(FindFirstFileExW((folder + pattern).c_str(), FindExInfoStandard, &data, FindExSearchNameMatch,
                                      nullptr, 0));
    if (!found)
        return {};
    do {
        if (name == data.cFileName)
            return data.cAlternateFileName;
    } while (FindNextFileW(found.get(), &data));
    return {};
}

// `folder` + `name`, or the file by its short name when the system refuses the name itself.
HANDLE OpenInFolder(const std::wstring& folder, const std::wstring& name, FileSharing sharing) {
    HANDLE file = OpenForReading(folder + name, sharing);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_INVALID_NAME)
        return file;
    const std::wstring shortName = ShortNameOf(folder, name);
    if (shortName.empty()) {
        SetLastError(ERROR_INVALID_NAME);
        return file;
    }
    return OpenForReading(folder + shortName, sharing);
}

} // namespace

OpenFolder::OpenFolder(std::shared_ptr<const std::string> path, const TSearchRec& entry)
    : path_(std::move(path)), wideFolder_(entry.FolderW.empty() ? LongPathW(*path_) : entry.FolderW) {}

OpenFolder::~OpenFolder() = default;

bool FileReader::Open(const std::string& path, const TSearchRec* entry) {
    // The name exactly as listed: parsed again, "CON" would be the console and "foo." the file "foo".
    if (entry && !entry->FolderW.empty()) {
        file_.reset(OpenInFolder(entry->FolderW, entry->FindData.cFileName, sharing_));
    } else {
        const std::wstring wide = LongPathW(path);
        const std::size_t slash = wide.rfind(L'\\');
        file_.reset(slash == std::wstring::npos ? OpenForReading(wide, sharing_)
                                                : OpenInFolder(wide.substr(0, slash + 1), wide.substr(slash + 1), sharing_));
    }
    error_ = file_ ? 0 : static_cast<int>(GetLastError());
    return static_cast<bool>(file_);
}

ReadFault FileReader::Fault() const {
    switch (error_) {
    case 0:
        return ReadFault::None;
    case ERROR_TOO_MANY_OPEN_FILES:
    case ERROR_NO_SYSTEM_RESOURCES:
        return ReadFault::NoDescriptor;
    // Only what surely is not "missing, locked or denied": the rest stays silent, as ever.
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_IO_DEVICE:
    case ERROR_INVALID_NAME: // a name no path can say, and no short name to read it by
        return ReadFault::Other;
    default:
        return ReadFault::Absent;
    }
}

std::string FileReader::FaultText() const {
    return std::system_category().message(error_);
}

std::size_t DescriptorsToSpare() {
    return static_cast<std::size_t>(-1) / 2;
}

bool FileReader::Open(const OpenFolder& folder, const std::string& name) {
    file_.reset(OpenInFolder(folder.wideFolder_, Utf8ToWide(name), sharing_));
    error_ = file_ ? 0 : static_cast<int>(GetLastError());
    return static_cast<bool>(file_);
}

std::int64_t FileReader::Size() const {
    LARGE_INTEGER size;
    return file_ && GetFileSizeEx(file_.get(), &size) ? size.QuadPart : -1;
}

std::size_t FileReader::Read(void* buffer, std::size_t count) {
    // One call: a short count means the end of the file. Pieces are at most 200 MB, well
    // inside ReadFile's 32-bit count.
    DWORD got = 0;
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(count, 0x7FFFF000u));
    if (!ReadFile(file_.get(), buffer, ask, &got, nullptr)) {
        error_ = static_cast<int>(GetLastError());
        return 0;
    }
    return got;
}

std::size_t FileReader::ReadAt(void* buffer, std::size_t count, std::int64_t offset) {
    // On a handle opened for synchronous reading the offset in OVERLAPPED is a plain seek.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    DWORD got = 0;
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(count, 0x7FFFF000u));
    if (!ReadFile(file_.get(), buffer, ask, &got, &at)) {
        if (GetLastError() != ERROR_HANDLE_EOF) // past the end
            error_ = static_cast<int>(GetLastError());
        return 0;
    }
    return got;
}

} // namespace quennet
