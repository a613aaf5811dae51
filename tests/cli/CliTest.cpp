#include "cli/CliFrontEnd.h"
#include "cli/CliOptions.h"

#include "CliRun.h"
#include "TestTree.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

using namespace quennet;
using namespace quennet::cli;
using quennet::test::TempTree;

namespace {

std::optional<CliOptions> Parse(std::vector<std::string> args) {
    return ParseCommandLine(args).Options;
}

TEST(CommandLine, OptionsMapToCriteria) {
    auto o = Parse({"--name", "rep", "--text", "Hi", "--case-sensitive", "--min-kb", "5", "--buffer-mb",
                    "150", "--columns", "A", "B"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->Criteria.NameFragment, "rep");
    EXPECT_EQ(o->Criteria.PhraseText, "Hi");
    EXPECT_TRUE(o->Criteria.CaseSensitive);
    EXPECT_FALSE(o->Criteria.HexNotation);
    EXPECT_EQ(o->Criteria.BufferMegabytes, 150);
    EXPECT_TRUE(o->Criteria.Size.Enabled);
    EXPECT_EQ(o->Criteria.Size.MinKb, 5);
    EXPECT_EQ(o->Criteria.Size.MaxKb, 0);
    EXPECT_TRUE(o->Columns);
    EXPECT_EQ(o->Roots, (std::vector<std::string>{"A", "B"}));

    auto hex = Parse({"--hex", "4D 5A", "X"});
    ASSERT_TRUE(hex);
    EXPECT_TRUE(hex->Criteria.HexNotation);
    EXPECT_FALSE(hex->Criteria.Size.Enabled); // size bounds apply only when given
}

TEST(CommandLine, UsageErrors) {
    EXPECT_FALSE(Parse({}));
    EXPECT_FALSE(Parse({"--name", "x"}));                     // no folder
    EXPECT_FALSE(Parse({"--bogus", "X"}));                    // unknown option
    EXPECT_FALSE(Parse({"X", "--name"}));                     // missing argument
    EXPECT_FALSE(Parse({"--text", "a", "--hex", "41", "X"})); // text and HEX together
    EXPECT_TRUE(Parse({"--", "--name"}));                     // a folder named like an option
    EXPECT_FALSE(Parse({"--csv", "--columns", "X"}));         // two forms of row
    EXPECT_FALSE(Parse({"--csv", "--null", "X"}));
}

// The options are the program's own interface, not spin edits: a number that is not whole
// and in range is refused with the option's name, never quietly turned into another value.
TEST(CommandLine, BadNumbersAreRefusedNamingTheOption) {
    const std::pair<const char*, const char*> refused[] = {
        {"--min-kb", "abc"},        {"--min-kb", "1O0"},  {"--max-kb", "-5"},     {"--max-kb", "99999999999"},
        {"--min-kb", "2147483647"}, {"--min-kb", ""},     {"--min-kb", "+5"},     {"--min-kb", "5.0"},
        {"--min-kb", " 5"},         {"--buffer-mb", "0"}, {"--buffer-mb", "201"}, {"--buffer-mb", "25MB"},
    };
    for (const auto& [option, value] : refused) {
        const ParsedCommandLine parsed = ParseCommandLine({option, value, "X"});
        EXPECT_FALSE(parsed.Options) << option << " " << value;
        EXPECT_NE(parsed.Error.find(option), std::string::npos) << parsed.Error;
        EXPECT_NE(parsed.Error.find(std::string("\"") + value + "\""), std::string::npos) << parsed.Error;
    }
    EXPECT_EQ(ParseCommandLine({"--max-kb", "-5", "X"}).Error,
              "--max-kb must be a whole number from 0 to 2147483647, not \"-5\"");

    const auto bounds = Parse({"--min-kb", "2147483646", "--max-kb", "2147483647", "--buffer-mb", "1", "X"});
    ASSERT_TRUE(bounds);
    EXPECT_EQ(bounds->Criteria.Size.MinKb, 2147483646);
    EXPECT_EQ(bounds->Criteria.Size.MaxKb, 2147483647);
    EXPECT_EQ(bounds->Criteria.BufferMegabytes, 1);
    EXPECT_EQ(ParseCommandLine({"--bogus", "X"}).Error, ""); // usage errors leave it to the usage text
}

TEST(CliRuns, PathsAndColumns) {
    TempTree tree;
    tree.File("a.txt", "xxHELLO");
    tree.File("sub/b.txt", std::string(1500, 'y'));
    const CliRun plain({"--text", "hello", tree.Path("")});
    EXPECT_EQ(plain.status, kExitOk);
    EXPECT_EQ(plain.out, tree.Root() + "a.txt\n");
    EXPECT_EQ(plain.err, "");

    const CliRun columns({"--name", "b", "--columns", tree.Path("")});
    EXPECT_EQ(columns.out, "b.txt\t" + tree.Path("sub") + kPathSeparator + "\t1.46 KB\t0\n");

    const CliRun nul({"--null", tree.Path("")}); // files before subfolders: the order is fixed
    EXPECT_EQ(nul.out, tree.Root() + "a.txt" + '\0' + tree.Path("sub") + kPathSeparator + "b.txt" + '\0');

    tree.File("sub/c, d.txt", "HELLO");
    const CliRun csv({"--csv", "--text", "hello", tree.Path("")});
    EXPECT_EQ(csv.out, "Name,In Folder,Size in bytes,Size,Match offset,Match line\r\n"
                       "a.txt," + tree.Root() + ",7,7 b,2,xxHELLO\r\n"
                       "\"c, d.txt\"," + tree.Path("sub") + kPathSeparator + ",5,5 b,0,HELLO\r\n");
}

// --line puts the line last in every row form; without it the rows are as they always were.
TEST(CliRuns, TheLineOptionAddsTheMatchLineAsALastField) {
    TempTree tree;
    tree.File("a.txt", "first\r\nsay\thello there\r\nlast");
    const std::string path = tree.Root() + "a.txt";
    EXPECT_EQ(CliRun({"--text", "hello", "--line", tree.Path("")}).out, path + "\tsay hello there\n");
    EXPECT_EQ(CliRun({"--text", "hello", "--line", "--columns", tree.Path("")}).out,
              "a.txt\t" + tree.Root() + "\t28 b\t11\tsay hello there\n");
    EXPECT_EQ(CliRun({"--text", "hello", "--line", "--null", tree.Path("")}).out,
              path + "\tsay hello there" + '\0');
    EXPECT_EQ(CliRun({"--hex", "68 65", "--line", tree.Path("")}).out,
              path + "\t73 74 0D 0A 73 61 79 09 68 65 6C 6C 6F 20 74 68 65 72\n");
    EXPECT_EQ(CliRun({"--name", "a", "--line", tree.Path("")}).out, path + "\t\n");
    EXPECT_EQ(CliRun({"--text", "hello", "--columns", tree.Path("")}).out, "a.txt\t" + tree.Root() + "\t28 b\t11\n");
}

// A file of `size` bytes that takes no room on disk: reading its zeros takes long.
void MakeSparseFile(const std::string& path, std::int64_t size) {
#ifdef _WIN32
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = size;
    EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
#else
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(file);
    std::fclose(file);
    ASSERT_EQ(truncate(path.c_str(), size), 0);
#endif
}

// A pipe whose write end is buffered as the program's stdout is when piped into another tool.
class OutputPipe {
  public:
    OutputPipe() {
#ifdef _WIN32
        EXPECT_EQ(_pipe(ends_, 1 << 16, _O_BINARY), 0);
        writer_ = _fdopen(ends_[1], "wb");
#else
        EXPECT_EQ(pipe(ends_), 0);
        writer_ = fdopen(ends_[1], "wb");
#endif
        std::setvbuf(writer_, nullptr, _IOFBF, 1 << 16);
    }
    ~OutputPipe() {
        std::fclose(writer_);
        close(ends_[0]);
    }
    std::FILE* Writer() const {
        return writer_;
    }
    bool HasData() const {
#ifdef _WIN32
        DWORD waiting = 0;
        HANDLE reader = reinterpret_cast<HANDLE>(_get_osfhandle(ends_[0]));
        return PeekNamedPipe(reader, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0;
#else
        pollfd reader{ends_[0], POLLIN, 0};
        return poll(&reader, 1, 0) == 1;
#endif
    }

  private:
    int ends_[2] = {-1, -1};
    std::FILE* writer_ = nullptr;
};

// People pipe the output into other tools: a match found at once must reach them while the
// search goes on, not when it ends.
TEST(CliRuns, RowsReachTheOutputWhileTheSearchGoesOn) {
    TempTree tree;
    tree.File("hit.txt", "needle");
    tree.Folder("sub");
    MakeSparseFile(tree.Path("sub/huge.bin"), std::int64_t{1} << 40); // walked after hit.txt
    // NUL ends: Wine's C runtime flushes a stream at each line break, Windows' does not.
    const auto options = ParseCommandLine({"--null", "--text", "needle", tree.Path("")}).Options;
    ASSERT_TRUE(options);
    OutputPipe out;
    std::atomic<bool> interrupt{false};
    int status = -1;
    std::thread ui([&] {
        CliFrontEnd frontEnd(*options, out.Writer(), stderr);
        status = frontEnd.Run(interrupt);
    });
    bool seen = false;
    for (int i = 0; i < 500 && !seen; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        seen = out.HasData();
    }
    interrupt = true;
    ui.join();
    EXPECT_TRUE(seen) << "the row appeared only when the search ended";
    EXPECT_EQ(status, kExitInterrupted);
}

// What std::thread throws when the system has no thread to give, and what new throws.
class NoThreadLeft : public CliFrontEnd {
  public:
    using CliFrontEnd::CliFrontEnd;

  protected:
    std::unique_ptr<TMyThread> StartWorker(SearchRequest) override {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
};
class NoMemoryLeft : public CliFrontEnd {
  public:
    using CliFrontEnd::CliFrontEnd;

  protected:
    std::unique_ptr<TMyThread> StartWorker(SearchRequest) override { throw std::bad_alloc(); }
};

TEST(CliRuns, ASearchThatCannotStartGivesAMessageAndStatusOne) {
    TempTree tree;
    tree.File("a.txt");
    const CliRun noThread({tree.Path("")}, false, As<NoThreadLeft>{});
    EXPECT_EQ(noThread.status, kExitError);
    EXPECT_EQ(noThread.err.rfind("Cannot start the search thread: ", 0), 0u) << noThread.err;
    EXPECT_EQ(noThread.out, "");

    const CliRun noMemory({tree.Path("")}, false, As<NoMemoryLeft>{});
    EXPECT_EQ(noMemory.status, kExitError);
    EXPECT_EQ(noMemory.err, "Out of memory.\n");
}

TEST(CliRuns, BadInputGivesTheMessageAloneAndStatusTwo) {
    TempTree tree;
    tree.File("a.txt");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--hex", "4D5", tree.Path("")}, "Invalid HEX string !\n"},
        {{"--min-kb", "100", "--max-kb", "50", tree.Path("")},
         "Error: Maximum size is lower than minimum size !\n"},
        {{"--name", "[", tree.Path("")}, "'*[*' is an invalid mask at (4)\n"},
        {{tree.Path(""), tree.Path("a.txt")}, "Invalid directory: " + tree.Path("a.txt") + " (not a folder)\n"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun run(args);
        EXPECT_EQ(run.status, kExitBadInput) << message;
        EXPECT_EQ(run.err, message);
        EXPECT_EQ(run.out, "");
    }
}

// With several roots the user is told which one is refused, and why.
TEST(CliRuns, InvalidDirectoryNamesTheRootItRefuses) {
    TempTree tree;
    const CliRun run({tree.Path(""), tree.Path("missing")});
    EXPECT_EQ(run.status, kExitBadInput);
    EXPECT_EQ(run.err.rfind("Invalid directory: " + tree.Path("missing") + " (", 0), 0u) << run.err;
    EXPECT_GT(run.err.size(), ("Invalid directory: " + tree.Path("missing") + " ()\n").size()) << run.err;
    EXPECT_EQ(run.out, "");
}

// The header line is output too: it comes only after every check has passed.
TEST(CliRuns, CsvHeaderIsNotWrittenForABadNamePattern) {
    TempTree tree;
    tree.File("a.txt");
    const CliRun run({"--csv", "--name", "[", tree.Path("")});
    EXPECT_EQ(run.status, kExitBadInput);
    EXPECT_EQ(run.err, "'*[*' is an invalid mask at (4)\n");
    EXPECT_EQ(run.out, "");
}

class EndsBeforeWatched : public CliFrontEnd {
  public:
    using CliFrontEnd::CliFrontEnd;

  protected:
    std::unique_ptr<TMyThread> StartWorker(SearchRequest request) override {
        auto worker = CliFrontEnd::StartWorker(std::move(request));
        while (!worker->Finished())
            std::this_thread::yield();
        return worker;
    }
};

TEST(CliRuns, ProgressTextsAndInterrupt) {
    TempTree tree;
    tree.File("a.txt");
    const CliRun run({"--progress", tree.Path("")});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_NE(run.err.find("0 files found."), std::string::npos);
    EXPECT_NE(run.err.find("Search took 0 seconds."), std::string::npos);
    EXPECT_NE(run.err.find("1 files found.\nDone\n"), std::string::npos); // the final tick, then Done

    const CliRun interrupted({tree.Path("")}, true);
    EXPECT_EQ(interrupted.status, kExitInterrupted);
    // The search may end before the front end first looks at Ctrl+C: it is told all the same.
    const CliRun endedFirst({tree.Path("")}, true, As<EndsBeforeWatched>{});
    EXPECT_EQ(endedFirst.status, kExitInterrupted);
    EXPECT_EQ(endedFirst.out, tree.Root() + "a.txt\n");
}

} // namespace
