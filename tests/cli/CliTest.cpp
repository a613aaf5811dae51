#include "cli/CliFrontEnd.h"
#include "cli/CliOptions.h"

#include "TestTree.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace quennet;
using namespace quennet::cli;
using quennet::test::TempTree;

namespace {

std::optional<CliOptions> Parse(std::vector<std::string> args) {
    return ParseCommandLine(args);
}

TEST(CommandLine, OptionsMapToCriteria) {
    auto o = Parse({"--name", "rep", "--text", "Hi", "--case-sensitive", "--min-kb", "5", "--buffer-mb",
                    "300", "--columns", "A", "B"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->Criteria.NameFragment, "rep");
    EXPECT_EQ(o->Criteria.PhraseText, "Hi");
    EXPECT_TRUE(o->Criteria.CaseSensitive);
    EXPECT_FALSE(o->Criteria.HexNotation);
    EXPECT_EQ(o->Criteria.BufferMegabytes, 200);
    EXPECT_TRUE(o->Size.Enabled);
    EXPECT_EQ(o->Size.MinKb, 5);
    EXPECT_EQ(o->Size.MaxKb, 0);
    EXPECT_TRUE(o->Columns);
    EXPECT_EQ(o->Roots, (std::vector<std::string>{"A", "B"}));

    auto hex = Parse({"--hex", "4D 5A", "X"});
    ASSERT_TRUE(hex);
    EXPECT_TRUE(hex->Criteria.HexNotation);
    EXPECT_FALSE(hex->Size.Enabled); // size bounds apply only when given
}

TEST(CommandLine, UsageErrors) {
    EXPECT_FALSE(Parse({}));
    EXPECT_FALSE(Parse({"--name", "x"}));                     // no folder
    EXPECT_FALSE(Parse({"--bogus", "X"}));                    // unknown option
    EXPECT_FALSE(Parse({"X", "--name"}));                     // missing argument
    EXPECT_FALSE(Parse({"--text", "a", "--hex", "41", "X"})); // text and HEX together
    EXPECT_TRUE(Parse({"--", "--name"}));                     // a folder named like an option
}

TEST(CommandLine, NumbersReadLikeTheSpinEdits) {
    EXPECT_EQ(ReadSpinValue("12", 1, 200), 12);
    EXPECT_EQ(ReadSpinValue("abc", 1, 200), 1);
    EXPECT_EQ(ReadSpinValue("", 1, 200), 1);
    EXPECT_EQ(ReadSpinValue("0", 1, 200), 1);
    EXPECT_EQ(ReadSpinValue("99999999999", 0, 2147483647), 0); // not a 32-bit number
    EXPECT_EQ(ReadSpinValue("2147483647", 0, 2147483646), 2147483646);
}

// Runs the front end with its output captured.
struct CliRun {
    int status = -1;
    std::string out, err;

    explicit CliRun(std::vector<std::string> args, bool interruptAtOnce = false) {
        auto options = ParseCommandLine(args);
        EXPECT_TRUE(options);
        std::FILE* o = std::tmpfile();
        std::FILE* e = std::tmpfile();
        std::atomic<bool> interrupt{interruptAtOnce};
        {
            CliFrontEnd frontEnd(*options, o, e);
            status = frontEnd.Run(interrupt);
        }
        out = ReadAll(o);
        err = ReadAll(e);
    }
    static std::string ReadAll(std::FILE* f) {
        std::fflush(f);
        std::rewind(f);
        std::string text;
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
        return text;
    }
};

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
}

TEST(CliRuns, BadInputGivesTheMessageAloneAndStatusTwo) {
    TempTree tree;
    tree.File("a.txt");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--hex", "4D5", tree.Path("")}, "Invalid HEX string !\n"},
        {{"--min-kb", "100", "--max-kb", "50", tree.Path("")},
         "Error: Maximum size is lower than minimum size !\n"},
        {{"--name", "[", tree.Path("")}, "'*[*' is an invalid mask at (4)\n"},
        {{tree.Path("missing")}, "Invalid directory.\n"},
        {{tree.Path("a.txt")}, "Invalid directory.\n"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun run(args);
        EXPECT_EQ(run.status, kExitBadInput) << message;
        EXPECT_EQ(run.err, message);
        EXPECT_EQ(run.out, "");
    }
}

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
}

} // namespace
