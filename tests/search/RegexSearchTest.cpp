#include "search/ContentScanner.h"
#include "search/FileReader.h"
#include "search/RegexFinder.h"
#include "search/RegexPattern.h"
#include "search/SearchRequest.h"

#include "TestTree.h"
#include "Utf16Bytes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>

using namespace quennet;
using quennet::test::TempTree;
using quennet::test::Utf16Bytes;

namespace {

struct Found {
    std::int64_t Offset;
    std::int32_t Length;
    bool operator==(const Found& o) const { return Offset == o.Offset && Length == o.Length; }
};

std::ostream& operator<<(std::ostream& out, const std::optional<Found>& f) {
    return f ? out << "at " << f->Offset << " length " << f->Length : out << "none";
}

// The first match by a scanner with tiny chunks, so that every match straddles some of them.
std::optional<Found> ScanFile(const std::string& path, const std::string& pattern, bool caseSensitive,
                              std::size_t chunk) {
    std::atomic<bool> stop{false};
    ContentScanner scanner(pattern, u"", !caseSensitive, 1 << 20, stop, chunk, true);
    FileReader file;
    PhraseMatch match;
    if (!file.Open(path) || !scanner.FileContainsPhrase(file, match))
        return std::nullopt;
    return Found{match.Offset, match.Length};
}

// The file cut in two ranges at `split`, as a pool of scanners reads it: the earlier range wins.
std::optional<Found> ScanRanges(const std::string& path, const std::string& pattern, bool caseSensitive,
                                std::size_t chunk, std::int64_t split) {
    std::atomic<bool> stop{false};
    ContentScanner scanner(pattern, u"", !caseSensitive, 1 << 20, stop, chunk, true);
    for (const auto& [start, end] : {std::pair{std::int64_t{0}, split}, std::pair{split, ContentScanner::kToEnd}}) {
        FileReader file;
        PhraseMatch match;
        if (file.Open(path) && scanner.RangeContainsPhrase(file, start, end, match, [] { return false; }))
            return Found{match.Offset, match.Length};
    }
    return std::nullopt;
}


struct Case {
    const char* Name;
    std::string Content;
    std::string Pattern;
    bool CaseSensitive;
    std::optional<Found> Expected;
};

} // namespace

TEST(RegexSearch, FirstMatchIsTheSameForEveryChunkSizeAndRangeSplit) {
    const std::string nonAscii = "caf\xC3\xA9 \xC3\x89" "cole ";
    const Case cases[] = {
        {"literal prefix", "xx Quokka_a Quokka_bc_Needle", "Quokka_\\w+_Needle", true, Found{12, 16}},
        {"prefix folded", "xx QUOKKA_1_needle", "quokka_\\d_Needle", false, Found{3, 15}},
        {"no literal", "abc Word 12 Years 2026.", "[A-Z][a-z]+ [0-9]{4}", true, Found{12, 10}},
        {"^ at a line start", "ab\nab\ncd", "^c", true, Found{6, 1}},
        {"$ at a line end", "ab x\nab\n", "ab$", true, Found{5, 2}},
        {"$ before CR LF", "ab x\r\nab\r\n", "x$", true, Found{3, 1}},
        {"\\b needs the byte before", "xcat cat", "\\bcat", true, Found{5, 3}},
        {"lookbehind", "1234567890abc 12345678x", "(?<=12345678)x", true, Found{22, 1}},
        {"greedy stays on its line", "a1b2b\na3b", "a.*b", true, Found{0, 5}},
        {"alternation", "zz needle hay", "hay|needle", true, Found{3, 6}},
        {"Unicode case folding", nonAscii, "\xC3\xA9" "COLE", false, Found{6, 6}},
        {"Unicode \\w", nonAscii, "\\w+ \\w+", true, Found{0, 12}},
        {"Kelvin sign folds with k", "xx \xE2\x84\xAA" "elvin", "kelvin", false, Found{3, 8}},
        {"case kept when sensitive", nonAscii, "\xC3\xA9" "COLE", true, std::nullopt},
        {"invalid bytes stop nothing", "\xC3\x28 \xFF\xFE\xFF ab\x80 abc", "a.c", true, Found{11, 3}},
        {"invalid bytes match nothing", "a\xFF" "c", "a.c", true, std::nullopt},
        {"after unfinished characters", "\xF0\x9F\x98\xF0\x9F\x98\xF0\x9F\x98" "needle\xC3\xC3", "ne+dle", false, Found{9, 6}},
        {"empty match", "abc", "x*", true, Found{0, 0}},
        {"UTF-16 LE", Utf16Bytes(u"one two\nThree 2026", false), "^t\\w+ \\d+", false, Found{18, 20}},
        {"UTF-16 BE", Utf16Bytes(u"one \u00C9cole", true), "\u00E9cole", false, Found{10, 10}},
        {"UTF-16 mark is not text", Utf16Bytes(u"ab", false), "^a", true, Found{2, 2}},
    };
    TempTree tree;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        tree.File("f", c.Content);
        const std::string path = tree.Path("f");
        EXPECT_EQ(ScanFile(path, c.Pattern, c.CaseSensitive, 1 << 20), c.Expected);
        for (std::size_t chunk : {2, 3, 7}) {
            SCOPED_TRACE(chunk);
            EXPECT_EQ(ScanFile(path, c.Pattern, c.CaseSensitive, chunk), c.Expected);
            for (std::int64_t split = 2; split < static_cast<std::int64_t>(c.Content.size()); split += 2)
                ASSERT_EQ(ScanRanges(path, c.Pattern, c.CaseSensitive, chunk, split), c.Expected) << "split " << split;
        }
    }
}

// The first match of `pattern` by a finder with blocks of 16 bytes, fed `feed` bytes at a time.
std::optional<Found> FindInSmallBlocks(const std::string& text, const std::string& pattern, std::size_t feed) {
    std::atomic<bool> stop{false};
    RegexFinder finder(pattern, true, stop, 16);
    finder.Begin([](unsigned char*, std::size_t, std::int64_t) { return std::size_t{0}; }, 0);
    RegexFinder::Step step = RegexFinder::Step::More;
    for (std::size_t at = 0; at < text.size() && step == RegexFinder::Step::More; at += feed) {
        const std::size_t size = std::min(feed, text.size() - at);
        step = finder.Feed(reinterpret_cast<const unsigned char*>(text.data() + at), size,
                           static_cast<std::int64_t>(at), ContentScanner::kToEnd);
    }
    if (step == RegexFinder::Step::More)
        step = finder.Finish(ContentScanner::kToEnd);
    if (step != RegexFinder::Step::Found)
        return std::nullopt;
    return Found{finder.Offset(), finder.Length()};
}

TEST(RegexSearch, MatchLongerThanABlockIsCutAtTheNextBlocksEndNotRetriedLater) {
    // Blocks of 16: a match starting in the first block sees the file up to byte 32.
    const Case cases[] = {
        {"x* on a long line matches at its start", std::string(40, 'x'), "x*", true, Found{0, 32}},
        {"a match longer than one block", "a" + std::string(20, '-') + "b", "a-*b", true, Found{0, 22}},
        {"greedy to the cut", "a" + std::string(40, '-') + "b", "a-*", true, Found{0, 32}},
        {"beyond two blocks", "a" + std::string(40, '-') + "b", "a-*b", true, std::nullopt},
        {"a later block sees its own two", std::string(20, '.') + "a" + std::string(20, '-') + "b", "a-*b", true,
         Found{20, 22}},
        {"\\z at the end of two blocks", std::string(32, 'q'), "\\z", true, Found{32, 0}},
        {"a prefix across the border of blocks with no candidate", std::string(45, '.') + "quokka_7" + std::string(30, '.'), "quokka_\\d",
         true, Found{45, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        for (std::size_t feed = 1; feed <= c.Content.size(); ++feed)
            ASSERT_EQ(FindInSmallBlocks(c.Content, c.Pattern, feed), c.Expected) << "fed " << feed;
    }
}

TEST(RegexSearch, LeadingDotStarOnALongLineEndsWithoutAMatch) {
    // Every start of the line would see a megabyte of it: once per block, not once per byte.
    TempTree tree;
    tree.File("zeros", std::string(6 << 20, '\0'));
    std::string json = "[";
    while (json.size() < (3 << 20))
        json += "{\"price\": 12}, ";
    tree.File("json", json + "]");
    for (const char* pattern : {".*NOTHERE", ".*?NOTHERE", "price.*NOTHERE"}) {
        SCOPED_TRACE(pattern);
        for (const char* name : {"zeros", "json"}) {
            std::atomic<bool> stop{false};
            ContentScanner scanner(pattern, u"", true, 1 << 20, stop, 1 << 20, true);
            FileReader file;
            PhraseMatch match;
            ASSERT_TRUE(file.Open(tree.Path(name)));
            EXPECT_FALSE(scanner.FileContainsPhrase(file, match)) << name;
            EXPECT_EQ(scanner.GaveUpReason(), "") << name;
        }
    }
}

TEST(RegexSearch, CatastrophicPatternGivesTheFileUpWithAReason) {
    TempTree tree;
    tree.File("a", std::string(5000, 'a') + "!\n");
    std::atomic<bool> stop{false};
    ContentScanner scanner("(a+)+$", u"", false, 1 << 20, stop, 1 << 20, true);
    FileReader file;
    PhraseMatch match;
    ASSERT_TRUE(file.Open(tree.Path("a")));
    EXPECT_FALSE(scanner.FileContainsPhrase(file, match));
    EXPECT_NE(scanner.GaveUpReason().find("match limit"), std::string::npos);
    // The next file starts afresh.
    tree.File("b", "aaa\n");
    FileReader next;
    ASSERT_TRUE(next.Open(tree.Path("b")));
    EXPECT_TRUE(scanner.FileContainsPhrase(next, match));
    EXPECT_EQ(scanner.GaveUpReason(), "");
}

TEST(RegexSearch, BadPatternsAreRefusedWithTheMessageAndPosition) {
    const std::pair<std::string, std::string> cases[] = {
        {"a(b", "position 4: missing closing parenthesis"},
        {"\xC3\xA9[z-a]", "range out of order in character class"},
        {"ab\\", "position 4: \\ at end of pattern"},
        {"a{2,1}", "numbers out of order in {} quantifier"},
        {std::string(300, '(') + std::string(300, ')'), "parentheses are too deeply nested"},
        {"\xFF", "UTF-8 error"},
        // A file is searched from several places: these would answer differently from each.
        {"\\Gb", "\\G is not supported"},
        {"aa+(*COMMIT)b", "(*COMMIT) is not supported"},
        {"a(*SKIP:x)b", "(*SKIP) is not supported"},
    };
    for (const auto& [pattern, message] : cases) {
        SearchCriteria criteria;
        criteria.PhraseText = pattern;
        criteria.RegularExpression = true;
        const PreparedSearch prepared = BuildSearchRequest(criteria);
        EXPECT_FALSE(prepared.Request) << pattern;
        EXPECT_EQ(prepared.Field, CriterionField::Phrase);
        EXPECT_NE(prepared.Error.find(message), std::string::npos) << prepared.Error;
    }
    for (const std::string pattern : {"a\\\\G", "[\\\\G]", "\\Q\\G(*COMMIT)\\E"}) {
        SearchCriteria quoted;
        quoted.PhraseText = pattern;
        quoted.RegularExpression = true;
        EXPECT_TRUE(BuildSearchRequest(quoted).Request) << pattern;
    }
    SearchCriteria good;
    good.PhraseText = "Quokka_\\w+";
    good.RegularExpression = true;
    const PreparedSearch prepared = BuildSearchRequest(good);
    ASSERT_TRUE(prepared.Request);
    EXPECT_TRUE(prepared.Request->RegularExpression);
    EXPECT_TRUE(prepared.Request->FoldCase);
    EXPECT_EQ(prepared.Request->Phrase, "Quokka_\\w+"); // the pattern as typed, never folded
    EXPECT_TRUE(prepared.Request->WidePhrase.empty());
}

TEST(RegexSearch, LiteralPrefixIsOnlyWhatEveryMatchStartsWith) {
    // Pattern, case-sensitive, prefix.
    const std::tuple<std::string, bool, std::string> cases[] = {
        {"Quokka_\\w+_Needle", true, "Quokka_"},
        {"Quokka_\\w+", false, "quo"}, // cut before k: Unicode folds it with the Kelvin sign
        {"^abc\\.d", true, "abc.d"},
        {"abc?", true, "ab"},
        {"abc+", true, "abc"},
        {"ab{2}", true, "a"},
        {"a|b", true, ""},
        {"(?i)abc", true, ""},
        {"\\d+abc", true, ""},
        {"\xC3\xA9t\xC3\xA9", true, "\xC3\xA9t\xC3\xA9"},
        {"\xC3\xA9t\xC3\xA9", false, ""},
        {"Use the force", false, "u"}, // s folds with the long s
    };
    for (const auto& [pattern, caseSensitive, prefix] : cases)
        EXPECT_EQ(LiteralPrefixOf(pattern, !caseSensitive), prefix) << pattern;
}
