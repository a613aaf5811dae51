// The boxes' history rules and the stored filter values read back, damaged ones included.
#include "mainwindow/FilterDates.h"
#include "mainwindow/SearchHistory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace quennet {
namespace {

using Entries = std::vector<std::string>;

TEST(SearchHistory, KeepsTheLastSearchesMostRecentFirstEachOnce) {
    SearchHistory history;
    for (const char* value : {"a", "b", "c", "a", "", "two\nlines", "B"})
        history.Add(value);
    EXPECT_EQ(history.Entries(), (Entries{"B", "a", "c", "b"})) << "names differ by case";
    history.Add(std::string(SearchHistory::kMaxEntryLength + 1, 'x'));
    EXPECT_EQ(history.Entries().size(), 4u) << "an over-long value is not kept";

    for (int i = 0; i < 30; ++i)
        history.Add("n" + std::to_string(i));
    ASSERT_EQ(history.Entries().size(), SearchHistory::kMaxEntries);
    EXPECT_EQ(history.Entries().front(), "n29");
    EXPECT_EQ(history.Entries().back(), "n10");

    history.Remove(1);
    history.Remove(99);
    EXPECT_EQ(history.Entries()[1], "n27");
    EXPECT_EQ(history.Entries().size(), SearchHistory::kMaxEntries - 1);
}

TEST(SearchHistory, FoldersDifferingInCaseAreOneEntry) {
    SearchHistory folders(SearchHistory::Sameness::IgnoreCase);
    folders.Add("C:\\Work");
    folders.Add("D:\\x");
    folders.Add("c:\\work");
    EXPECT_EQ(folders.Entries(), (Entries{"c:\\work", "D:\\x"}));
}

TEST(SearchHistory, StoredValueComesBackAndDamageIsDropped) {
    SearchHistory history;
    history.Add("*.txt");
    history.Add("résumé");
    SearchHistory back;
    back.Restore(history.Stored());
    EXPECT_EQ(back.Entries(), history.Entries());

    // Edited by hand or by another program: empty lines, duplicates, a stray CR, too many.
    std::string damaged = "x\n\nx\ny\r\nz\n" + std::string(SearchHistory::kMaxEntryLength + 1, 'l') + "\n";
    for (int i = 0; i < 40; ++i)
        damaged += "e" + std::to_string(i) + "\n";
    back.Restore(damaged);
    ASSERT_EQ(back.Entries().size(), SearchHistory::kMaxEntries);
    EXPECT_EQ(back.Entries()[0], "x");
    EXPECT_EQ(back.Entries()[1], "z");
    EXPECT_EQ(back.Entries()[2], "e0");

    std::string oversized;
    while (oversized.size() <= SearchHistory::kMaxStoredLength)
        oversized += "short\n";
    back.Restore(oversized);
    EXPECT_TRUE(back.Entries().empty()) << "an oversized value is ignored, whatever it holds";
}

#ifndef _WIN32 // the zone's rule is written as POSIX spells it
class FilterDays : public ::testing::Test {
  protected:
    // A zone with a clock change, so a day is not always 86,400 seconds long.
    void SetUp() override {
        const char* old = std::getenv("TZ");
        saved_ = old ? old : "";
        hadZone_ = old != nullptr;
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void TearDown() override {
        if (hadZone_)
            setenv("TZ", saved_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

  private:
    std::string saved_;
    bool hadZone_ = false;
};

TEST_F(FilterDays, BoundsAreTheLocalDaysFirstAndLastSecond) {
    // 2026-12-08 00:00:00 CET is 2026-12-07 23:00:00 UTC.
    EXPECT_EQ(LocalDayStart({2026, 12, 8}), 1796684400);
    EXPECT_EQ(LocalDayEnd({2026, 12, 8}), 1796684400 + 86399);
    EXPECT_EQ(*LocalDayEnd({2026, 12, 31}) + 1, *LocalDayStart({2027, 1, 1})) << "across the year's end";
    // The spring change: the day has 23 hours.
    EXPECT_EQ(*LocalDayEnd({2026, 3, 29}) - *LocalDayStart({2026, 3, 29}), 23 * 3600 - 1);
    EXPECT_FALSE(LocalDayStart({2026, 2, 29}));
    EXPECT_FALSE(LocalDayEnd({2026, 4, 31}));
}

#endif

TEST(StoredDay, OnlyAWholeExistingDayIsRead) {
    const CalendarDay leap{2024, 2, 29};
    const auto back = ParseStoredDay(FormatStoredDay(leap));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Year, 2024);
    EXPECT_EQ(back->Month, 2);
    EXPECT_EQ(back->Day, 29);
    EXPECT_EQ(FormatStoredDay({2026, 1, 5}), "2026-01-05");
    for (const char* bad : {"", "2026-02-29", "2026-1-05", "2026-01-5 ", "2026/01/05", "20x6-01-05",
                            "1600-12-31", "2026-13-01", "2026-00-10", "2026-01-00", "+026-01-05"})
        EXPECT_FALSE(ParseStoredDay(bad)) << bad;
}

} // namespace
} // namespace quennet
