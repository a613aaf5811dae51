#include "search/SearchWorker.h"

#include "TestTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifndef _WIN32
namespace {
bool IsNoMemFolder(const std::string& path);
std::string FolderOfDescriptor(int fd);
} // namespace

// These take the C library's place in this program, the engine's calls included.
extern "C" DIR* opendir(const char* name) {
    static const auto real = reinterpret_cast<DIR* (*)(const char*)>(dlsym(RTLD_NEXT, "opendir"));
    if (IsNoMemFolder(name)) {
        errno = ENOMEM;
        return nullptr;
    }
    return real(name);
}

extern "C" DIR* fdopendir(int fd) {
    static const auto real = reinterpret_cast<DIR* (*)(int)>(dlsym(RTLD_NEXT, "fdopendir"));
    if (IsNoMemFolder(FolderOfDescriptor(fd))) {
        errno = ENOMEM;
        return nullptr;
    }
    return real(fd);
}
#endif

using namespace quennet;
using quennet::test::SearchRun;
using quennet::test::TempTree;

namespace {

std::size_t IndexOf(const std::vector<std::string>& names, const std::string& name) {
    return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

TEST(Walk, FilesBeforeSubfoldersDepthFirst) {
    TempTree tree;
    tree.File("top1.txt");
    tree.File("top2.txt");
    tree.File("a/in-a.txt");
    tree.File("a/deep/in-deep.txt");
    tree.File("c/in-c.txt");
    SearchRun run;
    run.Run({tree.Root()});
    const auto names = run.FrontEnd.Names();
    ASSERT_EQ(names.size(), 5u);
    EXPECT_LT(std::max(IndexOf(names, "top1.txt"), IndexOf(names, "top2.txt")), 2u);
    // The subtree of "a" is walked whole before or after "c", never interleaved.
    EXPECT_EQ(IndexOf(names, "in-deep.txt"), IndexOf(names, "in-a.txt") + 1);
    const std::size_t c = IndexOf(names, "in-c.txt");
    EXPECT_TRUE(c == 2 || c == 4);
    EXPECT_EQ(run.FrontEnd.Events.front(), "prepare");
    EXPECT_EQ(run.FrontEnd.Events.back(), "finish");
    EXPECT_EQ(run.Progress.FilesFound.load(), 5);
}

TEST(Walk, DotFoldersSkippedDotFilesTested) {
    TempTree tree;
    tree.File(".profile");
    tree.File(".config/settings");
    tree.File("visible/.hidden-file");
    SearchRun run;
    run.Run({tree.Root()});
    auto names = run.FrontEnd.Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".hidden-file", ".profile"}));
}

TEST(Walk, RowsCarryFolderSizeAndOffset) {
    TempTree tree;
    tree.File("sub/data.bin", "....needle");
    SearchRun run;
    run.FrontEnd.Criteria.PhraseText = "NEEDLE";
    run.Run({tree.Path("sub")}); // no trailing separator: the walk adds one
    ASSERT_EQ(run.FrontEnd.Rows.size(), 1u);
    const ResultRow& row = run.FrontEnd.Rows[0];
    EXPECT_EQ(row.Name, "data.bin");
    EXPECT_EQ(row.Folder, tree.Path("sub") + kPathSeparator);
    EXPECT_EQ(row.Size, 10);
    EXPECT_EQ(row.MatchOffset, 4);
}

TEST(Walk, RootsInOrderAndEmptyRoots) {
    TempTree one, two;
    one.File("one.txt");
    two.File("two.txt");
    SearchRun run;
    run.Run({two.Root(), one.Root()});
    EXPECT_EQ(run.FrontEnd.Names(), (std::vector<std::string>{"two.txt", "one.txt"}));

    SearchRun none;
    none.Run({});
    EXPECT_TRUE(none.FrontEnd.Rows.empty());
    EXPECT_EQ(none.FrontEnd.Events, (std::vector<std::string>{"prepare", "finish"}));
}

#ifndef _WIN32
// Under Wine the same tree is walked by quennet-cli.exe (tests/cli/every-file-found.sh).
TEST(Walk, FolderLinksAreFollowedButNeverIntoAFolderTheWalkIsInside) {
    TempTree tree;
    tree.File("a.txt");
    tree.File("sub/b.txt");
    tree.File("sub/deeper/c.txt");
    std::filesystem::create_directory_symlink(".", tree.Path("self"));
    std::filesystem::create_directory_symlink("..", tree.Path("sub/up"));
    std::filesystem::create_directory_symlink("../..", tree.Path("sub/deeper/top"));
    std::filesystem::create_directory_symlink("sub", tree.Path("other")); // no loop: walked again
    SearchRun run;
    run.FrontEnd.OnRow = [&](const ResultRow&) { // a loop must fail the test, not hang it
        if (run.FrontEnd.Rows.size() > 50)
            run.FrontEnd.Worker.load()->Terminate();
    };
    run.Run({tree.Root()});
    std::vector<std::string> paths;
    for (const ResultRow& row : run.FrontEnd.Rows)
        paths.push_back(row.Folder.substr(tree.Root().size()) + row.Name);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{"a.txt", "other/b.txt", "other/deeper/c.txt", "sub/b.txt",
                                               "sub/deeper/c.txt"}));
}

// A link to a parent of the root brings the walk back to the root through ordinary folders:
// the root's files are listed once, its parent's once per link, as find -L lists them.
TEST(Walk, RootReachedAgainThroughLinksToItsParentIsNotWalkedTwice) {
    TempTree tree;
    tree.File("side.txt");
    tree.File("a/one.txt");
    tree.File("a/b/two.txt");
    std::filesystem::create_directory_symlink("..", tree.Path("a/up"));
    std::filesystem::create_directory_symlink("../..", tree.Path("a/b/back"));
    SearchRun run;
    run.FrontEnd.OnRow = [&](const ResultRow&) {
        if (run.FrontEnd.Rows.size() > 50)
            run.FrontEnd.Worker.load()->Terminate();
    };
    const std::string root = tree.Path("a") + kPathSeparator;
    run.Run({root});
    std::vector<std::string> paths;
    for (const ResultRow& row : run.FrontEnd.Rows)
        paths.push_back(row.Folder.substr(root.size()) + row.Name);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{"b/back/side.txt", "b/two.txt", "one.txt", "up/side.txt"}));
}
#endif

#ifndef _WIN32
// The listing of a folder fails for want of memory (opendir and fdopendir below fail for a
// folder named "nomem"): the folder is reported, never taken for an empty one.
std::atomic<bool> failNoMemFolders{false};

bool IsNoMemFolder(const std::string& path) {
    const std::string name = "/nomem";
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return failNoMemFolders.load() && folder.size() >= name.size() &&
           folder.compare(folder.size() - name.size(), name.size(), name) == 0;
}

std::string FolderOfDescriptor(int fd) {
    char target[4096];
    const ssize_t length = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}
#endif

TEST(Criteria, NameSizeAndContentTogether) {
    TempTree tree;
    tree.File("report-small.txt", std::string(100, 'x') + "Total");
    tree.File("report-big.txt", std::string(3000, 'x') + "total");
    tree.File("report-none.txt", std::string(3000, 'x'));
    tree.File("other.txt", std::string(3000, 'x') + "total");
    SearchRun run;
    run.FrontEnd.Criteria.NameFragment = "REPORT";
    run.FrontEnd.Criteria.PhraseText = "total";
    run.Size.Set({true, 1, 0}); // at least 1 KB, no upper limit
    run.Run({tree.Root()});
    EXPECT_EQ(run.FrontEnd.Names(), (std::vector<std::string>{"report-big.txt"}));
    EXPECT_EQ(run.FrontEnd.Rows[0].MatchOffset, 3000);
}

TEST(Criteria, SizeBoundsAreInclusiveAndReadLive) {
    TempTree tree;
    tree.File("a/exact.bin", std::string(2048, 'x'));
    tree.File("b/over.bin", std::string(2049, 'x'));
    SearchRun run;
    run.Size.Set({true, 2, 2});
    run.Run({tree.Path("a"), tree.Path("b")});
    EXPECT_EQ(run.FrontEnd.Names(), (std::vector<std::string>{"exact.bin"}));

    // The bound changed during the search applies to the files tested after it.
    SearchRun live;
    live.Size.Set({true, 0, 2});
    live.FrontEnd.OnRow = [&](const ResultRow&) { live.Size.SetMaxKb(0); };
    live.Run({tree.Path("a"), tree.Path("b")});
    EXPECT_EQ(live.FrontEnd.Names(), (std::vector<std::string>{"exact.bin", "over.bin"}));
}

TEST(FailedChecks, EndTheSearchThroughFinish) {
    TempTree tree;
    tree.File("x.txt");
    SearchRun run;
    run.FrontEnd.Criteria.HexNotation = true;
    run.FrontEnd.Criteria.PhraseText = "4D5";
    run.Run({tree.Root()});
    EXPECT_EQ(run.FrontEnd.Errors, (std::vector<std::string>{kInvalidHexMessage}));
    EXPECT_EQ(run.FrontEnd.Events, (std::vector<std::string>{"prepare", "finish"}));
    EXPECT_EQ(run.Progress.CurrentFolder(), ""); // nothing walked
}

TEST(FailedChecks, InvalidMaskIsReportedAndFinishStillRuns) {
    TempTree tree;
    tree.File("x.txt");
    SearchRun run;
    run.FrontEnd.Criteria.NameFragment = "[]";
    run.Run({tree.Root()});
    EXPECT_EQ(run.FrontEnd.Errors, (std::vector<std::string>{"'*[]*' is an invalid mask at (3)"}));
    EXPECT_EQ(run.FrontEnd.Faults, (std::vector<SearchError::Kind>{SearchError::Kind::InvalidMask}));
    EXPECT_EQ(run.FrontEnd.Events, (std::vector<std::string>{"prepare", "error", "finish"}));
}

TEST(StopRequests, HonouredAtEveryCheckPoint) {
    TempTree tree;
    tree.File("r1/f1.txt");
    tree.File("r1/f2.txt");
    tree.File("r1/s1/g.txt");
    tree.File("r1/s2/g.txt");
    tree.File("r2/h.txt");

    // Before the first root: a stop made while preparing walks nothing.
    SearchRun early;
    early.FrontEnd.OnPrepare = [&] { early.FrontEnd.Worker.load()->Terminate(); };
    early.Run({tree.Path("r1"), tree.Path("r2")});
    EXPECT_TRUE(early.FrontEnd.Rows.empty());
    EXPECT_EQ(early.Progress.CurrentFolder(), "");

    // Before each directory entry: the first file found ends the walk of its folder.
    SearchRun entry;
    entry.FrontEnd.OnRow = [&](const ResultRow&) { entry.FrontEnd.Worker.load()->Terminate(); };
    entry.Run({tree.Path("r1"), tree.Path("r2")});
    EXPECT_EQ(entry.FrontEnd.Rows.size(), 1u);
    EXPECT_EQ(entry.Progress.CurrentFolder(), tree.Path("r1") + kPathSeparator);

    // Before each pending subfolder and each root: a stop in the first subfolder skips the rest.
    SearchRun sub;
    sub.FrontEnd.OnRow = [&](const ResultRow& row) {
        if (row.Name == "g.txt")
            sub.FrontEnd.Worker.load()->Terminate();
    };
    sub.Run({tree.Path("r1"), tree.Path("r2")});
    EXPECT_EQ(sub.FrontEnd.Rows.size(), 3u);
    EXPECT_EQ(sub.FrontEnd.Rows.back().Name, "g.txt");
    EXPECT_EQ(sub.FrontEnd.Events.back(), "finish");
}

TEST(FileSystemFailures, VanishedSubfolderIsSkippedSilently) {
    TempTree tree;
    tree.File("first.txt");
    tree.File("s1/one.txt");
    tree.File("s2/two.txt");
    SearchRun run;
    // Whichever subfolder is walked first removes the other before it is entered.
    run.FrontEnd.OnRow = [&](const ResultRow& row) {
        if (row.Name == "one.txt")
            std::filesystem::remove_all(tree.Path("s2"));
        if (row.Name == "two.txt")
            std::filesystem::remove_all(tree.Path("s1"));
    };
    run.Run({tree.Root()});
    EXPECT_EQ(run.FrontEnd.Rows.size(), 2u);
    EXPECT_TRUE(run.FrontEnd.Errors.empty());
}

#ifdef _WIN32
TEST(FileSystemFailures, FileLockedWithoutSharingIsNotListedForAPhrase) {
    TempTree tree;
    tree.File("locked.txt", "secret");
    tree.File("open.txt", "secret");
    HANDLE lock = CreateFileA(tree.Path("locked.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    SearchRun withPhrase;
    withPhrase.FrontEnd.Criteria.PhraseText = "secret";
    withPhrase.Run({tree.Root()});
    EXPECT_EQ(withPhrase.FrontEnd.Names(), (std::vector<std::string>{"open.txt"}));
    // Without a content criterion the directory entry alone lists it.
    SearchRun nameOnly;
    nameOnly.Run({tree.Root()});
    EXPECT_EQ(nameOnly.FrontEnd.Rows.size(), 2u);
    CloseHandle(lock);
}
#else
TEST(FileSystemFailures, FifoInASearchedFolderDoesNotHang) {
    TempTree tree;
    tree.File("plain.txt", "needle");
    ASSERT_EQ(mkfifo(tree.Path("pipe").c_str(), 0600), 0);
    SearchRun run;
    run.FrontEnd.Criteria.PhraseText = "needle";
    run.Run({tree.Root()});
    EXPECT_EQ(run.FrontEnd.Names(), (std::vector<std::string>{"plain.txt"}));
}
#endif

// Batches of one row (the command line) and of 256 (the window, which also fetches the rows
// below a batch itself): every row arrives, in walk order, before the end.
class HandOff : public ::testing::TestWithParam<std::size_t> {};

TEST_P(HandOff, RowsArriveInOrderThroughAQueueWithAPump) {
    // A front end whose steps really run on another thread, as the window and the command line do.
    struct QueuedFrontEnd : quennet::test::RecordingFrontEnd {
        std::mutex m;
        std::condition_variable cv;
        std::deque<std::function<void()>> queue;
        std::size_t batch = 1;
        std::size_t RowsPerWakeUp() const override { return batch; }
        void PostToUiThread(std::function<void()> step) override {
            std::lock_guard<std::mutex> lock(m);
            queue.push_back(std::move(step));
            cv.notify_one();
        }
        void RunOnUiThread(const std::function<void()>& step) override {
            std::promise<void> done;
            PostToUiThread([&] {
                step();
                done.set_value();
            });
            done.get_future().wait();
        }
    };
    TempTree tree;
    for (int i = 0; i < 3000; ++i)
        tree.File("f" + std::to_string(i));
    QueuedFrontEnd frontEnd;
    frontEnd.batch = GetParam();
    SearchProgress progress;
    LiveSizeBounds size;
    TMyThread worker(frontEnd, {tree.Root()}, progress, size);
    frontEnd.Worker = &worker;
    std::vector<std::string> enumerationOrder;
    {
        TSearchRec rec;
        for (auto s = FindFirstEntry(tree.Root() + "*", faAnyFile, rec); s == 0; s = FindNextEntry(rec))
            if (!(rec.Attr & faDirectory))
                enumerationOrder.push_back(rec.Name);
    }
    while (!worker.Finished()) {
        std::unique_lock<std::mutex> lock(frontEnd.m);
        frontEnd.cv.wait_for(lock, std::chrono::milliseconds(10), [&] { return !frontEnd.queue.empty(); });
        auto batch = std::move(frontEnd.queue);
        frontEnd.queue.clear();
        lock.unlock();
        for (auto& step : batch)
            step();
        if (frontEnd.batch > 1 && !worker.Finished())
            worker.ServeRows();
    }
    EXPECT_EQ(frontEnd.Names(), enumerationOrder);
    EXPECT_EQ(progress.FilesFound.load(), 3000);
    EXPECT_EQ(frontEnd.Events.back(), "finish");
}

INSTANTIATE_TEST_SUITE_P(Batches, HandOff, ::testing::Values(std::size_t{1}, std::size_t{256}));

} // namespace

namespace {

TEST(FailedChecks, AnExceptionWhilePreparingStillEndsThroughFinish) {
    TempTree tree;
    tree.File("x.txt");
    SearchRun run;
    run.FrontEnd.OnPrepare = [] { throw std::runtime_error("no criteria panel"); };
    run.Run({tree.Root()});
    EXPECT_EQ(run.FrontEnd.Errors, (std::vector<std::string>{"no criteria panel"}));
    EXPECT_EQ(run.FrontEnd.Faults, (std::vector<SearchError::Kind>{SearchError::Kind::Other}));
    EXPECT_EQ(run.FrontEnd.Events.back(), "finish");
    EXPECT_TRUE(run.FrontEnd.Rows.empty());

    SearchRun noMemory;
    noMemory.FrontEnd.OnPrepare = [] { throw std::bad_alloc(); };
    noMemory.Run({tree.Root()});
    EXPECT_EQ(noMemory.FrontEnd.Errors, (std::vector<std::string>{"Out of memory."}));
    EXPECT_EQ(noMemory.FrontEnd.Faults, (std::vector<SearchError::Kind>{SearchError::Kind::OutOfMemory}));
    EXPECT_EQ(noMemory.FrontEnd.Events.back(), "finish");
}

#ifndef _WIN32
TEST(FileSystemFailures, ListingThatFailsForWantOfMemoryIsReportedNotTakenForEmpty) {
    TempTree tree;
    tree.File("a/one.txt");
    tree.File("nomem/lost.txt");
    tree.File("z/two.txt");
    SearchRun run;
    failNoMemFolders = true;
    run.Run({tree.Root()}, 0, 1);
    failNoMemFolders = false;
    std::vector<std::string> names = run.FrontEnd.Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"one.txt", "two.txt"}));
    ASSERT_EQ(run.FrontEnd.Unread.size(), 1u);
    EXPECT_EQ(run.FrontEnd.Unread[0].Path.rfind(tree.Path("nomem"), 0), 0u) << run.FrontEnd.Unread[0].Path;
    EXPECT_EQ(run.FrontEnd.Unread[0].Reason, std::strerror(ENOMEM));
    EXPECT_TRUE(run.FrontEnd.Errors.empty());
}
#endif

} // namespace
