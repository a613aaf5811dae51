// The filters (--only, --skip, --skip-dir, --changed-within, --changed-before) against a model
// of them over random trees: every file the model keeps is listed, and no other, for one
// scanner and for two.
#include "cli/CliFrontEnd.h"
#include "cli/CliOptions.h"
#include "cli/TimeArgument.h"

#include "CliRun.h"
#include "TestTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <random>
#include <set>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

using namespace quennet;
using namespace quennet::cli;
using quennet::test::TempTree;

namespace {

void SetLastWrite(const std::string& path, std::int64_t seconds) {
#ifdef _WIN32
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    const std::int64_t ticks = (seconds + 11644473600LL) * 10000000LL;
    FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
#else
    const timespec times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
#endif
}

// A mask and what it means, written without the engine's matcher.
struct ModelMask {
    std::string mask;
    std::function<bool(const std::string&)> matches;
};

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}
bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

const std::vector<ModelMask>& FileMasks() {
    static const std::vector<ModelMask> masks = {
        {"*.cpp", [](const std::string& n) { return EndsWith(Lower(n), ".cpp"); }},
        {"*.H", [](const std::string& n) { return EndsWith(Lower(n), ".h"); }},
        {"[ab]*", [](const std::string& n) { return !n.empty() && (Lower(n)[0] == 'a' || Lower(n)[0] == 'b'); }},
        {"?x.txt", [](const std::string& n) { return n.size() == 6 && Lower(n).substr(1) == "x.txt"; }},
        {"*[!0-9].min.js", [](const std::string& n) {
             return EndsWith(n, ".min.js") && n.size() > 7 && !(n[n.size() - 8] >= '0' && n[n.size() - 8] <= '9');
         }},
#ifndef _WIN32
        {"\xC3\xA9*", [](const std::string& n) { return n.rfind("\xC3\xA9", 0) == 0; }},
#endif
    };
    return masks;
}

const std::vector<ModelMask>& FolderMasks() {
    static const std::vector<ModelMask> masks = {
        {"build", [](const std::string& n) { return Lower(n) == "build"; }},
        {"node_*", [](const std::string& n) { return Lower(n).rfind("node_", 0) == 0; }},
        {"*.bak", [](const std::string& n) { return EndsWith(Lower(n), ".bak"); }},
    };
    return masks;
}

struct Model {
    std::vector<const ModelMask*> only, skip, skipDirs;
    std::optional<std::int64_t> after, before;

    static std::string Join(const std::vector<const ModelMask*>& masks) {
        std::string text;
        for (const ModelMask* m : masks)
            text += (text.empty() ? "" : " ; ") + m->mask;
        return text;
    }
    bool KeepsFolder(const std::string& name) const {
        return std::none_of(skipDirs.begin(), skipDirs.end(), [&](const ModelMask* m) { return m->matches(name); });
    }
    bool KeepsFile(const std::string& name, std::int64_t written) const {
        if (!only.empty() && std::none_of(only.begin(), only.end(), [&](const ModelMask* m) { return m->matches(name); }))
            return false;
        if (std::any_of(skip.begin(), skip.end(), [&](const ModelMask* m) { return m->matches(name); }))
            return false;
        return (!after || written >= *after) && (!before || written <= *before);
    }
};

// The paths a run lists, its rows ending with NUL.
std::set<std::string> RunCli(const std::vector<std::string>& args, int& status, std::string& err) {
    const CliRun run(args);
    status = run.status;
    err = run.err;
    std::set<std::string> paths;
    for (std::size_t start = 0, end; (end = run.out.find('\0', start)) != std::string::npos; start = end + 1)
        paths.insert(run.out.substr(start, end - start));
    return paths;
}

TEST(Filters, TheCommandLineAgreesWithAModelOverRandomTrees) {
    std::mt19937 random(20261207);
    const std::vector<std::string> fileNames = {"a.cpp", "B.CPP", "notes.h", "x.H", "ax.txt", "abx.txt",
                                                "lib.min.js", "lib2.min.js", "readme", "b", "zz.cpp.bak",
#ifndef _WIN32
                                                "\xC3\xA9t\xC3\xA9.txt", "\xC3\x89t\xC3\xA9.cpp",
#endif
                                                "data.bin"};
    const std::vector<std::string> folderNames = {"src", "build", "Build", "node_modules", "old.bak", "lib"};
    const std::int64_t base = 1764547200; // 2025-12-01 00:00 UTC
    for (int round = 0; round < 8; ++round) {
        TempTree tree;
        // Folders up to three deep; each holds a few files written around the bounds.
        std::vector<std::pair<std::string, std::int64_t>> files; // relative path, last write
        std::vector<std::string> folders = {""};
        for (int i = 0; i < 12; ++i) {
            const std::string parent = folders[random() % folders.size()];
            if (std::count(parent.begin(), parent.end(), '/') >= 3)
                continue;
            folders.push_back(parent + folderNames[random() % folderNames.size()] + std::to_string(i % 2 ? i : 0) + "/");
        }
        // Some folders are named exactly as a mask says, at several depths.
        for (std::string& folder : folders)
            if (!folder.empty() && random() % 3 == 0) {
                const std::size_t cut = folder.find_last_of('/', folder.size() - 2);
                const std::string parentPart = cut == std::string::npos ? "" : folder.substr(0, cut + 1);
                folder = parentPart + folderNames[random() % folderNames.size()] + "/";
            }
        std::sort(folders.begin(), folders.end());
        folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
        const std::int64_t bound = base + static_cast<std::int64_t>(random() % 86400);
        for (const std::string& folder : folders) {
            tree.Folder(folder.empty() ? "." : folder);
            for (int i = 0; i < 4; ++i) {
                const std::string name = fileNames[random() % fileNames.size()];
                const std::string path = folder + name;
                // A file already made, also under a folder name that differs in case only.
                if (std::any_of(files.begin(), files.end(), [&](const auto& f) { return Lower(f.first) == Lower(path); }))
                    continue;
                // On either side of the bound to the second, on the bound, or far away.
                const std::int64_t offsets[] = {-1, 0, 1, -86400 * 3, 86400 * 3};
                const std::int64_t written = bound + offsets[random() % 5];
                tree.File(path, "x");
                SetLastWrite(tree.Path(path), written);
                files.push_back({path, written});
            }
        }
        Model model;
        auto pick = [&](const std::vector<ModelMask>& all, std::vector<const ModelMask*>& chosen) {
            for (const ModelMask& m : all)
                if (random() % 3 == 0)
                    chosen.push_back(&m);
        };
        pick(FileMasks(), model.only);
        pick(FileMasks(), model.skip);
        pick(FolderMasks(), model.skipDirs);
        switch (round % 4) { // each kind of bound twice
        case 0:
            model.after = bound;
            break;
        case 1:
            model.before = bound;
            break;
        case 2: // the same day, the same second
            model.after = bound;
            model.before = bound;
            break;
        default:
            break;
        }
        std::set<std::string> expected;
        for (const auto& [path, written] : files) {
            bool kept = true;
            std::size_t start = 0;
            for (std::size_t slash; (slash = path.find('/', start)) != std::string::npos; start = slash + 1)
                kept = kept && model.KeepsFolder(path.substr(start, slash - start));
            if (kept && model.KeepsFile(path.substr(start), written))
                expected.insert(tree.Path(path));
        }
        std::vector<std::string> args = {"--null"};
        if (!model.only.empty())
            args.insert(args.end(), {"--only", Model::Join(model.only)});
        if (!model.skip.empty())
            args.insert(args.end(), {"--skip", Model::Join(model.skip)});
        if (!model.skipDirs.empty())
            args.insert(args.end(), {"--skip-dir", Model::Join(model.skipDirs)});
        // The dates as a user gives them: local date and time.
        auto local = [](std::int64_t seconds) {
            const std::time_t t = static_cast<std::time_t>(seconds);
            char text[32];
            std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&t));
            return std::string(text);
        };
        if (model.after)
            args.insert(args.end(), {"--changed-within", local(*model.after)});
        if (model.before)
            args.insert(args.end(), {"--changed-before", local(*model.before)});
        args.push_back(tree.Path(""));
        for (const char* threads : {"1", "2"}) {
            std::vector<std::string> run = args;
            run.insert(run.begin(), {"--threads", threads});
            int status = -1;
            std::string err;
            // Windows names one folder "Build0" and "build0": paths are compared as it does.
            auto same = [](const std::string& path) {
                const std::string normal = std::filesystem::path(path).lexically_normal().string();
#ifdef _WIN32
                return Lower(normal);
#else
                return normal;
#endif
            };
            std::set<std::string> listed;
            for (const std::string& path : RunCli(run, status, err))
                listed.insert(same(path));
            std::set<std::string> wanted;
            for (const std::string& path : expected)
                wanted.insert(same(path));
            EXPECT_EQ(status, 0) << err;
            EXPECT_EQ(listed, wanted) << "round " << round << ", threads " << threads;
        }
    }
}

TEST(Filters, BadMasksAndTimesNameTheirOptionAndStartNothing) {
    TempTree tree;
    tree.File("a.txt");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--only", "*.cpp;*.c[", tree.Path("")}, "--only: '*.c[' is an invalid mask at (5)\n"},
        {{"--skip", "[]", tree.Path("")}, "--skip: '[]' is an invalid mask at (2)\n"},
        {{"--skip-dir", "ok;[!]", tree.Path("")}, "--skip-dir: '[!]' is an invalid mask at (3)\n"},
        {{"--changed-within", "2026-12-09", "--changed-before", "2026-12-08 14:30", tree.Path("")},
         "Error: the earliest change date (2026-12-09 00:00:00) is later than the latest (2026-12-08 14:30:00) !\n"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun run(args);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, message);
        EXPECT_EQ(run.status, kExitBadInput);
    }
    for (const char* bad : {"7x", "d", "2026-02-30", "2026-12-01 24:00", "2026-12-1x", ""}) {
        const auto parsed = ParseCommandLine({"--changed-within", bad, tree.Path("")});
        EXPECT_FALSE(parsed.Options) << bad;
        EXPECT_EQ(parsed.Error.rfind("--changed-within takes a duration", 0), 0u) << parsed.Error;
    }
}

TEST(Filters, TimesAreDurationsBackFromNowOrLocalDates) {
    const std::int64_t now = 1765000000;
    EXPECT_EQ(ParseTimeArgument("7d", now), now - 7 * 86400);
    EXPECT_EQ(ParseTimeArgument("12h", now), now - 12 * 3600);
    EXPECT_EQ(ParseTimeArgument("30min", now), now - 1800);
    EXPECT_EQ(ParseTimeArgument("2w", now), now - 14 * 86400);
    std::tm day{};
    day.tm_year = 2026 - 1900;
    day.tm_mon = 11;
    day.tm_mday = 1;
    day.tm_isdst = -1;
    const std::int64_t midnight = static_cast<std::int64_t>(std::mktime(&day));
    EXPECT_EQ(ParseTimeArgument("2026-12-01", now), midnight);
    EXPECT_EQ(ParseTimeArgument("2026-12-01 14:30", now), midnight + 14 * 3600 + 30 * 60);
    EXPECT_EQ(ParseTimeArgument("2026-12-01 14:30:15", now), midnight + 14 * 3600 + 30 * 60 + 15);
}

} // namespace
