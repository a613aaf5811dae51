#include "hexcontrol/HexFileReader.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quennet {

bool HexFileReader::Open(const std::string& path) {
    file_.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    struct stat st;
    if (!file_ || fstat(file_.get(), &st) != 0) {
        const int error = errno;
        file_.reset();
        errno = error;
        return false;
    }
    size_ = static_cast<std::int64_t>(st.st_size);
    return true;
}

std::size_t HexFileReader::ReadAt(std::int64_t offset, void* dst, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(file_.get(), static_cast<char*>(dst) + done, count - done,
                                    static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (got > 0)
            done += static_cast<std::size_t>(got);
        else if (got == 0 || errno != EINTR)
            break;
    }
    return done;
}

} // namespace quennet
