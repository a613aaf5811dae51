#include "search/FileReader.h"

#include "search/FileFind.h"
#include "search/FolderListingPosix.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quennet {

namespace {

// Only regular files reach here (the enumeration leaves out the rest). O_NONBLOCK: should a
// FIFO take a file's place in between, opening and reading it must not hang.
constexpr int kOpenFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;

ReadFault FaultOf(int error) {
    switch (error) {
    case 0:
        return ReadFault::None;
    case ENOENT:
    case ENOTDIR:
    case EISDIR: // replaced by a folder since the listing
    case EACCES:
    case EPERM:
    case ELOOP:
    case ENXIO:
    case ENODEV:
    case EAGAIN: // a lease or a mandatory lock: as a file locked on Windows
    case ETXTBSY:
        return ReadFault::Absent;
    case EMFILE:
    case ENFILE:
        return ReadFault::NoDescriptor;
    default:
        return ReadFault::Other;
    }
}

// The descriptors open now; 3 (the standard streams) when they cannot be counted.
std::size_t DescriptorsOpen() {
    FolderListing listing = FolderListing::Open(AT_FDCWD, "/proc/self/fd");
    if (!listing)
        return 3;
    std::size_t count = 0;
    while (const dirent64* entry = listing.Next())
        count += entry->d_name[0] != '.';
    return count > 0 ? count - 1 : 0; // less the listing's own
}

} // namespace

OpenFolder::OpenFolder(std::shared_ptr<const std::string> path, const TSearchRec& entry) : path_(std::move(path)) {
    // Shared: the last of the walk and the scanners to let go closes it.
    folder_ = entry.Dir.Share();
}

OpenFolder::~OpenFolder() = default;

bool FileReader::Open(const std::string& path, const TSearchRec* entry) {
    file_.reset(entry && entry->Dir ? ::openat(entry->Dir.Descriptor(), entry->Name.c_str(), kOpenFlags)
                                    : ::open(path.c_str(), kOpenFlags));
    error_ = file_ ? 0 : errno;
    return static_cast<bool>(file_);
}

bool FileReader::Open(const OpenFolder& folder, const std::string& name) {
    file_.reset(folder.folder_ ? ::openat(folder.folder_->get(), name.c_str(), kOpenFlags)
                               : ::open((*folder.path_ + name).c_str(), kOpenFlags)); // not from a walk
    error_ = file_ ? 0 : errno;
    return static_cast<bool>(file_);
}

ReadFault FileReader::Fault() const {
    return FaultOf(error_);
}

std::string FileReader::FaultText() const {
    return std::strerror(error_);
}

std::int64_t FileReader::Size() const {
    struct stat st;
    return file_ && fstat(file_.get(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

std::size_t FileReader::Read(void* buffer, std::size_t count) {
    // One call: on a regular file a short count means the end, and asking again to see the
    // zero would cost a system call for every small file.
    for (;;) {
        const ssize_t got = ::read(file_.get(), buffer, count);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR) {
            error_ = errno;
            return 0;
        }
    }
}

std::size_t FileReader::ReadAt(void* buffer, std::size_t count, std::int64_t offset) {
    for (;;) {
        const ssize_t got = ::pread(file_.get(), buffer, count, static_cast<off_t>(offset));
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR) {
            error_ = errno;
            return 0;
        }
    }
}

std::size_t DescriptorsToSpare() {
    struct rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return static_cast<std::size_t>(-1) / 2;
    const std::size_t most = static_cast<std::size_t>(limit.rlim_cur);
    // The walk holds a folder or two open, and the output and the front end may open more.
    const std::size_t reserve = std::max<std::size_t>(4, most / 8);
    const std::size_t used = DescriptorsOpen() + reserve;
    return most > used ? most - used : 0;
}

} // namespace quennet
