#include "search/ContentScanner.h"
#include "search/FileReader.h"
#include "search/PhraseFinder.h"
#include "search/Masks.h"
#include "search/SearchRequest.h"

#include "TestTree.h"
#ifndef _WIN32
#include "FileReadWatch.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace quennet;
using quennet::test::TempTree;

namespace {

// The plain definition: first index where every byte matches (A-Z folded when asked).
std::size_t NaiveFind(const std::string& data, const std::string& phrase, bool fold) {
    if (phrase.empty() || data.size() < phrase.size())
        return PhraseFinder::npos;
    for (std::size_t i = 0; i + phrase.size() <= data.size(); ++i) {
        bool ok = true;
        for (std::size_t k = 0; k < phrase.size() && ok; ++k) {
            const auto c = static_cast<unsigned char>(data[i + k]);
            ok = (fold ? AsciiLower(c) : c) == static_cast<unsigned char>(phrase[k]);
        }
        if (ok)
            return i;
    }
    return PhraseFinder::npos;
}

std::size_t Find(const PhraseFinder& finder, const std::string& data) {
    return finder.Find(reinterpret_cast<const unsigned char*>(data.data()), data.size());
}

TEST(PhraseFinder, AgreesWithPlainSearchOnRandomData) {
    std::mt19937 rng(12345);
    // A small alphabet with both cases, zero and high bytes, so matches and near-misses are frequent.
    const std::string alphabet("aAbBzZ[`@\x00\xFF\xE9\xC9", 13);
    for (int round = 0; round < 4000; ++round) {
        std::string data(rng() % 600, ' ');
        for (char& c : data)
            c = alphabet[rng() % alphabet.size()];
        std::string phrase(1 + rng() % 5, ' ');
        for (char& c : phrase)
            c = alphabet[rng() % alphabet.size()];
        const bool fold = rng() % 2 == 0;
        if (fold)
            phrase = FoldAsciiCase(phrase);
        const PhraseFinder finder(phrase, fold);
        ASSERT_EQ(Find(finder, data), NaiveFind(data, phrase, fold)) << "round " << round;
    }
}

TEST(PhraseFinder, FoldsAsciiLettersOnly) {
    const PhraseFinder hello("hello", true);
    EXPECT_EQ(Find(hello, "xx Hello"), 3u);
    EXPECT_EQ(Find(hello, "hELLo"), 0u);
    const PhraseFinder accented("\xE9", true); // é does not find É
    EXPECT_EQ(Find(accented, "\xC9"), PhraseFinder::npos);
    const PhraseFinder exact("Hello", false);
    EXPECT_EQ(Find(exact, "hello Hello"), 6u);
}

TEST(PhraseFinder, MatchNearTheEndOfALongBlock) {
    std::string data(100000, 'x');
    data.replace(data.size() - 3, 3, "abc");
    EXPECT_EQ(Find(PhraseFinder("abc", false), data), data.size() - 3);
    EXPECT_EQ(Find(PhraseFinder("abc", true), data), data.size() - 3);
    EXPECT_EQ(Find(PhraseFinder("abcd", false), data), PhraseFinder::npos);
}

class Scanner : public ::testing::Test {
  protected:
    TempTree tree;
    std::atomic<bool> stop{false};

    // Offset of the first match, or -1.
    std::int64_t Scan(const std::string& content, const std::string& phrase, bool fold, std::size_t buffer,
                      std::size_t chunk = ContentScanner::kDefaultChunkSize) {
        tree.File("f.bin", content);
        ContentScanner scanner(phrase, u"", fold, buffer, stop, chunk);
        PhraseMatch match;
        return scanner.FileContainsPhrase(tree.Path("f.bin"), match) ? match.Offset : -1;
    }
};

TEST_F(Scanner, EveryPlacementWithTinyPiecesAndChunks) {
    // Every buffer and chunk size from 1 to 7 against every placement of the phrase, so
    // matches straddle pieces and chunks in every way, and the first occurrence wins.
    const std::string phrase = "abc";
    for (std::size_t buffer = 1; buffer <= 7; ++buffer) {
        for (std::size_t chunk = 1; chunk <= buffer; ++chunk) {
            for (std::size_t at = 0; at + phrase.size() <= 12; ++at) {
                std::string content(12, '.');
                content.replace(at, 3, "abc");
                if (at + 6 <= 12)
                    content.replace(at + 3, 3, "abc"); // a second occurrence must not win
                ASSERT_EQ(Scan(content, phrase, false, buffer, chunk), static_cast<std::int64_t>(at))
                    << "buffer " << buffer << " chunk " << chunk << " at " << at;
            }
        }
    }
}

TEST_F(Scanner, RandomFilesAgreeWithPlainSearch) {
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        std::string content(rng() % 64, ' ');
        for (char& c : content)
            c = "aAbB\0"[rng() % 5];
        std::string phrase(1 + rng() % 6, ' ');
        for (char& c : phrase)
            c = "ab\0"[rng() % 3];
        const bool fold = rng() % 2;
        const std::size_t buffer = 1 + rng() % 9;
        const std::size_t chunk = 1 + rng() % buffer;
        const std::size_t expected = NaiveFind(content, phrase, fold);
        ASSERT_EQ(Scan(content, phrase, fold, buffer, chunk),
                  expected == PhraseFinder::npos ? -1 : static_cast<std::int64_t>(expected))
            << "round " << round;
    }
}

TEST_F(Scanner, SplitOverTwoMegabytePieces) {
    std::string content(1048576 + 100, 'x');
    content.replace(1048575, 3, "abc");
    EXPECT_EQ(Scan(content, "abc", false, 1048576), 1048575);
}

TEST_F(Scanner, OffsetZeroAndLastPieceAndZeroBytes) {
    EXPECT_EQ(Scan("abc and more", "abc", false, 1048576), 0);
    std::string big(3 * 4096 + 10, 'x');
    big.replace(big.size() - 2, 2, std::string("\x00\xFF", 2));
    EXPECT_EQ(Scan(big, std::string("\x00\xFF", 2), false, 4096), static_cast<std::int64_t>(big.size() - 2));
    EXPECT_EQ(Scan("", "a", false, 4096), -1);
    EXPECT_EQ(Scan("zzz", "zzzz", false, 4096), -1);
}

TEST_F(Scanner, FoldsCaseWhileComparing) {
    EXPECT_EQ(Scan("say hELLo", "hello", true, 3, 2), 4);
    EXPECT_EQ(Scan("say hELLo", "hello", false, 3, 2), -1);
    EXPECT_EQ(Scan("caf\xC9", "caf\xE9", true, 1048576), -1);
}

TEST_F(Scanner, UnopenableFileIsNoMatch) {
    ContentScanner scanner("a", u"a", false, 4096, stop);
    PhraseMatch match;
    EXPECT_FALSE(scanner.FileContainsPhrase(tree.Path("missing.txt"), match));
    tree.Folder("dir");
    EXPECT_FALSE(scanner.FileContainsPhrase(tree.Path("dir"), match));
}

TEST_F(Scanner, StopRequestIsHonouredBeforeEachPiece) {
    std::string content(10, 'x');
    content += "abc";
    stop = true;
    EXPECT_EQ(Scan(content, "abc", false, 4), -1);
    stop = false;
    EXPECT_EQ(Scan(content, "abc", false, 4), 10);
}

TEST_F(Scanner, BufferIsKeptAcrossFilesOfDifferentSizes) {
    ContentScanner scanner("needle", u"", true, 64, stop, 16);
    tree.File("big.txt", std::string(1000, 'n') + "NEEDLE");
    tree.File("small.txt", "eedle needle");
    tree.File("none.txt", std::string(500, 'e'));
    PhraseMatch match;
    EXPECT_TRUE(scanner.FileContainsPhrase(tree.Path("big.txt"), match));
    EXPECT_EQ(match.Offset, 1000);
    // The carry from the previous file must not leak into the next one.
    EXPECT_TRUE(scanner.FileContainsPhrase(tree.Path("small.txt"), match));
    EXPECT_EQ(match.Offset, 6);
    EXPECT_FALSE(scanner.FileContainsPhrase(tree.Path("none.txt"), match));
}

#ifndef _WIN32
// What a scan reads once it is told to stop or give up, counted at the system's read calls:
// 1000 bytes without the phrase, in pieces of 4 chunks of 16 bytes.
class ScannerReads : public Scanner {
  protected:
    static constexpr std::size_t kChunk = 16;
    ContentScanner scanner{"needle", u"", false, 4 * kChunk, stop, kChunk};
    FileReader file;
    PhraseMatch match;

    void SetUp() override {
        tree.File("f.bin", std::string(1000, 'x'));
        ASSERT_TRUE(file.Open(tree.Path("f.bin")));
    }
    // A check of the scan's that sets the stop request at its `nth` call.
    std::function<bool()> StopAtCall(int nth) {
        return [this, nth, calls = 0]() mutable {
            if (++calls == nth)
                stop = true;
            return false;
        };
    }
};

TEST_F(ScannerReads, AWholeFileStopsBetweenPiecesUntilItIsSharedThenBeforeEveryChunk) {
    {
        // Not split: the stop, made when the file's size is known after one chunk, ends the
        // scan at the end of its first piece.
        quennet::test::FileReadWatch watch(tree.Path("f.bin"));
        EXPECT_FALSE(scanner.FileContainsPhrase(file, match, [&](std::int64_t size) {
            EXPECT_EQ(size, 1000);
            stop = true;
            return ContentScanner::kToEnd;
        }));
        EXPECT_EQ(watch.Bytes(), 4 * kChunk);
    }
    stop = false;
    FileReader again;
    ASSERT_TRUE(again.Open(tree.Path("f.bin")));
    {
        // Split, its first range shared with other scanners: not one chunk more.
        quennet::test::FileReadWatch watch(tree.Path("f.bin"));
        EXPECT_FALSE(scanner.FileContainsPhrase(again, match, [&](std::int64_t) {
            stop = true;
            return std::int64_t{500};
        }));
        EXPECT_EQ(watch.Bytes(), kChunk);
    }
    stop = false;
    FileReader third;
    ASSERT_TRUE(third.Open(tree.Path("f.bin")));
    {
        // Pieces of 40 bytes read as 16 + 16 + 8: the stop is seen at the piece's end.
        ContentScanner unevenPieces("needle", u"", false, 40, stop, kChunk);
        quennet::test::FileReadWatch watch(tree.Path("f.bin"));
        EXPECT_FALSE(unevenPieces.FileContainsPhrase(third, match, [&](std::int64_t) {
            stop = true;
            return ContentScanner::kToEnd;
        }));
        EXPECT_EQ(watch.Bytes(), 40u);
    }
}

TEST_F(ScannerReads, ARangeStopsOrGivesUpBeforeItsNextChunk) {
    for (const std::int64_t end : {std::int64_t{500}, ContentScanner::kToEnd}) {
        SCOPED_TRACE(end);
        {
            quennet::test::FileReadWatch watch(tree.Path("f.bin"));
            EXPECT_FALSE(scanner.RangeContainsPhrase(file, 0, end, match, StopAtCall(2)));
            EXPECT_EQ(watch.Bytes(), 2 * kChunk);
        }
        stop = false;
        {
            // An earlier range matched: this one is no longer needed.
            quennet::test::FileReadWatch watch(tree.Path("f.bin"));
            int calls = 0;
            EXPECT_FALSE(scanner.RangeContainsPhrase(file, 100, end, match, [&] { return ++calls > 3; }));
            // The byte-order mark's two bytes at the start, then three chunks.
            EXPECT_EQ(watch.Bytes(), 2 + 3 * kChunk);
        }
    }
}
#endif

} // namespace
