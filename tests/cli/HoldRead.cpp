// Preloaded into quennet-cli by the descriptor tests: every read of a file named "hold" past its
// first bytes waits (the first chunk tells the file is long, and it is shared out in ranges),
// so the scanners reading it are all held while the walk goes on opening folders. The reads
// go on once the walk waits with descriptors to spare: it stopped at its cap (or its window of
// undecided files is full). A walk that uses every descriptor up waits too, for one to come
// back, which no held scanner gives; the reads then go on once it has given a folder up and
// moved on (or, should it never move on, after a while), so the search still finishes and
// tells what it lost. Folders are told by their names, "d" and a number.
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

// Seconds a read is held at most, whatever the walk does: far beyond its reaching the cap, and
// beyond the couple of seconds after which a walk with no descriptor left gives a folder up.
constexpr long kLongestHold = 15;

std::atomic<bool> released{false};
std::atomic<bool> holding{false};     // a read of "hold" has been held
std::atomic<pid_t> walker{0};         // the thread that opens the tree's folders "d<number>"
std::atomic<bool> walkStarved{false}; // the walk waited with no descriptor left

// The calls made here must not change what the program's own call leaves in errno.
class KeepErrno {
  public:
    KeepErrno() : saved_(errno) {}
    ~KeepErrno() { errno = saved_; }
    KeepErrno(const KeepErrno&) = delete;
    KeepErrno& operator=(const KeepErrno&) = delete;

  private:
    int saved_;
};

template <class Function> Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool NamedHold(int fd) {
    char link[64];
    char target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, target, sizeof target - 1);
    if (length <= 0)
        return false;
    target[length] = '\0';
    const char* slash = std::strrchr(target, '/');
    return std::strcmp(slash ? slash + 1 : target, "hold") == 0;
}

// "d" and digits, as the tests name the folders they make.
bool NumberedFolder(const char* path) {
    if (!path)
        return false;
    std::size_t length = std::strlen(path);
    while (length > 0 && path[length - 1] == '/')
        --length;
    std::size_t start = length;
    while (start > 0 && path[start - 1] != '/')
        --start;
    if (length - start < 2 || path[start] != 'd')
        return false;
    for (std::size_t i = start + 1; i < length; ++i)
        if (path[i] < '0' || path[i] > '9')
            return false;
    return true;
}

// A walk that waited for a descriptor and goes on to another folder has given a folder up:
// that is all the test needs to see, and the rest may be read.
void NoteFolderOpener(const char* path) {
    if (!NumberedFolder(path))
        return;
    if (walkStarved.load() && gettid() == walker.load())
        released.store(true);
    walker.store(gettid());
}

long Seconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec;
}

// `offset`: the read's, or -1 for one at the file's position. Polls rather than waits on a
// condition variable: this library's own waits would come back through the interposed ones.
void HoldWhileAsked(int fd, off_t offset) {
    if (released.load())
        return;
    const KeepErrno keep;
    if (offset < 0)
        offset = lseek(fd, 0, SEEK_CUR);
    if (offset <= 0 || !NamedHold(fd))
        return;
    holding.store(true);
    const long start = Seconds();
    const timespec pause{0, 1000000};
    while (!released.load()) {
        if (Seconds() - start > kLongestHold)
            released.store(true);
        nanosleep(&pause, nullptr);
    }
}

bool DescriptorToSpare() {
    const int probe = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (probe < 0)
        return errno != EMFILE;
    close(probe);
    return true;
}

// The walk waits: at its cap if descriptors are left, else for one to come back.
void WalkWaits() {
    if (!holding.load() || released.load() || gettid() != walker.load())
        return;
    const KeepErrno keep;
    if (DescriptorToSpare())
        released.store(true);
    else
        walkStarved.store(true);
}

} // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
    static const auto next = Next<ssize_t (*)(int, void*, size_t)>("read");
    HoldWhileAsked(fd, -1);
    return next(fd, buffer, count);
}

extern "C" ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
    static const auto next = Next<ssize_t (*)(int, void*, size_t, off_t)>("pread");
    HoldWhileAsked(fd, offset);
    return next(fd, buffer, count, offset);
}

extern "C" int openat(int folder, const char* path, int flags, ...) {
    static const auto next = Next<int (*)(int, const char*, int, ...)>("openat");
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list rest;
        va_start(rest, flags);
        mode = static_cast<mode_t>(va_arg(rest, int));
        va_end(rest);
    }
    if (flags & O_DIRECTORY)
        NoteFolderOpener(path);
    return next(folder, path, flags, mode);
}

extern "C" int pthread_cond_wait(pthread_cond_t* condition, pthread_mutex_t* mutex) {
    static const auto next = Next<int (*)(pthread_cond_t*, pthread_mutex_t*)>("pthread_cond_wait");
    WalkWaits();
    return next(condition, mutex);
}

extern "C" int pthread_cond_timedwait(pthread_cond_t* condition, pthread_mutex_t* mutex,
                                      const timespec* until) {
    static const auto next =
        Next<int (*)(pthread_cond_t*, pthread_mutex_t*, const timespec*)>("pthread_cond_timedwait");
    WalkWaits();
    return next(condition, mutex, until);
}

extern "C" int pthread_cond_clockwait(pthread_cond_t* condition, pthread_mutex_t* mutex, clockid_t clock,
                                      const timespec* until) {
    static const auto next = Next<int (*)(pthread_cond_t*, pthread_mutex_t*, clockid_t, const timespec*)>(
        "pthread_cond_clockwait");
    WalkWaits();
    return next(condition, mutex, clock, until);
}
