#include "search/FolderChain.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quennet {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY;

FolderIdentity IdentityFrom(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

} // namespace

std::uint32_t FolderChain::EnterRoot(const std::string& root) {
    FileDescriptor folder(::open(root.c_str(), kFolderFlags));
    if (!folder)
        return static_cast<std::uint32_t>(errno);
    path_ = root;
    if (path_.empty() || path_.back() != kPathSeparator)
        path_.push_back(kPathSeparator);
    levels_.clear();
    levels_.emplace_back();
    levels_.back().PathLength = path_.size();
    levels_.back().Folder = std::move(folder);
    return 0;
}

std::uint32_t FolderChain::Enter(const std::string& name, const FolderIdentity* identity) {
    Level& parent = levels_.back();
    if (!parent.Folder)
        return parent.Lost;
    FileDescriptor folder(::openat(parent.Folder.get(), name.c_str(), kFolderFlags));
    if (!folder)
        return static_cast<std::uint32_t>(errno);
    path_ += name;
    path_.push_back(kPathSeparator);
    Level level;
    level.PathLength = path_.size();
    level.Folder = std::move(folder);
    if (identity) {
        level.Known = true;
        level.Identity = *identity;
    }
    levels_.push_back(std::move(level));
    LetGoOuter();
    return 0;
}

void FolderChain::LetGoOuter() {
    if (levels_.size() <= kHeldFolders)
        return;
    const std::size_t outer = levels_.size() - 1 - kHeldFolders;
    Identify(outer); // to know it again when it is opened through ".."
    levels_[outer].Folder.reset();
}

void FolderChain::Leave() {
    FileDescriptor child = std::move(levels_.back().Folder);
    levels_.pop_back();
    if (levels_.empty()) {
        path_.clear();
        return;
    }
    path_.resize(levels_.back().PathLength);
    if (!levels_.back().Folder)
        Reopen(child);
}

void FolderChain::Reopen(const FileDescriptor& child) {
    Level& level = levels_.back();
    struct stat st;
    if (child && level.Known) {
        FileDescriptor up(::openat(child.get(), "..", kFolderFlags));
        if (up && fstat(up.get(), &st) == 0 && IdentityFrom(st) == level.Identity) {
            level.Folder = std::move(up);
            return;
        }
    }
    // The child was reached through a link (or moved): down again by names from the nearest
    // folder still held, one step at a time.
    const std::size_t target = levels_.size() - 1;
    std::size_t from = target;
    while (from > 0 && !levels_[from - 1].Folder)
        --from;
    FileDescriptor folder;
    if (from == 0) {
        folder.reset(::open(path_.substr(0, levels_[0].PathLength).c_str(), kFolderFlags));
        from = 1;
    } else {
        folder.reset(::fcntl(levels_[from - 1].Folder.get(), F_DUPFD_CLOEXEC, 0));
    }
    for (std::size_t step = from; folder && step <= target; ++step)
        folder.reset(::openat(folder.get(), NameOf(step).c_str(), kFolderFlags));
    if (!folder) {
        level.Lost = static_cast<std::uint32_t>(errno);
        return;
    }
    level.Folder = std::move(folder);
}

std::string FolderChain::NameOf(std::size_t level) const {
    const std::size_t start = levels_[level - 1].PathLength;
    return path_.substr(start, levels_[level].PathLength - 1 - start);
}

std::uint32_t FolderChain::FindFirst(std::uint32_t attrMask, TSearchRec& rec) {
    const Level& level = levels_.back();
    if (!level.Folder)
        return level.Lost;
    return FindFirstEntryIn(level.Folder.get(), attrMask, rec);
}

bool FolderChain::IdentityOf(const std::string& name, FolderIdentity& identity) {
    const Level& level = levels_.back();
    struct stat st;
    if (!level.Folder || fstatat(level.Folder.get(), name.c_str(), &st, 0) != 0 || !S_ISDIR(st.st_mode))
        return false;
    identity = IdentityFrom(st);
    return true;
}

bool FolderChain::Identify(std::size_t index) {
    Level& level = levels_[index];
    struct stat st;
    if (!level.Known && level.Folder && fstat(level.Folder.get(), &st) == 0) {
        level.Known = true;
        level.Identity = IdentityFrom(st);
    }
    return level.Known;
}

bool FolderChain::Contains(const FolderIdentity& identity) {
    for (std::size_t i = 0; i < levels_.size(); ++i)
        if (Identify(i) && levels_[i].Identity == identity)
            return true;
    return false;
}

} // namespace quennet
