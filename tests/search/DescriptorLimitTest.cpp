// Scanners that meet the process's descriptor limit wait for descriptors to come back; a file
// they could not open counted as one without the phrase, and its row was lost.
#ifndef _WIN32

#include "search/SearchWorker.h"

#include "TestTree.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/resource.h>
#include <unistd.h>

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

// Takes every free descriptor but `left`, and gives them all back later from its own thread.
class DescriptorHog {
  public:
    void TakeAllBut(int left) {
        for (int fd; (fd = dup(STDERR_FILENO)) >= 0;)
            taken_.push_back(fd);
        for (int i = 0; i < left && !taken_.empty(); ++i) {
            close(taken_.back());
            taken_.pop_back();
        }
        giveBack_ = std::thread([this] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            for (int fd : taken_)
                close(fd);
        });
    }
    ~DescriptorHog() {
        if (giveBack_.joinable())
            giveBack_.join();
    }
    bool Took() const { return !taken_.empty(); }

  private:
    std::vector<int> taken_;
    std::thread giveBack_;
};

TEST(DescriptorLimits, ScannersWaitForDescriptorsRatherThanMissRows) {
    TempTree tree;
    for (int i = 0; i < 40; ++i)
        tree.File("f" + std::to_string(i) + ".txt", "a needle");
    DescriptorLimit limit(128);
    DescriptorHog hog;
    // The pool has counted its descriptors by the time it starts its scanners: then the rest of
    // the process takes all of them but the walk's listing of the root and the pool's copy.
    ThreadStarter starter = [&hog](std::function<void()> body) {
        if (!hog.Took())
            hog.TakeAllBut(2);
        return std::thread(std::move(body));
    };
    SearchRun run;
    run.Criteria.PhraseText = "needle";
    run.Run({tree.Root()}, 0, 4, starter);
    EXPECT_TRUE(hog.Took());
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
    run.Sink.OnBegin = [&hog] { hog.TakeAllBut(1); }; // the walk's listing of the root
    run.Run({tree.Root()}, 0, 1);
    EXPECT_TRUE(hog.Took());
    EXPECT_EQ(run.Sink.Rows.size(), 5u);
    EXPECT_TRUE(run.Sink.Unread.empty());
}

} // namespace

#endif
