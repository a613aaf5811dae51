#include "search/FileReader.h"

#include "search/FileFind.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quennet {

bool FileReader::Open(const std::string& path, const TSearchRec* entry) {
    Close();
    constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    // Only regular files reach here (the enumeration leaves out the rest). O_NONBLOCK: should a
    // FIFO take a file's place in between, opening and reading it must not hang.
    fd_ = entry && entry->Dir ? ::openat(dirfd(entry->Dir), entry->Name.c_str(), kFlags)
                              : ::open(path.c_str(), kFlags);
    return fd_ >= 0;
}

std::int64_t FileReader::Size() const {
    struct stat st;
    return fd_ >= 0 && fstat(fd_, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

std::size_t FileReader::Read(void* buffer, std::size_t count) {
    // One call: on a regular file a short count means the end, and asking again to see the
    // zero would cost a system call for every small file.
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, count);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            return 0;
    }
}

void FileReader::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace quennet
