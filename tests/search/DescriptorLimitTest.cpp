// Scanners that meet the process's descriptor limit wait for descriptors to come back; a file
// they could not open counted as one without the phrase, and its row was lost.
#ifndef _WIN32

#include "search/SearchWorker.h"

#include "TestTree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <mutex>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Opens refused for want of a descriptor, as the C library's open calls below see them.
std::mutex refusalMutex;
std::condition_variable refusalSeen;
int refusals = 0;

int NoteRefusal(int result) {
    if (result < 0 && (errno == EMFILE || errno == ENFILE)) {
        const int error = errno;
        {
            std::lock_guard<std::mutex> lock(refusalMutex);
            ++refusals;
        }
        refusalSeen.notify_all();
        errno = error;
    }
    return result;
}

// Called before every open of a file to scan (a ".txt" file) while set.
std::atomic<std::function<void()>*> beforeScanOpen{nullptr};

void BeforeOpen(const char* path) {
    const std::size_t length = std::strlen(path);
    if (length >= 4 && std::strcmp(path + length - 4, ".txt") == 0)
        if (std::function<void()>* step = beforeScanOpen.load())
            (*step)();
}

mode_t ModeOf(int flags, va_list args) {
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

} // namespace

// These take the C library's place in this program, the engine's calls included.
extern "C" int open(const char* path, int flags, ...) {
    static const auto real = reinterpret_cast<int (*)(const char*, int, ...)>(dlsym(RTLD_NEXT, "open"));
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    BeforeOpen(path);
    return NoteRefusal(real(path, flags, mode));
}

extern "C" int openat(int folder, const char* path, int flags, ...) {
    static const auto real =
        reinterpret_cast<int (*)(int, const char*, int, ...)>(dlsym(RTLD_NEXT, "openat"));
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    BeforeOpen(path);
    return NoteRefusal(real(folder, path, flags, mode));
}

using namespace quennet;
using quennet::test::SearchRun;
using quennet::test::TempTree;

namespace {

// Lowers the descriptor limit for one test and puts it back.
class DescriptorLimit {
  public:
    explicit DescriptorLimit(rlim_t most) {
        getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = most;
        EXPECT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    }
    ~DescriptorLimit() { setrlimit(RLIMIT_NOFILE, &saved_); }

  private:
    rlimit saved_{};
};

// Before each open of a file to scan, takes every descriptor free then, so the open is refused
// (unless one came back in between); gives them all back from its own thread once an open has
// been refused.
class DescriptorHog {
  public:
    DescriptorHog() { beforeScanOpen = &takeFree_; }
    ~DescriptorHog() {
        beforeScanOpen = nullptr;
        Join();
    }
    // Once the descriptors are back: whether an open was refused for want of one.
    bool Refused() {
        Join();
        return refused_;
    }

  private:
    void TakeFree() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (givenBack_)
            return;
        for (int fd; (fd = dup(STDERR_FILENO)) >= 0;)
            taken_.push_back(fd);
        if (giveBack_.joinable())
            return;
        int refusedBefore = 0;
        {
            std::lock_guard<std::mutex> counting(refusalMutex);
            refusedBefore = refusals;
        }
        giveBack_ = std::thread([this, refusedBefore] {
            {
                // A minute at most: a search that never asks again must not hang the test.
                std::unique_lock<std::mutex> waiting(refusalMutex);
                refused_ = refusalSeen.wait_for(waiting, std::chrono::minutes(1),
                                                [&] { return refusals > refusedBefore; });
            }
            beforeScanOpen = nullptr;
            std::lock_guard<std::mutex> giving(mutex_);
            givenBack_ = true;
            for (int fd : taken_)
                close(fd);
        });
    }
    void Join() {
        if (giveBack_.joinable())
            giveBack_.join();
    }
    std::function<void()> takeFree_ = [this] { TakeFree(); };
    std::mutex mutex_;
    std::vector<int> taken_;
    bool givenBack_ = false;
    std::thread giveBack_;
    bool refused_ = false;
};

TEST(DescriptorLimits, ScannersWaitForDescriptorsRatherThanMissRows) {
    TempTree tree;
    for (int i = 0; i < 40; ++i)
        tree.File("f" + std::to_string(i) + ".txt", "a needle");
    DescriptorLimit limit(128);
    DescriptorHog hog;
    SearchRun run;
    run.Criteria.PhraseText = "needle";
    run.Run({tree.Root()}, 0, 4);
    EXPECT_TRUE(hog.Refused());
    EXPECT_EQ(run.Sink.Rows.size(), 40u);
    EXPECT_TRUE(run.Sink.Unread.empty());
}

TEST(DescriptorLimits, OneThreadWaitsForDescriptorsToo) {
    TempTree tree;
    for (int i = 0; i < 5; ++i)
        tree.File("f" + std::to_string(i) + ".txt", "a needle");
    DescriptorLimit limit(128);
    DescriptorHog hog;
    SearchRun run;
    run.Criteria.PhraseText = "needle";
    run.Run({tree.Root()}, 0, 1);
    EXPECT_TRUE(hog.Refused());
    EXPECT_EQ(run.Sink.Rows.size(), 5u);
    EXPECT_TRUE(run.Sink.Unread.empty());
}

} // namespace

#endif
