// A pool of scanners finds exactly what one thread finds, row for row and in the same order.
#include "search/ContentScanner.h"
#include "search/SearchWorker.h"

#include "TestTree.h"
#ifndef _WIN32
#include "FileReadWatch.h"
#endif

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

using namespace quennet;
using quennet::test::SearchRun;
using quennet::test::TempTree;

namespace {

// Tiny chunks, so the trees' files cross many chunk and range borders (a range is 4 chunks,
// a file is split from 2 ranges on).
constexpr std::size_t kChunk = 16;
constexpr std::size_t kRange = 4 * kChunk;

std::string Describe(const std::vector<ResultRow>& rows) {
    std::ostringstream text;
    for (const ResultRow& row : rows)
        text << row.Folder << row.Name << " " << row.Size << " @" << row.MatchOffset << "+" << row.MatchLength
             << "\n";
    return text.str();
}

std::vector<ResultRow> Search(const std::vector<std::string>& roots, const SearchCriteria& criteria,
                              const SizeCriterion& size, std::size_t threads, ThreadStarter starter = {}) {
    SearchRun run;
    run.Criteria = criteria;
    run.Size.Set(size);
    run.Run(roots, kChunk, threads, std::move(starter));
    EXPECT_TRUE(run.Sink.Errors.empty());
    EXPECT_EQ(run.Progress.FilesFound.load(), static_cast<std::int32_t>(run.Sink.Rows.size()));
    return run.Sink.Rows;
}

// One random tree and one random set of criteria per seed.
class RandomSearch {
  public:
    explicit RandomSearch(unsigned seed) : rng_(seed) {
        const bool hex = Chance(4);
        const std::string letters = hex ? std::string("ab\0A", 4) : "aAbB";
        phrase_.resize(1 + rng_() % 5);
        for (char& c : phrase_)
            c = letters[rng_() % letters.size()];
        criteria.HexNotation = hex;
        criteria.CaseSensitive = Chance(2);
        if (hex) {
            static const char* kDigits = "0123456789ABCDEF";
            for (unsigned char c : phrase_)
                criteria.PhraseText += std::string{kDigits[c >> 4], kDigits[c & 15], ' '};
        } else {
            criteria.PhraseText = phrase_;
        }
        if (Chance(5))
            criteria.NameFragment = "1";
        if (Chance(3))
            size = {true, static_cast<std::int32_t>(rng_() % 2), static_cast<std::int32_t>(rng_() % 3)};
        if (size.MaxKb != 0 && size.MaxKb < size.MinKb)
            size.MaxKb = size.MinKb;
        Folder("", 0);
    }

    TempTree tree;
    SearchCriteria criteria;
    SizeCriterion size;

  private:
    bool Chance(unsigned oneIn) { return rng_() % oneIn == 0; }

    void Folder(const std::string& path, int depth) {
        const unsigned files = rng_() % 6;
        for (unsigned i = 0; i < files && files_ < 60; ++i, ++files_)
            tree.File(path + "f" + std::to_string(files_) + ".bin", Content());
        if (files == 0)
            tree.Folder(path.empty() ? "." : path);
        const unsigned subfolders = depth < 4 ? rng_() % 4 : 0;
        for (unsigned i = 0; i < subfolders; ++i)
            Folder(path + "d" + std::to_string(depth) + std::to_string(i) + "/", depth + 1);
    }

    // The phrase where the scanners meet: across chunk and range borders, several times,
    // on plain background or among near misses; UTF-16 files of either byte order too.
    std::string Content() {
        switch (rng_() % 7) {
        case 0:
            return "";
        case 1:
            return Noise(kChunk + rng_() % 2); // exactly one chunk, or one byte more
        case 2:
            return Noise(rng_() % 3000);
        case 3:
        case 4:
        case 5: {
            std::string bytes(kRange * (1 + rng_() % 12) + rng_() % kRange, '.');
            const unsigned places = 1 + rng_() % 3;
            for (unsigned i = 0; i < places; ++i) {
                const std::size_t border = (rng_() % 2 ? kRange : kChunk) * (1 + rng_() % (bytes.size() / kChunk));
                const std::size_t at = border - std::min<std::size_t>(border, rng_() % (phrase_.size() + 1));
                if (at + phrase_.size() <= bytes.size())
                    bytes.replace(at, phrase_.size(), Cased(phrase_));
            }
            return bytes;
        }
        default: {
            const bool big = Chance(2);
            std::u16string units(kRange * (1 + rng_() % 6) / 2, u'.');
            const std::size_t at = rng_() % units.size();
            for (std::size_t i = 0; i < phrase_.size() && at + i < units.size(); ++i)
                units[at + i] = static_cast<unsigned char>(Cased(phrase_)[i]);
            std::string bytes(big ? "\xFE\xFF" : "\xFF\xFE");
            for (char16_t unit : units) {
                const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
                bytes += big ? std::string{high, low} : std::string{low, high};
            }
            return bytes;
        }
        }
    }

    std::string Noise(std::size_t n) {
        static const char kBytes[] = {'a', 'A', 'b', 'B', '.', '\0'};
        std::string bytes(n, '.');
        for (char& c : bytes)
            c = kBytes[rng_() % sizeof kBytes];
        return bytes;
    }

    std::string Cased(std::string text) {
        if (criteria.CaseSensitive || criteria.HexNotation)
            return text;
        for (char& c : text)
            if (Chance(2) && c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
        return text;
    }

    std::mt19937 rng_;
    std::string phrase_;
    unsigned files_ = 0;
};

// A starter that gives only `allowed` threads, as a system out of threads would.
ThreadStarter Giving(std::size_t allowed) {
    auto given = std::make_shared<std::size_t>(0);
    return [given, allowed](std::function<void()> body) {
        if ((*given)++ >= allowed)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        return std::thread(std::move(body));
    };
}

// Pools of 2, 3 and 8, and pools of 8 the system gave 0, 1 or 3 threads for.
TEST(Parallel, RowsAndOffsetsAreThoseOfOneThreadForEveryPoolSize) {
    std::size_t rows = 0, laterRanges = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        RandomSearch random(seed);
        const std::vector<std::string> roots{random.tree.Root()};
        const auto one = Search(roots, random.criteria, random.size, 1);
        rows += one.size();
        for (const ResultRow& row : one)
            laterRanges += row.MatchOffset >= static_cast<std::int64_t>(kRange);
        for (std::size_t pool : {2, 3, 8, 100, 101, 103}) {
            const auto many = pool < 100 ? Search(roots, random.criteria, random.size, pool)
                                         : Search(roots, random.criteria, random.size, 8, Giving(pool - 100));
            ASSERT_EQ(Describe(one), Describe(many)) << "seed " << seed << ", pool " << pool;
        }
    }
    // The trees did put matches where split files meet, not only in first ranges.
    EXPECT_GT(rows, 200u);
    EXPECT_GT(laterRanges, 50u);
}

// Files that shrink and grow under the scanners, a folder that vanishes and comes back, a file
// that cannot be opened: the other rows as one thread finds them, and the search ends.
TEST(Parallel, FaultsGiveTheRowsOfOneThreadAndNoHang) {
    TempTree tree;
    for (int i = 0; i < 20; ++i)
        tree.File("a/" + std::to_string(i) + ".txt", std::string(40 * i, '.') + "needle");
    tree.File("a/shrinking.txt", std::string(20000, '.') + "needle");
    tree.File("b/gone.txt", "needle");
    tree.File("c/last.txt", "needle");
#ifdef _WIN32
    tree.File("a/locked.txt", "needle");
    HANDLE lock = CreateFileA(tree.Path("a/locked.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
#else
    ASSERT_EQ(mkfifo(tree.Path("a/pipe").c_str(), 0600), 0);
#endif
    SearchCriteria criteria;
    criteria.PhraseText = "needle";

    std::vector<std::vector<std::string>> results;
    for (std::size_t threads : {1, 2, 8}) {
        std::atomic<bool> done{false};
        std::thread vandal([&] {
            std::error_code ignored;
            for (int n = 0; !done.load(); n = (n + 1) % 7) {
                std::filesystem::resize_file(tree.Path("a/shrinking.txt"), 20006 - 3000 * n, ignored);
                if (n % 2)
                    std::filesystem::remove_all(tree.Path("b"), ignored);
                else
                    tree.File("b/gone.txt", "needle");
            }
        });
        SearchRun run;
        run.Criteria = criteria;
        run.Run({tree.Path("a"), tree.Path("b"), tree.Path("c")}, 4096, threads);
        done = true;
        vandal.join();
        std::vector<std::string> names;
        for (const ResultRow& row : run.Sink.Rows)
            if (row.Name != "shrinking.txt" && row.Name != "gone.txt")
                names.push_back(row.Name + "@" + std::to_string(row.MatchOffset));
        results.push_back(names);
    }
#ifdef _WIN32
    CloseHandle(lock);
#endif
    EXPECT_EQ(results[0].size(), 21u);
    EXPECT_EQ(results[1], results[0]);
    EXPECT_EQ(results[2], results[0]);
}

#ifndef _WIN32
TEST(Parallel, StopEndsEveryScannerWithinAChunk) {
    // One sparse 8 GB file that the pool reads in ranges, each scanner held at its second read
    // of it until the stop has been asked for: then each finishes the chunk it was about to
    // read, and reads no other. A scanner that looked at the stop request only between 200 MB
    // pieces would read on to its piece's end.
    constexpr std::size_t kScanners = 8;
    TempTree tree;
    tree.File("huge.bin");
    std::filesystem::resize_file(tree.Path("huge.bin"), std::int64_t{8} << 30);
    quennet::test::FileReadWatch watch(tree.Path("huge.bin"), true);
    quennet::test::RecordingSink sink;
    SearchCriteria criteria;
    criteria.PhraseText = "needle";
    criteria.BufferMegabytes = 200;
    SearchRequest request = *BuildSearchRequest(criteria).Request;
    request.Roots = {tree.Root()};
    SearchProgress progress;
    LiveSizeBounds size;
    TMyThread worker(std::move(request), size, sink, progress, SearchOptions{0, kScanners, {}});
    sink.Worker = &worker;
    const bool everyScannerHeld = watch.WaitUntilHeld(kScanners);
    worker.Terminate();
    watch.Release();
    ASSERT_TRUE(everyScannerHeld) << "the file was not shared out to every scanner";
    while (!worker.WaitForFinish(1000)) {
    }
    EXPECT_TRUE(sink.Rows.empty());
    EXPECT_EQ(sink.Events.back(), "finish");
    const auto reads = watch.PerThread();
    EXPECT_EQ(reads.size(), kScanners);
    for (const auto& [thread, read] : reads) {
        EXPECT_LE(read.CallsAfterRelease, 1u) << read.BytesAfterRelease << " bytes";
        EXPECT_LE(read.BytesAfterRelease, ContentScanner::kDefaultChunkSize);
    }
}
#endif

} // namespace
