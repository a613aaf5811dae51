#include "search/FolderChain.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quennet {

namespace {

FolderIdentity IdentityFrom(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

} // namespace

std::uint32_t FolderChain::EnterRoot(const std::string& root) {
    FolderListing folder = FolderListing::Open(AT_FDCWD, root.c_str());
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

std::uint32_t FolderChain::Unusable(const Level& level) const {
    if (level.Folder)
        return 0;
    return level.Lost != 0 ? level.Lost : EBADF;
}

std::uint32_t FolderChain::Enter(const std::string& name, const FolderIdentity* identity) {
    Level& parent = levels_.back();
    if (const std::uint32_t error = Unusable(parent))
        return error;
    // By its name in its parent: one step for the kernel to resolve, and no length limit.
    FolderListing folder = FolderListing::Open(parent.Folder.Descriptor(), name.c_str());
    if (!folder && (errno == EMFILE || errno == ENFILE) && LetGoOuterFolders())
        folder = FolderListing::Open(parent.Folder.Descriptor(), name.c_str());
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
    levels_[outer].Folder = FolderListing();
}

bool FolderChain::LetGoOuterFolders() {
    bool any = false;
    for (std::size_t i = 0; i + 1 < levels_.size(); ++i) {
        if (!levels_[i].Folder)
            continue;
        Identify(i); // to know it again when it is opened through ".."
        levels_[i].Folder = FolderListing();
        any = true;
    }
    return any;
}

void FolderChain::Leave() {
    FolderListing child = std::move(levels_.back().Folder);
    levels_.pop_back();
    if (levels_.empty()) {
        path_.clear();
        return;
    }
    path_.resize(levels_.back().PathLength);
    if (!levels_.back().Folder)
        Reopen(child.Descriptor());
}

void FolderChain::Reopen(int child) {
    Level& level = levels_.back();
    level.Listed = false;
    struct stat st;
    if (child >= 0 && level.Known) {
        FolderListing up = FolderListing::Open(child, "..");
        if (up && fstat(up.Descriptor(), &st) == 0 && IdentityFrom(st) == level.Identity) {
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
    FolderListing folder =
        from == 0 ? FolderListing::Open(AT_FDCWD, path_.substr(0, levels_[0].PathLength).c_str())
                  : FolderListing::Open(levels_[from - 1].Folder.Descriptor(), NameOf(from).c_str());
    for (std::size_t step = from + 1; folder && step <= target; ++step)
        folder = FolderListing::Open(folder.Descriptor(), NameOf(step).c_str());
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
    Level& level = levels_.back();
    if (const std::uint32_t error = Unusable(level))
        return error;
    if (level.Listed)
        level.Folder.Rewind();
    level.Listed = true;
    return FindFirstEntryIn(std::move(level.Folder), attrMask, rec);
}

void FolderChain::EndListing(TSearchRec& rec) {
    Level& level = levels_.back();
    if (!level.Folder)
        level.Folder = std::move(rec.Dir);
}

bool FolderChain::IdentityOf(const std::string& name, FolderIdentity& identity) {
    const Level& level = levels_.back();
    struct stat st;
    if (!level.Folder || fstatat(level.Folder.Descriptor(), name.c_str(), &st, 0) != 0 ||
        !S_ISDIR(st.st_mode))
        return false;
    identity = IdentityFrom(st);
    return true;
}

bool FolderChain::InnermostIsInside(std::size_t level) {
    const Level& innermost = levels_.back();
    if (!innermost.Folder || !Identify(level))
        return false;
    // Up through "..", which the file system resolves in the folder itself, to its root.
    std::string up = ".";
    FolderIdentity below;
    for (;;) {
        struct stat st;
        if (fstatat(innermost.Folder.Descriptor(), up.c_str(), &st, 0) != 0)
            return false;
        const FolderIdentity here = IdentityFrom(st);
        if (here == levels_[level].Identity)
            return true;
        if (up.size() > 1 && here == below)
            return false; // the root is its own parent
        below = here;
        up += "/..";
    }
}

bool FolderChain::Identify(std::size_t index) {
    Level& level = levels_[index];
    struct stat st;
    if (!level.Known && level.Folder && fstat(level.Folder.Descriptor(), &st) == 0) {
        level.Known = true;
        level.Identity = IdentityFrom(st);
    }
    return level.Known;
}

} // namespace quennet
