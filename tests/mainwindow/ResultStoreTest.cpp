// The results list's store and the buffer auto-adjustment rule, without windows.
#include "mainwindow/BufferAdjust.h"
#include "mainwindow/ResultStore.h"
#include "search/SearchWorker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace quennet {
namespace {

int CompareNames(const char* a, const char* b) {
    return std::strcmp(a, b);
}

ResultRow Row(const std::string& name, const std::string& folder = "C:\\f\\", std::int64_t size = 0,
              std::int64_t offset = 0) {
    return ResultRow{name, folder, size, offset};
}

std::vector<std::string> Shown(const ResultStore& store) {
    std::vector<std::string> rows;
    for (int i = 0; i < store.Count(); ++i)
        rows.push_back(std::string(store.Name(i)) + "@" + store.Folder(i));
    return rows;
}

TEST(ResultStore, RowsShowOnlyAfterCommitInArrivalOrderWithTheirFields) {
    ResultStore store(CompareNames);
    store.Append(Row("b.txt", "C:\\one\\", 5368709120LL, 1048575));
    store.Append(Row("a.txt", "C:\\one\\"));
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.Commit(), 2);
    store.Append(Row("c.txt", "C:\\two\\", 7));
    store.Commit();
    EXPECT_EQ(Shown(store),
              (std::vector<std::string>{"b.txt@C:\\one\\", "a.txt@C:\\one\\", "c.txt@C:\\two\\"}));
    EXPECT_EQ(store.Size(0), 5368709120LL);
    EXPECT_EQ(store.MatchOffset(0), 1048575);
    EXPECT_EQ(store.Size(2), 7);
    EXPECT_EQ(&store.Folder(0), &store.Folder(1)) << "rows of one folder share its string";
}

TEST(ResultStore, NameOrderKeepsArrivalOrderAmongEqualNamesAcrossBatches) {
    ResultStore store(CompareNames);
    store.Append(Row("m", "C:\\1\\"));
    store.Append(Row("b", "C:\\2\\"));
    store.Commit();
    store.SortByName();
    EXPECT_EQ(Shown(store), (std::vector<std::string>{"b@C:\\2\\", "m@C:\\1\\"}));
    store.Append(Row("m", "C:\\3\\"));
    store.Append(Row("a", "C:\\3\\"));
    store.Append(Row("m", "C:\\4\\"));
    store.Append(Row("z", "C:\\4\\"));
    store.Commit();
    EXPECT_EQ(Shown(store), (std::vector<std::string>{"a@C:\\3\\", "b@C:\\2\\", "m@C:\\1\\", "m@C:\\3\\",
                                                      "m@C:\\4\\", "z@C:\\4\\"}));
    store.SortByName(); // a second click changes nothing
    EXPECT_EQ(store.Count(), 6);
    store.StopSortingByName();
    store.Append(Row("0"));
    store.Commit();
    EXPECT_STREQ(store.Name(6), "0") << "back to arrival order";
}

TEST(ResultStore, BatchesMergedIntoNameOrderMatchOneStableSort) {
    std::mt19937 random(7);
    ResultStore store(CompareNames);
    store.SortByName();
    std::vector<std::pair<std::string, int>> expected;
    int serial = 0;
    for (int batch = 0; batch < 40; ++batch) {
        const int size = static_cast<int>(random() % 50);
        for (int i = 0; i < size; ++i) {
            std::string name(1, static_cast<char>('a' + random() % 6));
            name += static_cast<char>('a' + random() % 3);
            store.Append(Row(name, "F" + std::to_string(serial) + "\\"));
            expected.push_back({name, serial++});
        }
        store.Commit();
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    ASSERT_EQ(store.Count(), static_cast<int>(expected.size()));
    for (int i = 0; i < store.Count(); ++i) {
        EXPECT_EQ(store.Name(i), expected[i].first);
        EXPECT_EQ(store.Folder(i), "F" + std::to_string(expected[i].second) + "\\");
    }
}

TEST(ResultStore, RemoveAndClear) {
    ResultStore store(CompareNames);
    for (const char* name : {"x", "y", "z"})
        store.Append(Row(name));
    store.Commit();
    store.SortByName();
    store.RemoveRow(1);
    EXPECT_EQ(Shown(store), (std::vector<std::string>{"x@C:\\f\\", "z@C:\\f\\"}));
    store.Clear();
    EXPECT_EQ(store.Count(), 0);
    EXPECT_TRUE(store.SortedByName());
    store.Append(Row("n"));
    store.Commit();
    EXPECT_STREQ(store.Name(0), "n");
}

TEST(ResultStore, SmallRows) {
    ResultStore store(CompareNames);
    for (int i = 0; i < 100000; ++i)
        store.Append(Row("file" + std::to_string(i) + ".dat", "C:\\folder" + std::to_string(i / 500) + "\\"));
    store.Commit();
    EXPECT_LT(store.MemoryUse() / 100000, 100u) << "bytes per row";
}

TEST(BufferAdjust, FreeMemoryGivesTheBufferSize) {
    EXPECT_EQ(AdjustedBufferMegabytes(0), 25);
    EXPECT_EQ(AdjustedBufferMegabytes(6291455), 25);
    EXPECT_EQ(AdjustedBufferMegabytes(6291456), 2);
    EXPECT_EQ(AdjustedBufferMegabytes(100u << 20), 33);
    EXPECT_EQ(AdjustedBufferMegabytes(599u << 20), 199);
    EXPECT_EQ(AdjustedBufferMegabytes(0xFFFFFFFFu), 1365) << "the box clamps this to 200";
}

TEST(BufferAdjust, HelpTextHasFourteenLines) {
    std::vector<std::string> lines(1);
    for (const char* c = kBufferHelpText; *c; ++c) {
        ASSERT_NE(*c, '\n');
        if (*c == '\r')
            lines.emplace_back();
        else
            lines.back() += *c;
    }
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_TRUE(lines[4].empty());
    EXPECT_TRUE(lines[10].empty());
    EXPECT_NE(lines[6].find("won`t"), std::string::npos);
    EXPECT_NE(lines[7].find("won't"), std::string::npos);
    EXPECT_NE(lines[8].find("\"Adjust automatically\""), std::string::npos);
    EXPECT_EQ(lines[13], "take a while - this only happens at BIG files (50 + MB).");
}

} // namespace
} // namespace quennet
