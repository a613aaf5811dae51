// The window's side of a search without a window: the queue that the searcher pushes into and
// the window's thread takes from, and the Search button's states.
#include "mainwindow/SearchPhase.h"
#include "mainwindow/StatusTexts.h"
#include "mainwindow/WindowSink.h"
#include "search/SearchWorker.h"

#include "../search/TestTree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

using namespace quennet;
using quennet::test::TempTree;

namespace {

// The window's thread: runs the posted wake-ups, and now and then takes the rows below a
// batch as the window's timer does.
struct WindowThread {
    std::mutex mutex;
    std::condition_variable posted;
    std::deque<std::function<void()>> queue;
    std::atomic<int> wakeUps{0};

    void Post(std::function<void()> call) {
        std::lock_guard<std::mutex> lock(mutex);
        queue.push_back(std::move(call));
        ++wakeUps;
        posted.notify_one();
    }
    // Serves until `done` holds after a call or a timer tick.
    template <class Tick, class Done> void Serve(Tick tick, Done done) {
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex);
            const bool woken = posted.wait_for(lock, std::chrono::milliseconds(100), [&] { return !queue.empty(); });
            auto calls = std::move(queue);
            queue.clear();
            lock.unlock();
            for (auto& call : calls)
                call();
            if (!woken)
                tick();
            if (done())
                return;
        }
    }
};

std::vector<std::string> ListedFiles(const std::string& folder) {
    std::vector<std::string> names;
    TSearchRec rec;
    for (auto s = FindFirstEntry(folder + "*", faAnyFile, rec); s == 0; s = FindNextEntry(rec))
        if (!(rec.Attr & faDirectory))
            names.push_back(rec.Name);
    CloseFindHandle(rec);
    return names;
}

class WindowHandOff : public ::testing::TestWithParam<std::size_t> {};

// Every row reaches the window in walk order before the end does, with one wake-up a batch.
TEST_P(WindowHandOff, RowsArriveInOrderBeforeTheEndWithOneWakeUpABatch) {
    TempTree tree;
    constexpr int kFiles = 1200;
    for (int i = 0; i < kFiles; ++i)
        tree.File("f" + std::to_string(i));
    const std::size_t batch = GetParam();
    WindowThread window;
    std::vector<std::string> listed;
    bool finished = false;
    std::size_t rowsAtFinish = 0;
    WindowSink* sinkPointer = nullptr;
    auto take = [&] {
        WindowSink::Taken taken = sinkPointer->Take();
        for (const ResultRow& row : taken.Rows)
            listed.push_back(row.Name);
        if (taken.Finished) {
            EXPECT_FALSE(finished) << "the end was taken twice";
            EXPECT_FALSE(taken.Fault);
            finished = true;
            rowsAtFinish = listed.size();
        }
    };
    WindowSink sink([&] { window.Post(take); }, batch);
    sinkPointer = &sink;
    SearchRequest request;
    request.Roots = {tree.Root()};
    SearchProgress progress;
    LiveSizeBounds size;
    TMyThread worker(request, size, sink, progress);
    window.Serve(take, [&] { return finished; });
    EXPECT_EQ(listed, ListedFiles(tree.Root()));
    EXPECT_EQ(rowsAtFinish, static_cast<std::size_t>(kFiles));
    EXPECT_EQ(progress.FilesFound.load(), kFiles);
    // A wake-up needs a batch of rows that came since the last take, or the end.
    EXPECT_LE(static_cast<std::size_t>(window.wakeUps.load()), kFiles / batch + 1);
}

INSTANTIATE_TEST_SUITE_P(Batches, WindowHandOff, ::testing::Values(std::size_t{1}, std::size_t{256}));

TEST(WindowSinkQueue, HoldsAtMostItsRowsInFlightUntilTheWindowTakesThem) {
    WindowSink sink([] {}, WindowSink::kRowsPerWakeUp);
    std::atomic<std::size_t> pushed{0};
    std::thread searcher([&] {
        for (std::size_t i = 0; i < WindowSink::kMaxRowsInFlight + 10; ++i) {
            sink.Row(ResultRow{std::to_string(i), "/", 0, 0, 0});
            ++pushed;
        }
    });
    while (pushed.load() < WindowSink::kMaxRowsInFlight)
        std::this_thread::yield();
    // A searcher that did not wait would be done long before this.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(pushed.load(), WindowSink::kMaxRowsInFlight);
    WindowSink::Taken first = sink.Take();
    searcher.join();
    WindowSink::Taken rest = sink.Take();
    EXPECT_EQ(first.Rows.size(), WindowSink::kMaxRowsInFlight);
    EXPECT_EQ(rest.Rows.size(), 10u);
    EXPECT_EQ(rest.Rows.back().Name, std::to_string(WindowSink::kMaxRowsInFlight + 9));
}

TEST(WindowSinkQueue, FaultsAndTheEndAreTakenOnceAfterTheRows) {
    int wakeUps = 0;
    WindowSink sink([&] { ++wakeUps; }, 256);
    sink.Error(SearchError{SearchError::Kind::NotRead, "Input/output error", "/a/bad"});
    sink.Error(SearchError{SearchError::Kind::NotRead, "Too many open files", "/a/worse"});
    sink.Row(ResultRow{"one", "/a/", 1, 0, 0});
    EXPECT_EQ(wakeUps, 0) << "a row below a batch waits for the timer";
    sink.Error(SearchError{SearchError::Kind::Other, "disk gone", {}});
    sink.Error(SearchError{SearchError::Kind::OutOfMemory, "Out of memory.", {}}); // only the first counts
    sink.Finish();
    EXPECT_EQ(wakeUps, 1) << "the end wakes the window";
    WindowSink::Taken taken = sink.Take();
    ASSERT_EQ(taken.Rows.size(), 1u);
    EXPECT_TRUE(taken.Finished);
    ASSERT_TRUE(taken.Fault);
    EXPECT_EQ(taken.Fault->Message, "disk gone");
    EXPECT_EQ(sink.NotReadCount(), 2u);
    EXPECT_EQ(sink.FirstNotRead().Path, "/a/bad");
    EXPECT_EQ(UnreadSummary(sink.NotReadCount(), sink.FirstNotRead()),
              "2 files or folders not read, the first: /a/bad (Input/output error)");
    EXPECT_FALSE(sink.Take().Finished) << "the end is taken once";

    sink.Reset();
    EXPECT_EQ(sink.NotReadCount(), 0u);
    sink.Finish();
    taken = sink.Take();
    EXPECT_TRUE(taken.Finished);
    EXPECT_FALSE(taken.Fault) << "the last search's fault was kept";
}

// Only the first file not read was named, in a cut status panel: every one is kept for the
// list the user can open, with its reason, and what the filters left out is counted.
TEST(WindowSinkQueue, EveryFileNotReadIsKeptWithItsReason) {
    WindowSink sink([] {}, 256);
    sink.Error(SearchError{SearchError::Kind::NotRead, "Input/output error", "/a/bad"});
    sink.Error(SearchError{SearchError::Kind::NotRead, "Too many open files", "/a/worse"});
    sink.FilteredOut(7);
    sink.Finish();
    sink.Take();
    EXPECT_EQ(sink.NotReadText(), "/a/bad: Input/output error\r\n/a/worse: Too many open files\r\n");
    EXPECT_EQ(EndOfSearchNote(sink.FilteredOutCount(), ""), "7 files left out by the filters.");
    EXPECT_EQ(EndOfSearchNote(sink.FilteredOutCount(), "Not read: /a/bad (Input/output error)"),
              "7 files left out by the filters; Not read: /a/bad (Input/output error)");
    EXPECT_EQ(EndOfSearchNote(0, ""), "");
    sink.Reset();
    EXPECT_EQ(sink.NotReadText(), "");
    EXPECT_EQ(sink.FilteredOutCount(), 0u);

    NotReadList many;
    for (std::size_t i = 0; i < NotReadList::kKept + 2; ++i)
        many.Add(SearchError{SearchError::Kind::NotRead, "why", "/f" + std::to_string(i)});
    const std::string text = many.Text();
    EXPECT_EQ(many.Count(), NotReadList::kKept + 2);
    EXPECT_EQ(text.substr(text.size() - 16), "... and 2 more\r\n");
    EXPECT_EQ(many.First().Path, "/f0");
}

TEST(SearchButton, StatesCaptionsAndLockedCriteria) {
    SearchPhase phase;
    EXPECT_EQ(phase.Pressed(), SearchPhase::Press::Start);
    EXPECT_STREQ(phase.Caption(), "Search");
    EXPECT_TRUE(phase.ButtonEnabled());
    EXPECT_TRUE(phase.CriteriaEnabled());
    EXPECT_TRUE(phase.CaseSensitiveEnabled(false));
    EXPECT_FALSE(phase.CaseSensitiveEnabled(true));
    EXPECT_TRUE(phase.AutoAdjustEnabled());

    phase.StopAsked(); // no search: nothing to stop
    EXPECT_EQ(phase.Now(), SearchPhase::State::Idle);

    phase.Started();
    EXPECT_EQ(phase.Pressed(), SearchPhase::Press::Stop);
    EXPECT_STREQ(phase.Caption(), "Stop");
    EXPECT_TRUE(phase.ButtonEnabled());
    EXPECT_FALSE(phase.CriteriaEnabled());
    EXPECT_FALSE(phase.CaseSensitiveEnabled(false));
    EXPECT_FALSE(phase.AutoAdjustEnabled());

    phase.StopAsked();
    EXPECT_EQ(phase.Pressed(), SearchPhase::Press::Ignore);
    EXPECT_STREQ(phase.Caption(), "Stopping...");
    EXPECT_FALSE(phase.ButtonEnabled());
    EXPECT_FALSE(phase.CriteriaEnabled());
    phase.Started(); // a start while stopping changes nothing
    EXPECT_EQ(phase.Now(), SearchPhase::State::Stopping);

    phase.Ended();
    EXPECT_EQ(phase.Pressed(), SearchPhase::Press::Start);
    EXPECT_STREQ(phase.Caption(), "Search");
    EXPECT_TRUE(phase.ButtonEnabled());
    EXPECT_TRUE(phase.CriteriaEnabled());
}

} // namespace
