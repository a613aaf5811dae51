#include "search/FolderChain.h"

#include "base/WidePath.h"

namespace quennet {

namespace {

// The longest path the wide functions take, in UTF-16 units, "\\?\" and the final "*" of a
// listing included.
constexpr std::size_t kLongestPath = 32767;

// `path` in the "\\?\" form, taken literally.
bool IdentityOfWide(const std::wstring& path, FolderIdentity& identity) {
    // No access asked, only the file's information; backup semantics let a folder be opened.
    FileHandle folder(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!folder || !GetFileInformationByHandle(folder.get(), &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    identity.Volume = info.dwVolumeSerialNumber;
    identity.File = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

// The folder's path with every link and junction resolved, in the "\\?\" form; empty when it
// cannot be had.
std::wstring FinalPathOf(const std::wstring& path) {
    FileHandle folder(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder)
        return {};
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(folder.get(), final.data(), static_cast<DWORD>(final.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return {};
        if (length < final.size()) {
            final.resize(length);
            if (final.empty() || final.back() != L'\\')
                final.push_back(L'\\');
            return final;
        }
        final.resize(length);
    }
}

} // namespace

std::uint32_t FolderChain::EnterRoot(const std::string& root) {
    // The one place where the path is parsed as a user types it: made full, "." and ".."
    // resolved, slashes turned into backslashes, "D:" the drive's root, as the look-in check
    // took it.
    std::wstring wide = TypedFolderPathW(root);
    if (wide.empty())
        return ERROR_PATH_NOT_FOUND;
    if (wide.back() != L'\\')
        wide.push_back(L'\\');
    if (wide.size() + 1 > kLongestPath)
        return ERROR_FILENAME_EXCED_RANGE;
    // Rows show the path as typed in full, without the prefix: "C:\x\", "\\server\share\".
    std::wstring shown = wide;
    if (shown.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        shown = L"\\" + shown.substr(7);
    else if (shown.compare(0, 4, L"\\\\?\\") == 0)
        shown = shown.substr(4);
    widePath_ = std::move(wide);
    path_ = WideToUtf8(shown);
    levels_.clear();
    levels_.emplace_back();
    levels_.back().PathLength = path_.size();
    levels_.back().WidePathLength = widePath_.size();
    return 0;
}

std::uint32_t FolderChain::Enter(const std::string& name, const FolderIdentity* identity) {
    const std::wstring wideName = Utf8ToWide(name);
    if (widePath_.size() + wideName.size() + 2 > kLongestPath)
        return ERROR_FILENAME_EXCED_RANGE;
    widePath_ += wideName;
    widePath_.push_back(L'\\');
    path_ += name;
    path_.push_back(kPathSeparator);
    Level level;
    level.PathLength = path_.size();
    level.WidePathLength = widePath_.size();
    if (identity) {
        level.Known = true;
        level.Identity = *identity;
    }
    levels_.push_back(level);
    return 0;
}

void FolderChain::Leave() {
    levels_.pop_back();
    path_.resize(levels_.empty() ? 0 : levels_.back().PathLength);
    widePath_.resize(levels_.empty() ? 0 : levels_.back().WidePathLength);
}

bool FolderChain::LetGoOuterFolders() {
    return false;
}

std::uint32_t FolderChain::FindFirst(std::uint32_t attrMask, TSearchRec& rec) {
    return FindFirstEntryIn(widePath_, attrMask, rec);
}

void FolderChain::EndListing(TSearchRec&) {}

bool FolderChain::IdentityOf(const std::string& name, FolderIdentity& identity) {
    return IdentityOfWide(widePath_ + Utf8ToWide(name), identity);
}

bool FolderChain::InnermostIsInside(std::size_t level) {
    const std::wstring innermost = FinalPathOf(widePath_);
    const std::wstring outer = FinalPathOf(widePath_.substr(0, levels_[level].WidePathLength));
    return !outer.empty() && innermost.size() >= outer.size() &&
           CompareStringOrdinal(innermost.c_str(), static_cast<int>(outer.size()), outer.c_str(),
                                static_cast<int>(outer.size()), TRUE) == CSTR_EQUAL;
}

bool FolderChain::Identify(std::size_t index) {
    Level& level = levels_[index];
    if (!level.Known)
        level.Known = IdentityOfWide(widePath_.substr(0, level.WidePathLength), level.Identity);
    return level.Known;
}

} // namespace quennet
