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
bool IsNoMemFolder(int fd);
} // namespace

// This takes the C library's place in this program, the engine's calls included.
extern "C" ssize_t getdents64(int fd, void* buffer, size_t length) {
    static const auto real = reinterpret_cast<ssize_t (*)(int, void*, size_t)>(dlsym(RTLD_NEXT, "getdents64"));
    if (IsNoMemFolder(fd)) {
        errno = ENOMEM;
        return -1;
    }
    return real(fd, buffer, length);
}
#endif

using namespace quennet;
using quennet::test::SearchRun;
using quennet::test::TempTree;

namespace {


// The walk's order, from the listings themselves: in each folder its files in listing order,
// then its subfolders, each walked whole, in listing order.
void ExpectedWalk(const std::string& folder, std::vector<std::string>& names) {
    std::vector<std::string> subfolders;
    TSearchRec rec;
    for (auto s = FindFirstEntry(folder + "*", faAnyFile, rec); s == 0; s = FindNextEntry(rec)) {
        if (!(rec.Attr & faDirectory))
            names.push_back(rec.Name);
        else if (rec.Name[0] != '.')
            subfolders.push_back(rec.Name);
    }
    CloseFindHandle(rec);
    for (const std::string& sub : subfolders)
        ExpectedWalk(folder + sub + kPathSeparator, names);
}

TEST(Walk, FilesBeforeSubfoldersDepthFirst) {
    TempTree tree;
    // Files made before and after the folders, so that whatever order the file system lists
    // them in, a folder comes before a file somewhere: a walk that entered each subfolder as
    // soon as it met it would then list that file too late.
    for (const char* name : {"top1.txt", "top2.txt"})
        tree.File(name);
    for (const char* name : {"a/in-a.txt", "a/deep/in-deep.txt", "a/deep/more/in-more.txt", "c/in-c.txt",
                             "e/in-e.txt", "a/z/in-z.txt"})
        tree.File(name);
    for (const char* name : {"top3.txt", "top4.txt", "a/late-a.txt"})
        tree.File(name);
    std::vector<std::string> rootListing;
    TSearchRec rec;
    for (auto s = FindFirstEntry(tree.Root() + "*", faAnyFile, rec); s == 0; s = FindNextEntry(rec))
        if (rec.Name[0] != '.')
            rootListing.push_back((rec.Attr & faDirectory) ? "/" : rec.Name);
    CloseFindHandle(rec);
    const auto firstFolder = std::find(rootListing.begin(), rootListing.end(), "/");
    ASSERT_TRUE(std::any_of(firstFolder, rootListing.end(), [](const std::string& n) { return n != "/"; }))
        << "no file is listed after a folder: this tree could not show a wrong order";

    std::vector<std::string> expected;
    ExpectedWalk(tree.Root(), expected);
    SearchRun run;
    run.Run({tree.Root()});
    EXPECT_EQ(run.Sink.Names(), expected);
    EXPECT_EQ(run.Sink.Events.front(), "begin");
    EXPECT_EQ(run.Sink.Events.back(), "finish");
    EXPECT_EQ(run.Progress.FilesFound.load(), 11);
}

TEST(Walk, DotFoldersSkippedDotFilesTested) {
    TempTree tree;
    tree.File(".profile");
    tree.File(".config/settings");
    tree.File("visible/.hidden-file");
    SearchRun run;
    run.Run({tree.Root()});
    auto names = run.Sink.Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".hidden-file", ".profile"}));
}

TEST(Walk, RowsCarryFolderSizeAndOffset) {
    TempTree tree;
    tree.File("sub/data.bin", "....needle");
    SearchRun run;
    run.Criteria.PhraseText = "NEEDLE";
    run.Run({tree.Path("sub")}); // no trailing separator: the walk adds one
    ASSERT_EQ(run.Sink.Rows.size(), 1u);
    const ResultRow& row = run.Sink.Rows[0];
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
    EXPECT_EQ(run.Sink.Names(), (std::vector<std::string>{"two.txt", "one.txt"}));

    SearchRun none;
    none.Run({});
    EXPECT_TRUE(none.Sink.Rows.empty());
    EXPECT_EQ(none.Sink.Events, (std::vector<std::string>{"begin", "finish"}));
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
    run.Sink.OnRow = [&](const ResultRow&) { // a loop must fail the test, not hang it
        if (run.Sink.Rows.size() > 50)
            run.Sink.Worker.load()->Terminate();
    };
    run.Run({tree.Root()});
    std::vector<std::string> paths;
    for (const ResultRow& row : run.Sink.Rows)
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
    run.Sink.OnRow = [&](const ResultRow&) {
        if (run.Sink.Rows.size() > 50)
            run.Sink.Worker.load()->Terminate();
    };
    const std::string root = tree.Path("a") + kPathSeparator;
    run.Run({root});
    std::vector<std::string> paths;
    for (const ResultRow& row : run.Sink.Rows)
        paths.push_back(row.Folder.substr(root.size()) + row.Name);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{"b/back/side.txt", "b/two.txt", "one.txt", "up/side.txt"}));
}
#endif

#ifndef _WIN32
// The listing of a folder fails for want of memory (the kernel's listing call above fails for
// a folder named "nomem"): the folder is reported, never taken for an empty one.
std::atomic<bool> failNoMemFolders{false};

bool IsNoMemFolder(int fd) {
    if (!failNoMemFolders.load())
        return false;
    char target[4096];
    const ssize_t length = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target);
    const std::string folder = length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
    const std::string name = "/nomem";
    return folder.size() >= name.size() && folder.compare(folder.size() - name.size(), name.size(), name) == 0;
}
#endif

TEST(Criteria, NameSizeAndContentTogether) {
    TempTree tree;
    tree.File("report-small.txt", std::string(100, 'x') + "Total");
    tree.File("report-big.txt", std::string(3000, 'x') + "total");
    tree.File("report-none.txt", std::string(3000, 'x'));
    tree.File("other.txt", std::string(3000, 'x') + "total");
    SearchRun run;
    run.Criteria.NameFragment = "REPORT";
    run.Criteria.PhraseText = "total";
    run.Size.Set({true, 1, 0}); // at least 1 KB, no upper limit
    run.Run({tree.Root()});
    EXPECT_EQ(run.Sink.Names(), (std::vector<std::string>{"report-big.txt"}));
    EXPECT_EQ(run.Sink.Rows[0].MatchOffset, 3000);
}

TEST(Criteria, SizeBoundsAreInclusiveAndReadLive) {
    TempTree tree;
    tree.File("a/exact.bin", std::string(2048, 'x'));
    tree.File("b/over.bin", std::string(2049, 'x'));
    SearchRun run;
    run.Size.Set({true, 2, 2});
    run.Run({tree.Path("a"), tree.Path("b")});
    EXPECT_EQ(run.Sink.Names(), (std::vector<std::string>{"exact.bin"}));

    // The bound changed during the search applies to the files tested after it.
    SearchRun live;
    live.Size.Set({true, 0, 2});
    live.Sink.OnRow = [&](const ResultRow&) { live.Size.SetMaxKb(0); };
    live.Run({tree.Path("a"), tree.Path("b")});
    EXPECT_EQ(live.Sink.Names(), (std::vector<std::string>{"exact.bin", "over.bin"}));
}

TEST(FailedChecks, StartNothing) {
    TempTree tree;
    tree.File("x.txt");
    SearchRun hex;
    hex.Criteria.HexNotation = true;
    hex.Criteria.PhraseText = "4D5";
    hex.Run({tree.Root()});
    EXPECT_EQ(hex.Sink.Errors, (std::vector<std::string>{kInvalidHexMessage}));
    EXPECT_TRUE(hex.Sink.Events.empty());

    SearchRun mask;
    mask.Criteria.NameFragment = "[]";
    mask.Run({tree.Root()});
    EXPECT_EQ(mask.Sink.Errors, (std::vector<std::string>{"'*[]*' is an invalid mask at (3)"}));
    EXPECT_TRUE(mask.Sink.Events.empty());
}

// A request that skipped the checks: the searcher still ends through Finish, with the fault.
TEST(FailedChecks, AnInvalidMaskInAnUncheckedRequestIsReportedAndFinishStillRuns) {
    TempTree tree;
    tree.File("x.txt");
    SearchRun run;
    SearchRequest request;
    request.Roots = {tree.Root()};
    request.NameMask = "*[]*";
    run.RunRequest(request);
    EXPECT_EQ(run.Sink.Errors, (std::vector<std::string>{"'*[]*' is an invalid mask at (3)"}));
    EXPECT_EQ(run.Sink.Faults, (std::vector<SearchError::Kind>{SearchError::Kind::InvalidMask}));
    EXPECT_EQ(run.Sink.Events, (std::vector<std::string>{"begin", "error", "finish"}));
    EXPECT_EQ(run.Progress.CurrentFolder(), ""); // nothing walked
}

TEST(StopRequests, HonouredAtEveryCheckPoint) {
    TempTree tree;
    tree.File("r1/f1.txt");
    tree.File("r1/f2.txt");
    tree.File("r1/s1/g.txt");
    tree.File("r1/s2/g.txt");
    tree.File("r2/h.txt");

    // Before the first root: a stop made as the search begins walks nothing.
    SearchRun early;
    early.Sink.OnBegin = [&] { early.Sink.Worker.load()->Terminate(); };
    early.Run({tree.Path("r1"), tree.Path("r2")});
    EXPECT_TRUE(early.Sink.Rows.empty());
    EXPECT_EQ(early.Progress.CurrentFolder(), "");

    // Before each directory entry: the first file found ends the walk of its folder.
    SearchRun entry;
    entry.Sink.OnRow = [&](const ResultRow&) { entry.Sink.Worker.load()->Terminate(); };
    entry.Run({tree.Path("r1"), tree.Path("r2")});
    EXPECT_EQ(entry.Sink.Rows.size(), 1u);
    EXPECT_EQ(entry.Progress.CurrentFolder(), tree.Path("r1") + kPathSeparator);

    // Before each pending subfolder and each root: a stop in the first subfolder skips the rest.
    SearchRun sub;
    sub.Sink.OnRow = [&](const ResultRow& row) {
        if (row.Name == "g.txt")
            sub.Sink.Worker.load()->Terminate();
    };
    sub.Run({tree.Path("r1"), tree.Path("r2")});
    EXPECT_EQ(sub.Sink.Rows.size(), 3u);
    EXPECT_EQ(sub.Sink.Rows.back().Name, "g.txt");
    EXPECT_EQ(sub.Sink.Events.back(), "finish");
}

TEST(FileSystemFailures, VanishedSubfolderIsSkippedSilently) {
    TempTree tree;
    tree.File("first.txt");
    tree.File("s1/one.txt");
    tree.File("s2/two.txt");
    SearchRun run;
    // Whichever subfolder is walked first removes the other before it is entered.
    run.Sink.OnRow = [&](const ResultRow& row) {
        if (row.Name == "one.txt")
            std::filesystem::remove_all(tree.Path("s2"));
        if (row.Name == "two.txt")
            std::filesystem::remove_all(tree.Path("s1"));
    };
    run.Run({tree.Root()});
    EXPECT_EQ(run.Sink.Rows.size(), 2u);
    EXPECT_TRUE(run.Sink.Errors.empty());
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
    withPhrase.Criteria.PhraseText = "secret";
    withPhrase.Run({tree.Root()});
    EXPECT_EQ(withPhrase.Sink.Names(), (std::vector<std::string>{"open.txt"}));
    // Without a content criterion the directory entry alone lists it.
    SearchRun nameOnly;
    nameOnly.Run({tree.Root()});
    EXPECT_EQ(nameOnly.Sink.Rows.size(), 2u);
    CloseHandle(lock);
}
#else
TEST(FileSystemFailures, FifoInASearchedFolderDoesNotHang) {
    TempTree tree;
    tree.File("plain.txt", "needle");
    ASSERT_EQ(mkfifo(tree.Path("pipe").c_str(), 0600), 0);
    SearchRun run;
    run.Criteria.PhraseText = "needle";
    run.Run({tree.Root()});
    EXPECT_EQ(run.Sink.Names(), (std::vector<std::string>{"plain.txt"}));
}
#endif


} // namespace

namespace {

TEST(FailedChecks, AnExceptionInTheSinksBeginStillEndsThroughFinish) {
    TempTree tree;
    tree.File("x.txt");
    SearchRun run;
    run.Sink.OnBegin = [] { throw std::runtime_error("no console"); };
    run.Run({tree.Root()});
    EXPECT_EQ(run.Sink.Errors, (std::vector<std::string>{"no console"}));
    EXPECT_EQ(run.Sink.Faults, (std::vector<SearchError::Kind>{SearchError::Kind::Other}));
    EXPECT_EQ(run.Sink.Events.back(), "finish");
    EXPECT_TRUE(run.Sink.Rows.empty());

    SearchRun noMemory;
    noMemory.Sink.OnBegin = [] { throw std::bad_alloc(); };
    noMemory.Run({tree.Root()});
    EXPECT_EQ(noMemory.Sink.Errors, (std::vector<std::string>{"Out of memory."}));
    EXPECT_EQ(noMemory.Sink.Faults, (std::vector<SearchError::Kind>{SearchError::Kind::OutOfMemory}));
    EXPECT_EQ(noMemory.Sink.Events.back(), "finish");
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
    std::vector<std::string> names = run.Sink.Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"one.txt", "two.txt"}));
    ASSERT_EQ(run.Sink.Unread.size(), 1u);
    EXPECT_EQ(run.Sink.Unread[0].Path.rfind(tree.Path("nomem"), 0), 0u) << run.Sink.Unread[0].Path;
    EXPECT_EQ(run.Sink.Unread[0].Message, std::strerror(ENOMEM));
    EXPECT_TRUE(run.Sink.Errors.empty());
}
#endif

} // namespace

namespace {

// "Only files" set to ".cpp" gave 0 files and nothing said the filters had left every file out.
TEST(Filters, FilesLeftOutByFiltersAreCountedAtTheEnd) {
    TempTree tree;
    for (const char* name : {"a.cpp", "b.h", "c.txt", "noext", "sub/d.txt", "sub/e.cpp", "skipped/f.txt"})
        tree.File(name);
    SearchRun run;
    run.Criteria.NameFragment = "."; // a name that fails the fragment is no filter's doing
    run.Criteria.OnlyMasks = "*.cpp, *.h, *.txt";
    run.Criteria.SkipMasks = "*.txt";
    run.Criteria.SkipFolderMasks = "skipped";
    run.Run({tree.Root()});
    EXPECT_EQ(run.Sink.Names().size(), 3u);
    EXPECT_EQ(run.Sink.LeftOutByFilters, 2u) << "c.txt and sub/d.txt";
    EXPECT_EQ(run.Sink.Events.back(), "finish");

    SearchRun unfiltered;
    unfiltered.Criteria.OnlyMasks = ".cpp"; // a mask no name matches whole
    unfiltered.Run({tree.Root()});
    EXPECT_TRUE(unfiltered.Sink.Rows.empty());
    EXPECT_EQ(unfiltered.Sink.LeftOutByFilters, 7u);
}

} // namespace
