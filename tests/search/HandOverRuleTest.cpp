// When the walk wakes an idle scanner for the files it has gathered. Times are given, not read.
#include "search/HandOverRule.h"
#include "search/ScanPool.h"

#include <gtest/gtest.h>

using namespace quennet;
using namespace std::chrono_literals;

namespace {

constexpr std::int64_t kChunk = 1024 * 1024;

} // namespace

// Small files, one a folder: a wake-up each cost as much kernel time as the reading, so they
// wait for a full batch while they arrive quickly, and leave once a file would seem to stall.
TEST(HandOverRule, SmallFilesFromOneFileFoldersWaitForAFullBatchUnlessTheyWaitedLong) {
    constexpr auto kWait = HandOverRule::kLongestGathering;
    const auto start = HandOverRule::Clock::now();
    HandOverRule rule(kChunk);
    rule.Begin(start);
    for (std::size_t file = 1; file < OrderedScanPool::kFilesPerBatch; ++file) {
        rule.Add(10 * 1024);
        EXPECT_FALSE(rule.WorthAWakeUp(start + kWait / 2)) << file << " files";
    }
    rule.Add(-1); // a size not known costs no more than a small file
    EXPECT_FALSE(rule.WorthAWakeUp(start + kWait - 1us));
    EXPECT_TRUE(rule.WorthAWakeUp(start + kWait));

    // A new batch starts its own wait.
    const auto later = start + 3 * kWait;
    rule.Begin(later);
    rule.Add(100);
    EXPECT_FALSE(rule.WorthAWakeUp(later + kWait / 2));
    EXPECT_TRUE(rule.WorthAWakeUp(later + kWait));
}

// A chunk's worth of bytes is worth a wake-up at once, whether in one file or in several, and
// a new batch counts its bytes afresh.
TEST(HandOverRule, AChunksWorthOfBytesLeavesAtOnce) {
    const auto start = HandOverRule::Clock::now();
    HandOverRule rule(kChunk);
    rule.Begin(start);
    rule.Add(kChunk);
    EXPECT_TRUE(rule.WorthAWakeUp(start));

    rule.Begin(start);
    rule.Add(kChunk / 2);
    EXPECT_FALSE(rule.WorthAWakeUp(start));
    rule.Add(kChunk / 2);
    EXPECT_TRUE(rule.WorthAWakeUp(start));

    rule.Begin(start);
    rule.Add(kChunk - 1);
    EXPECT_FALSE(rule.WorthAWakeUp(start));
}
