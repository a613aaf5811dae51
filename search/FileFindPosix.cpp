#include "search/FileFind.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quennet {

const std::uint32_t kNoMoreFiles = 18; // the Windows code, so callers need not care

namespace {

// What the walk may see of an entry: folders, regular files, and links to either. FIFOs,
// sockets and devices are never opened, so they are left out of the enumeration.
enum class EntryKind { Folder, LinkedFolder, File, LinkLoop, Unknown, Other };

EntryKind KindFromType(unsigned char type) {
    switch (type) {
    case DT_DIR:
        return EntryKind::Folder;
    case DT_REG:
        return EntryKind::File;
    case DT_LNK:
    case DT_UNKNOWN:
        return EntryKind::Unknown;
    default:
        return EntryKind::Other;
    }
}

// Resolves an entry whose type the directory did not tell (or a link) with stat calls.
EntryKind ResolveKind(TSearchRec& rec) {
    const int dirFd = rec.Dir.Descriptor();
    struct stat st;
    if (fstatat(dirFd, rec.Name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return EntryKind::Other;
    if (S_ISDIR(st.st_mode))
        return EntryKind::Folder;
    if (S_ISLNK(st.st_mode)) {
        if (fstatat(dirFd, rec.Name.c_str(), &st, 0) != 0)
            return errno == ELOOP ? EntryKind::LinkLoop : EntryKind::Other; // else it leads nowhere
        if (S_ISDIR(st.st_mode))
            return EntryKind::LinkedFolder;
        if (!S_ISREG(st.st_mode))
            return EntryKind::Other;
    } else if (!S_ISREG(st.st_mode)) {
        return EntryKind::Other;
    }
    rec.size_ = st.st_size;
    rec.lastWrite_ = st.st_mtime;
    rec.sizeKnown_ = true;
    return EntryKind::File;
}

std::uint32_t ReadEntry(TSearchRec& rec) {
    for (;;) {
        errno = 0;
        const dirent64* entry = rec.Dir.Next();
        if (!entry)
            return errno != 0 ? static_cast<std::uint32_t>(errno) : kNoMoreFiles;
        rec.Name = entry->d_name;
        rec.sizeKnown_ = false;
        rec.LinkFault = 0;
        EntryKind kind = KindFromType(entry->d_type);
        if (kind == EntryKind::Unknown)
            kind = ResolveKind(rec);
        if (kind == EntryKind::Other)
            continue;
        if (kind == EntryKind::LinkLoop) {
            rec.Attr = faSymLink;
            rec.LinkFault = ELOOP;
            return 0;
        }
        rec.Attr = kind == EntryKind::Folder         ? faDirectory
                   : kind == EntryKind::LinkedFolder ? faDirectory | faSymLink
                                                     : faArchive;
        if (rec.Name[0] == '.' && kind == EntryKind::File)
            rec.Attr |= faHidden; // the POSIX convention for hidden files
        if (rec.Attr & rec.ExcludeMask)
            continue;
        return 0;
    }
}

} // namespace

std::int64_t TSearchRec::Size() {
    if (!sizeKnown_) {
        struct stat st;
        if (Dir && fstatat(Dir.Descriptor(), Name.c_str(), &st, 0) == 0) {
            size_ = st.st_size;
            lastWrite_ = st.st_mtime;
        } else {
            size_ = 0;
            lastWrite_ = 0;
        }
        sizeKnown_ = true;
    }
    return size_;
}

std::int64_t TSearchRec::LastWriteTime() {
    Size();
    return lastWrite_;
}

std::uint32_t FindFirstEntry(const std::string& pattern, std::uint32_t attrMask, TSearchRec& rec) {
    CloseFindHandle(rec);
    rec.ExcludeMask = 0x1E & ~attrMask;
    // The pattern is a folder followed by a wildcard name; the listing is of the folder.
    const auto slash = pattern.find_last_of(kPathSeparator);
    const std::string folder = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
    rec.Dir = FolderListing::Open(AT_FDCWD, folder.c_str());
    if (!rec.Dir)
        return static_cast<std::uint32_t>(errno);
    const std::uint32_t error = ReadEntry(rec);
    if (error != 0)
        CloseFindHandle(rec);
    return error;
}

std::uint32_t FindFirstEntryIn(FolderListing folder, std::uint32_t attrMask, TSearchRec& rec) {
    CloseFindHandle(rec);
    rec.ExcludeMask = 0x1E & ~attrMask;
    rec.Dir = std::move(folder);
    return ReadEntry(rec);
}

std::uint32_t FindNextEntry(TSearchRec& rec) {
    if (!rec.Dir)
        return EBADF;
    return ReadEntry(rec);
}

void CloseFindHandle(TSearchRec& rec) {
    rec.Dir = FolderListing();
}

bool IsAbsenceOrDenial(std::uint32_t error) {
    // ENOTDIR: a folder replaced by a file since it was listed is a folder no longer there.
    return error == ENOENT || error == ENOTDIR || error == EACCES || error == EPERM;
}

std::string SystemErrorText(std::uint32_t error) {
    return std::strerror(static_cast<int>(error));
}

bool IsExistingFolder(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string LookInPathFault(const std::string& path) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0)
        return std::strerror(path.empty() ? ENOENT : errno);
    if (!S_ISDIR(st.st_mode))
        return "not a folder";
    return {};
}

bool GetFolderIdentity(const std::string& path, FolderIdentity& identity) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    identity.Volume = static_cast<std::uint64_t>(st.st_dev);
    identity.File = static_cast<std::uint64_t>(st.st_ino);
    return true;
}

} // namespace quennet
