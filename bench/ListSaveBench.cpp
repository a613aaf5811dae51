// list-save-bench: "Save list as..." on a million rows, timed in its two parts: the snapshot
// taken on the window's thread (the only part that holds the window) and the file written on
// its own thread (formatting, writing beside the name, flushing, renaming).
// Usage: list-save-bench.exe FOLDER [ROWS] [ROUNDS]; prints milliseconds per round.
#include "mainwindow/ListFile.h"
#include "mainwindow/ResultStore.h"
#include "search/SearchSink.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace quennet;
using Clock = std::chrono::steady_clock;

namespace {

void ByteKey(const char* name, std::string& key) {
    key.append(name);
    key.push_back('\0');
}

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: list-save-bench FOLDER [ROWS] [ROUNDS]\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    const int rows = argc > 2 ? std::atoi(argv[2]) : 1000000;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    // Rows as a whole-drive search brings them: 500 files a folder, names of 10 to 30 bytes,
    // a few with commas so that some fields are quoted.
    ResultStore store(ByteKey);
    for (int i = 0; i < rows; ++i) {
        ResultRow row;
        row.Folder = "C:\\Users\\someone\\Documents\\projects\\folder" + std::to_string(i / 500) + "\\";
        row.Name = "file" + std::to_string(i) + (i % 50 == 0 ? ", copy" : "") + ".dat";
        row.Size = static_cast<std::int64_t>(i) * 7919 % 5000000000LL;
        row.MatchOffset = i % 3 ? 0 : i;
        store.Append(row);
    }
    store.Commit();

    std::vector<double> snapshots, saves;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        ListSnapshot snapshot = store.Snapshot();
        const auto taken = Clock::now();
        const std::string failure = SaveListFile(folder + "\\bench-list.csv", snapshot, ListFormat::Csv);
        const auto saved = Clock::now();
        if (!failure.empty()) {
            std::fprintf(stderr, "save failed: %s\n", failure.c_str());
            return 1;
        }
        snapshots.push_back(Milliseconds(taken - start));
        saves.push_back(Milliseconds(saved - taken));
        std::printf("round %d: snapshot %.1f ms, write %.1f ms\n", round + 1, snapshots.back(), saves.back());
    }
    WIN32_FILE_ATTRIBUTE_DATA info{};
    GetFileAttributesExA((folder + "\\bench-list.csv").c_str(), GetFileExInfoStandard, &info);
    DeleteFileA((folder + "\\bench-list.csv").c_str());
    std::sort(snapshots.begin(), snapshots.end());
    std::sort(saves.begin(), saves.end());
    std::printf("%d rows, %.1f MB: snapshot (window's thread) median %.1f ms, max %.1f ms; "
                "write (own thread) median %.1f ms; total median %.1f ms\n",
                rows, (static_cast<double>(info.nFileSizeHigh) * 4294967296.0 + info.nFileSizeLow) / 1e6,
                snapshots[snapshots.size() / 2], snapshots.back(), saves[saves.size() / 2],
                snapshots[snapshots.size() / 2] + saves[saves.size() / 2]);
    return 0;
}
