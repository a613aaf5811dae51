#include "search/FileReader.h"

#include "search/FileFind.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quennet {

namespace {

// Only regular files reach here (the enumeration leaves out the rest). O_NONBLOCK: should a
// FIFO take a file's place in between, opening and reading it must not hang.
constexpr int kOpenFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;

// Folder descriptors held at once by all searches. Batches in flight can name hundreds of
// folders (one file each, in a sparse tree with many scanners); holding a descriptor for every
// one could exhaust the process's and make file opens fail, and a file that cannot be opened
// is silently not listed. Beyond this, files are opened by their whole path.
constexpr int kMostFoldersHeld = 64;
std::atomic<int> foldersHeld{0};

} // namespace

OpenFolder::OpenFolder(std::string path, const TSearchRec& entry) : path_(std::move(path)) {
    if (!entry.Dir)
        return;
    // A copy: the enumeration closes its own when the walk leaves the folder.
    if (foldersHeld.fetch_add(1) < kMostFoldersHeld)
        folder_.reset(::fcntl(dirfd(entry.Dir.get()), F_DUPFD_CLOEXEC, 0));
    if (!folder_)
        foldersHeld.fetch_sub(1);
}

OpenFolder::~OpenFolder() {
    if (folder_)
        foldersHeld.fetch_sub(1);
}

bool FileReader::Open(const std::string& path, const TSearchRec* entry) {
    file_.reset(entry && entry->Dir ? ::openat(dirfd(entry->Dir.get()), entry->Name.c_str(), kOpenFlags)
                                    : ::open(path.c_str(), kOpenFlags));
    return static_cast<bool>(file_);
}

bool FileReader::Open(const OpenFolder& folder, const std::string& name) {
    file_.reset(folder.folder_ ? ::openat(folder.folder_.get(), name.c_str(), kOpenFlags)
                               : ::open((folder.path_ + name).c_str(), kOpenFlags));
    return static_cast<bool>(file_);
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
        if (errno != EINTR)
            return 0;
    }
}

std::size_t FileReader::ReadAt(void* buffer, std::size_t count, std::int64_t offset) {
    for (;;) {
        const ssize_t got = ::pread(file_.get(), buffer, count, static_cast<off_t>(offset));
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            return 0;
    }
}

} // namespace quennet
