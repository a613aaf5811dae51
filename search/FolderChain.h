// The folders a walk is inside, the root first: each one is opened from the one it is in by its
// name alone, so the depth of a tree has no limit of its own.
//
// POSIX: every folder is opened relative to its parent's descriptor, which is also the one its
// listing reads (one descriptor per folder). Only the innermost few hold theirs; an outer one
// lets it go (its identity noted first) and is opened again through ".." of its child when the
// walk comes back to it, or by names from the nearest folder still held should ".." lead
// elsewhere (the child was reached through a link). A chain of any depth thus holds a handful
// of descriptors.
// Win32: the root is made a full path in the "\\?\" form once; names from the listings are
// appended as they are and never parsed again, so a file named "CON", "foo." or "tail. " is
// that file. A folder whose path would pass the 32,767 characters Windows allows is not
// entered (ERROR_FILENAME_EXCED_RANGE), for the caller to report.
#pragma once

#include "search/FileFind.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quennet {

class FolderChain {
  public:
    // How many of the innermost folders keep a descriptor (POSIX).
    static constexpr std::size_t kHeldFolders = 8;

    FolderChain() = default;
    FolderChain(const FolderChain&) = delete;
    FolderChain& operator=(const FolderChain&) = delete;

    // The first folder. 0, or the platform's error code (nothing entered then).
    std::uint32_t EnterRoot(const std::string& root);
    // `name`, a subfolder from the innermost folder's listing. `identity`: the folder's, when
    // the caller found it out. 0, or the platform's error code (nothing entered then).
    std::uint32_t Enter(const std::string& name, const FolderIdentity* identity = nullptr);
    // Back to the folder around the innermost one.
    void Leave();
    // Lets go of the descriptors of every folder but the innermost, each opened again on the
    // way back: those the walk can hand back itself when the process has none left. False when
    // none was held (always on Windows, whose chain holds none).
    bool LetGoOuterFolders();
    bool Empty() const { return levels_.empty(); }

    // The innermost folder's path with its trailing separator, as rows show it: on Windows the
    // root's full path (backslashes, no "." or ".." steps) and the names as listed.
    const std::string& Path() const { return path_; }

    // Lists the innermost folder; EndListing with the same record once the listing is done.
    std::uint32_t FindFirst(std::uint32_t attrMask, TSearchRec& rec);
    void EndListing(TSearchRec& rec);
    // The identity of `name` in the innermost folder, links followed; false when it is not a
    // folder that can be reached.
    bool IdentityOf(const std::string& name, FolderIdentity& identity);
    // The level (0 the root) of the folder the walk is inside whose identity is `identity`;
    // kNotInside when there is none.
    static constexpr std::size_t kNotInside = static_cast<std::size_t>(-1);
    std::size_t LevelOf(const FolderIdentity& identity) {
        for (std::size_t i = 0; i < levels_.size(); ++i)
            if (Identify(i) && levels_[i].Identity == identity)
                return i;
        return kNotInside;
    }
    bool Contains(const FolderIdentity& identity) { return LevelOf(identity) != kNotInside; }
    // Whether the innermost folder is, in the file system itself (links resolved), the folder
    // at `level` or inside it, so that a link from it to that folder leads to itself or to
    // one of its own parents.
    bool InnermostIsInside(std::size_t level);
    // The path of a folder the walk is inside, with its trailing separator.
    std::string PathOf(std::size_t level) const { return path_.substr(0, levels_[level].PathLength); }

  private:
    struct Level {
        std::size_t PathLength = 0; // of path_ up to and with this folder's separator
        bool Known = false;         // Identity found out
        FolderIdentity Identity;
#ifdef _WIN32
        std::size_t WidePathLength = 0;
#else
        // The folder's listing, whose descriptor also opens its subfolders; let go beyond the
        // innermost kHeldFolders, and lent to the record while the folder is listed.
        FolderListing Folder;
        bool Listed = false;    // read to its end: a new listing starts from the start again
        std::uint32_t Lost = 0; // why the folder could not be opened again, if it could not
#endif
    };

    bool Identify(std::size_t level);
#ifndef _WIN32
    void LetGoOuter();
    void Reopen(int child);
    std::uint32_t Unusable(const Level& level) const;
    std::string NameOf(std::size_t level) const;
#endif

    std::vector<Level> levels_;
    std::string path_;
#ifdef _WIN32
    std::wstring widePath_; // path_ in the "\\?\" form
#endif
};

} // namespace quennet
