#include "FileReadWatch.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <dlfcn.h>
#include <mutex>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

using quennet::test::FileReadWatch;

struct WatchState {
    std::atomic<bool> armed{false};
    dev_t device = 0;
    ino_t inode = 0;
    bool hold = false;
    bool released = false;
    std::size_t held = 0;
    std::map<std::thread::id, FileReadWatch::Reads> reads;
    std::mutex mutex;
    std::condition_variable changed;
};

WatchState& State() {
    static WatchState state;
    return state;
}

bool IsWatched(WatchState& state, int fd) {
    struct stat st;
    return fstat(fd, &st) == 0 && st.st_dev == state.device && st.st_ino == state.inode;
}

template <class ReadCall> ssize_t Watched(int fd, const ReadCall& readCall) {
    WatchState& state = State();
    if (!state.armed.load() || !IsWatched(state, fd))
        return readCall();
    const std::thread::id self = std::this_thread::get_id();
    bool afterRelease = false;
    {
        std::unique_lock<std::mutex> lock(state.mutex);
        if (state.hold && !state.released && state.reads[self].Calls == 1) {
            ++state.held;
            state.changed.notify_all();
            state.changed.wait(lock, [&] { return state.released; });
        }
        afterRelease = state.released;
    }
    const ssize_t got = readCall();
    const std::uint64_t bytes = got > 0 ? static_cast<std::uint64_t>(got) : 0;
    std::lock_guard<std::mutex> lock(state.mutex);
    FileReadWatch::Reads& mine = state.reads[self];
    ++mine.Calls;
    mine.Bytes += bytes;
    if (afterRelease) {
        ++mine.CallsAfterRelease;
        mine.BytesAfterRelease += bytes;
    }
    return got;
}

template <class Function> Function* Real(const char* name) {
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

} // namespace

// These take the C library's place in this program, the engine's calls included.
extern "C" ssize_t read(int fd, void* buffer, size_t count) {
    static const auto real = Real<ssize_t(int, void*, size_t)>("read");
    return Watched(fd, [&] { return real(fd, buffer, count); });
}

extern "C" ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
    static const auto real = Real<ssize_t(int, void*, size_t, off_t)>("pread");
    return Watched(fd, [&] { return real(fd, buffer, count, offset); });
}

extern "C" ssize_t pread64(int fd, void* buffer, size_t count, off64_t offset) {
    static const auto real = Real<ssize_t(int, void*, size_t, off64_t)>("pread64");
    return Watched(fd, [&] { return real(fd, buffer, count, offset); });
}

namespace quennet::test {

FileReadWatch::FileReadWatch(const std::string& path, bool holdSecondRead) {
    struct stat st {};
    stat(path.c_str(), &st);
    WatchState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.device = st.st_dev;
    state.inode = st.st_ino;
    state.hold = holdSecondRead;
    state.released = false;
    state.held = 0;
    state.reads.clear();
    state.armed = true;
}

FileReadWatch::~FileReadWatch() {
    Release();
    State().armed = false;
}

bool FileReadWatch::WaitUntilHeld(std::size_t threads) {
    WatchState& state = State();
    std::unique_lock<std::mutex> lock(state.mutex);
    return state.changed.wait_for(lock, std::chrono::minutes(1), [&] { return state.held >= threads; });
}

void FileReadWatch::Release() {
    WatchState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.released = true;
    state.changed.notify_all();
}

std::map<std::thread::id, FileReadWatch::Reads> FileReadWatch::PerThread() const {
    WatchState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.reads;
}

std::uint64_t FileReadWatch::Bytes() const {
    std::uint64_t bytes = 0;
    for (const auto& [thread, reads] : PerThread())
        bytes += reads.Bytes;
    return bytes;
}

} // namespace quennet::test
