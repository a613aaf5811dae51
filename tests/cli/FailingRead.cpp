// Preloaded into quennet-cli by the read-error test: reading a file whose name holds
// "unreadable" fails with EIO, as a bad disk sector would make it fail; in a file whose name
// holds "bad-5th-mb", only a read that touches its fifth megabyte does.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

bool Unreadable(int fd, off_t offset, size_t count) {
    char link[64];
    char target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, target, sizeof target - 1);
    if (length <= 0)
        return false;
    target[length] = '\0';
    constexpr off_t kMegabyte = 1 << 20;
    if (std::strstr(target, "bad-5th-mb") != nullptr)
        return offset < 5 * kMegabyte && offset + static_cast<off_t>(count) > 4 * kMegabyte;
    return std::strstr(target, "unreadable") != nullptr;
}

template <class Function> Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
    static const auto next = Next<ssize_t (*)(int, void*, size_t)>("read");
    if (Unreadable(fd, lseek(fd, 0, SEEK_CUR), count)) {
        errno = EIO;
        return -1;
    }
    return next(fd, buffer, count);
}

extern "C" ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
    static const auto next = Next<ssize_t (*)(int, void*, size_t, off_t)>("pread");
    if (Unreadable(fd, offset, count)) {
        errno = EIO;
        return -1;
    }
    return next(fd, buffer, count, offset);
}
