// Preloaded into quennet-cli by the read-error test: reading a file whose name holds
// "unreadable" fails with EIO, as a bad disk sector would make it fail.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

bool Unreadable(int fd) {
    char link[64];
    char target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, target, sizeof target - 1);
    if (length <= 0)
        return false;
    target[length] = '\0';
    return std::strstr(target, "unreadable") != nullptr;
}

template <class Function> Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
    static const auto next = Next<ssize_t (*)(int, void*, size_t)>("read");
    if (Unreadable(fd)) {
        errno = EIO;
        return -1;
    }
    return next(fd, buffer, count);
}

extern "C" ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
    static const auto next = Next<ssize_t (*)(int, void*, size_t, off_t)>("pread");
    if (Unreadable(fd)) {
        errno = EIO;
        return -1;
    }
    return next(fd, buffer, count, offset);
}
