// The results list's store and the buffer auto-adjustment rule, without windows.
#include "mainwindow/BufferAdjust.h"
#include "mainwindow/NameOrder.h"
#include "mainwindow/ResultStore.h"
#include "search/SearchSink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace quennet {
namespace {

// The name itself is its key here: byte order.
void NameKey(const char* name, std::string& key) {
    key.append(name);
    key.push_back('\0');
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
    ResultStore store(NameKey);
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
    ResultStore store(NameKey);
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
    ResultStore store(NameKey);
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
    ResultStore store(NameKey);
    for (const char* name : {"x", "y", "z"})
        store.Append(Row(name));
    store.Commit();
    store.SortByName();
    EXPECT_EQ(store.RemoveRows({store.KeyAt(1), store.KeyAt(1)}), 1);
    EXPECT_EQ(Shown(store), (std::vector<std::string>{"x@C:\\f\\", "z@C:\\f\\"}));
    const RowKey before = store.KeyAt(0);
    store.Clear();
    EXPECT_EQ(store.Count(), 0);
    EXPECT_TRUE(store.SortedByName());
    store.Append(Row("n"));
    store.Commit();
    EXPECT_STREQ(store.Name(0), "n");
    EXPECT_EQ(store.PositionsOf({before}), std::vector<int>{-1}) << "a row of an earlier search is gone";
    EXPECT_EQ(store.RemoveRows({before}), 0);
    EXPECT_EQ(store.Count(), 1);
}

// A large list is sorted on another thread while batches keep arriving and rows are removed;
// once swapped in, the order is that of one stable sort of the rows left, and every row the
// test remembered by its key is found where its own name and folder are.
TEST(ResultStore, RowsKeepTheirKeysThroughASortOnAnotherThreadWhileRowsArriveAndGo) {
    std::mt19937 random(11);
    ResultStore store(NameKey, std::strcmp, 50);
    std::vector<std::pair<std::string, int>> expected; // name, serial (its folder)
    int serial = 0;
    auto batch = [&](int size) {
        for (int i = 0; i < size; ++i) {
            std::string name(1, static_cast<char>('a' + random() % 5));
            name += static_cast<char>('a' + random() % 5);
            store.Append(Row(name, "F" + std::to_string(serial) + "\\"));
            expected.push_back({name, serial++});
        }
        store.Commit();
    };
    auto remove = [&](int position) {
        const std::string folder = store.Folder(position);
        ASSERT_EQ(store.RemoveRows({store.KeyAt(position)}), 1);
        expected.erase(std::find_if(expected.begin(), expected.end(), [&](const auto& row) {
            return "F" + std::to_string(row.second) + "\\" == folder;
        }));
    };
    batch(3000);
    remove(17);
    const RowKey watched = store.KeyAt(2500); // remembered before the sort
    const std::string watchedFolder = store.Folder(2500);
    store.SortByName();
    ASSERT_TRUE(store.SortRunning()) << "3000 rows are above the limit of 50";
    for (int round = 0; round < 5; ++round) {
        batch(40);
        remove(static_cast<int>(random() % store.Count()));
    }
    while (store.SortRunning()) // rows that came meanwhile may take one more sort
        if (!store.TakeFinishedSort())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    batch(300); // merged into name order at once now

    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    ASSERT_EQ(store.Count(), static_cast<int>(expected.size()));
    for (int i = 0; i < store.Count(); ++i)
        ASSERT_EQ(store.Folder(i), "F" + std::to_string(expected[i].second) + "\\") << i;
    const int at = store.PositionsOf({watched}).front();
    if (at >= 0)
        EXPECT_EQ(store.Folder(at), watchedFolder);
    else
        EXPECT_TRUE(std::none_of(expected.begin(), expected.end(), [&](const auto& row) {
            return "F" + std::to_string(row.second) + "\\" == watchedFolder;
        }));
}

// A new search while a sort runs: the sort's result is dropped, and the new rows stay in
// arrival order.
TEST(ResultStore, ASortStillRunningWhenTheNextSearchStartsIsDropped) {
    ResultStore store(NameKey, std::strcmp, 10);
    for (int i = 0; i < 50000; ++i)
        store.Append(Row("n" + std::to_string(50000 - i)));
    store.Commit();
    store.SortByName();
    store.StopSortingByName();
    store.Clear();
    for (const char* name : {"z", "a"})
        store.Append(Row(name));
    store.Commit();
    for (int i = 0; i < 200; ++i) {
        EXPECT_FALSE(store.TakeFinishedSort());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(Shown(store), (std::vector<std::string>{"z@C:\\f\\", "a@C:\\f\\"}));
}

TEST(ResultStore, SmallRows) {
    ResultStore store(NameKey);
    for (int i = 0; i < 100000; ++i)
        store.Append(Row("file" + std::to_string(i) + ".dat", "C:\\folder" + std::to_string(i / 500) + "\\"));
    store.Commit();
    EXPECT_LT(store.MemoryUse() / 100000, 100u) << "bytes per row";
}

ResultRow WithLine(const std::string& name, const std::string& line, int start, int length) {
    ResultRow row = Row(name);
    row.Line = MatchLine{line, start, length};
    return row;
}

// A search by name keeps no line store at all; a content row pays its text and a few bytes.
TEST(ResultStore, LinesCostOnlyTheRowsThatHaveThem) {
    const auto fill = [](ResultStore& store, const std::string& line) {
        for (int i = 0; i < 10000; ++i)
            store.Append(WithLine("file" + std::to_string(i) + ".dat", line, 0, static_cast<int>(line.size())));
        store.Commit();
    };
    ResultStore namesOnly(NameKey), content(NameKey);
    fill(namesOnly, "");
    fill(content, std::string(100, 'x'));
    const std::size_t extra = (content.MemoryUse() - namesOnly.MemoryUse()) / 10000;
    EXPECT_GE(extra, 100u);
    // The text once, a 6-byte header and an 8-byte index; the vectors grow by doubling.
    EXPECT_LE(extra, 2 * (100u + 6 + 8));
    EXPECT_TRUE(namesOnly.Line(0).Text.empty());
}

TEST(ResultStore, RowsKeepTheirLinesThroughSortsRemovalsAndSnapshots) {
    ResultStore store(NameKey);
    store.Append(Row("c.txt")); // a file that changed under the scan has no line
    store.Append(WithLine("b.txt", "say \"hi\", b", 5, 4));
    store.Append(WithLine("a.txt", "line of a", 8, 1));
    store.Commit();
    store.SortByName();
    store.RemoveRows({store.KeyAt(2)}); // c.txt
    ASSERT_EQ(store.Count(), 2);
    EXPECT_EQ(store.Line(0).Text, "line of a");
    EXPECT_EQ(store.Line(0).Start, 8);
    EXPECT_EQ(store.Line(1).Text, "say \"hi\", b");
    EXPECT_EQ(store.Line(1).Length, 4);
    const ListSnapshot snapshot = store.Snapshot();
    store.Clear();
    std::string written;
    WriteList(snapshot, ListFormat::Csv, [&](const std::string& piece) { return written += piece, true; });
    EXPECT_EQ(written, "\xEF\xBB\xBFName,In Folder,Size in bytes,Size,Match offset,Match line\r\n"
                       "a.txt,C:\\f\\,0,0 b,0,line of a\r\n"
                       "b.txt,C:\\f\\,0,0 b,0,\"say \"\"hi\"\", b\"\r\n");
}

// A comparison shaped like the system's: first the names with case and accents folded and
// "-" and "'" skipped, then the bytes themselves. Counts its calls.
int modelCalls = 0;
std::string FirstLevel(const char* name) {
    std::string level;
    for (const char* c = name; *c; ++c) {
        unsigned char ch = static_cast<unsigned char>(*c);
        if (ch == '-' || ch == '\'')
            continue;
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<unsigned char>(ch - 'A' + 'a');
        if (ch == 0xE9 || ch == 0xE8 || ch == 0xC9)
            ch = 'e';
        if (ch == 0xFC || ch == 0xDC)
            ch = 'u';
        level += static_cast<char>(ch);
    }
    return level;
}
int ModelCompare(const char* a, const char* b) {
    ++modelCalls;
    const std::string x = FirstLevel(a), y = FirstLevel(b);
    if (x != y)
        return std::strcmp(x.c_str(), y.c_str());
    return std::strcmp(a, b);
}
void ModelKey(const char* name, std::string& key) {
    static const CollationTable table(ModelCompare);
    table.AppendKey(name, key);
}
// A key that says nothing true about the order.
void ReversedKey(const char* name, std::string& key) {
    std::string reversed(name);
    std::reverse(reversed.begin(), reversed.end());
    key += reversed;
    key.push_back('\0');
}

std::string RandomName(std::mt19937& random) {
    static const std::string chars = "aAbBeEzZ09-'_!.~ \xE9\xE8\xC9\xFC\xDC";
    std::string name;
    const int length = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < length; ++i)
        name += chars[random() % chars.size()];
    return name;
}

// Rows streamed in batches into name order, part of them sorted on another thread: the list's
// order is exactly the comparison's (equal names in arrival order), whether the key guesses
// well or not at all; with the collation key it costs a few calls of the comparison per row,
// not the dozens of a comparison sort.
TEST(ResultStore, NameOrderIsExactlyTheComparisonsWithFewCallsOfIt) {
    for (SortKeyMaker key : {ModelKey, ReversedKey}) {
        std::mt19937 random(3);
        std::string learnt;
        ModelKey("", learnt); // learns the table before counting
        ResultStore store(key, ModelCompare, 500);
        std::vector<std::pair<std::string, int>> expected;
        int serial = 0;
        auto batch = [&](int size) {
            for (int i = 0; i < size; ++i) {
                const std::string name = RandomName(random);
                store.Append(Row(name, std::to_string(serial) + "\\"));
                expected.push_back({name, serial++});
            }
            store.Commit();
        };
        batch(3000);
        modelCalls = 0;
        store.SortByName();
        batch(100);
        while (store.SortRunning()) // rows that came meanwhile may take one more sort
            if (!store.TakeFinishedSort())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        for (int i = 0; i < 40; ++i)
            batch(static_cast<int>(random() % 400));
        const int calls = modelCalls;

        std::stable_sort(expected.begin(), expected.end(), [](const auto& x, const auto& y) {
            return ModelCompare(x.first.c_str(), y.first.c_str()) < 0;
        });
        ASSERT_EQ(store.Count(), static_cast<int>(expected.size()));
        for (int i = 0; i < store.Count(); ++i) {
            ASSERT_EQ(store.Folder(i), std::to_string(expected[i].second) + "\\")
                << "row " << i << ": " << store.Name(i) << " for " << expected[i].first;
        }
        if (key == ModelKey) {
            EXPECT_LT(calls, 3 * store.Count()) << "calls of the comparison";
        }
    }
}

// Rows that came during a background sort, too many to place on the window's thread, are
// sorted on the job's thread again: by merging them into the sorted rows, at a few calls of
// the comparison per new row, not by sorting every row again. Rows placed on the window's
// thread afterwards find every row's key.
TEST(ResultStore, RowsThatCameDuringABackgroundSortAreMergedInNotSortedAgain) {
    constexpr int kPlacedHere = 8; // after the sorts, few enough to be placed on this thread
    auto sortInBackground = [](int shown, int newcomers) {
        std::mt19937 random(5);
        ResultStore store(ModelKey, ModelCompare, 10);
        std::vector<std::string> names;
        for (int i = 0; i < shown + newcomers + kPlacedHere; ++i)
            names.push_back(RandomName(random) + RandomName(random));
        for (int i = 0; i < shown; ++i)
            store.Append(Row(names[i], std::to_string(i) + "\\"));
        store.Commit();
        std::string learnt;
        ModelKey("", learnt); // learns the table before counting
        modelCalls = 0;
        store.SortByName();
        for (int i = shown; i < shown + newcomers; ++i)
            store.Append(Row(names[i], std::to_string(i) + "\\"));
        store.Commit(); // waits at the end until the sort is taken, then is merged on its thread
        while (store.SortRunning())
            if (!store.TakeFinishedSort())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const int calls = modelCalls;
        // Placed by their keys, which every row must still have after sorts that followed
        // each other on the job's thread.
        for (int i = shown + newcomers; i < shown + newcomers + kPlacedHere; ++i)
            store.Append(Row(names[i], std::to_string(i) + "\\"));
        store.Commit();
        EXPECT_FALSE(store.SortRunning());
        std::vector<int> expected(names.size());
        for (std::size_t i = 0; i < names.size(); ++i)
            expected[i] = static_cast<int>(i);
        std::stable_sort(expected.begin(), expected.end(),
                         [&](int x, int y) { return ModelCompare(names[x].c_str(), names[y].c_str()) < 0; });
        EXPECT_EQ(store.Count(), shown + newcomers + kPlacedHere);
        for (int i = 0; i < store.Count(); ++i)
            EXPECT_EQ(store.Folder(i), std::to_string(expected[i]) + "\\") << "row " << i;
        return calls;
    };
    const int shownAlone = sortInBackground(20000, 0);
    const int withNewcomers = sortInBackground(20000, 300);
    EXPECT_LT(withNewcomers - shownAlone, 300 * 8)
        << withNewcomers << " calls against " << shownAlone << " for the shown rows alone";
}

std::string Written(const ListSnapshot& snapshot, ListFormat format, std::size_t pieceBytes, int* pieces = nullptr) {
    std::string all;
    WriteList(
        snapshot, format,
        [&](const std::string& piece) {
            all += piece;
            if (pieces)
                ++*pieces;
            return true;
        },
        pieceBytes);
    return all;
}

TEST(ListSnapshot, HoldsTheRowsInListOrderAsTheyWereWhenTaken) {
    ResultStore store(NameKey);
    store.Append(Row("m.txt", "C:\\a\\", 2048, 3));
    store.Append(Row("b, c.txt", "C:\\b\\", 10));
    store.Append(Row("z.txt", "C:\\b\\", 5));
    store.Commit();
    store.SortByName();
    store.RemoveRows({store.KeyAt(2)}); // z.txt
    store.Append(Row("queued.txt")); // not shown yet: not saved
    const ListSnapshot snapshot = store.Snapshot();

    // The list goes on: more rows, a removal, then a new search.
    store.Commit();
    store.Append(Row("a.txt"));
    store.Commit();
    store.RemoveRows({store.KeyAt(0)});
    store.Clear();
    store.Append(Row("other.txt", "C:\\other\\"));
    store.Commit();

    const std::string expected = "\xEF\xBB\xBFName,In Folder,Size in bytes,Size,Match offset,Match line\r\n"
                                 "\"b, c.txt\",C:\\b\\,10,10 b,0,\r\n"
                                 "m.txt,C:\\a\\,2048,2 KB,3,\r\n";
    EXPECT_EQ(Written(snapshot, ListFormat::Csv, 1 << 20), expected);
    int pieces = 0;
    EXPECT_EQ(Written(snapshot, ListFormat::Csv, 1, &pieces), expected) << "pieces join to the same text";
    EXPECT_EQ(pieces, 2) << "a piece is handed on once it is full: the header goes with the first row";
}

// Without the mark a spreadsheet reads the UTF-8 as the ANSI page and mangles every
// non-Latin name; the tab-separated form is for scripts and stays without.
TEST(ListSnapshot, WindowsCsvWithoutByteOrderMark) {
    ResultStore store(NameKey);
    store.Append(Row("\xC3\xA9t\xC3\xA9.txt", "C:\\a\\", 1));
    store.Commit();
    const std::string csv = Written(store.Snapshot(), ListFormat::Csv, 1 << 20);
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(csv.substr(3, 5), "Name,");
    EXPECT_EQ(Written(store.Snapshot(), ListFormat::TabSeparated, 1 << 20).substr(0, 5), "Name\t");
}

TEST(ListSnapshot, AWriteThatFailsStopsTheList) {
    ResultStore store(NameKey);
    for (int i = 0; i < 100; ++i)
        store.Append(Row("f" + std::to_string(i)));
    store.Commit();
    int calls = 0;
    EXPECT_FALSE(WriteList(store.Snapshot(), ListFormat::TabSeparated, [&](const std::string&) { return ++calls < 2; }, 64));
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(WriteList(ResultStore(NameKey).Snapshot(), ListFormat::TabSeparated, [](const std::string& piece) {
        return piece == "Name\tIn Folder\tSize in bytes\tSize\tMatch offset\tMatch line\r\n";
    })) << "an empty list is its header";
}

TEST(BufferAdjust, FreeMemoryGivesTheBufferSize) {
    EXPECT_EQ(AdjustedBufferMegabytes(0), 25);
    EXPECT_EQ(AdjustedBufferMegabytes(6291455), 25);
    EXPECT_EQ(AdjustedBufferMegabytes(6291456), 2);
    EXPECT_EQ(AdjustedBufferMegabytes(100u << 20), 33);
    EXPECT_EQ(AdjustedBufferMegabytes(599u << 20), 199);
    EXPECT_EQ(AdjustedBufferMegabytes(0xFFFFFFFFu), 1365) << "the box clamps this to 200";
}

// Lines end in a lone CR, and both spellings of "won't" stay as the user has always read them.
TEST(BufferAdjust, HelpTextIsTheProgramsOwn) {
    EXPECT_STREQ(kBufferHelpText,
                 "When Quennet searches in a file for your string, it reads sections from it.\r"
                 "These sections are as large as the buffer size you choose (in MegaBytes - MB).\r"
                 "For example, if you choose 100 as the buffer size, it will read sections of 100 MB\r"
                 "until it reaches the end of the file, and then continues with the next file.\r"
                 "\r"
                 "It is recommended that you choose rather very large buffers, like 50/100 MB so\r"
                 "it won`t read too many sections from a file, but make sure you have that much free RAM\r"
                 "because the buffer is read directly in RAM, so it won't use the swap file.\r"
                 "But it is also recommended to check the \"Adjust automatically\" checkbox, which makes\r"
                 "the application check every second how much free RAM you have, and optimizes the buffer.\r"
                 "\r"
                 "NOTE: But be careful... If you choose a big buffer, and try to stop the search\r"
                 "you will have to wait until it reads all the buffer from the file, and this may\r"
                 "take a while - this only happens at BIG files (50 + MB).");
}

} // namespace
} // namespace quennet
