#include "search/MaskList.h"
#include "search/Masks.h"

#include <gtest/gtest.h>

using quennet::EMaskException;
using quennet::MatchesMask;
using quennet::TMask;

namespace {

struct MaskCase {
    const char* pattern;
    const char* name;
    bool matches;
};

class MaskMatching : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskMatching, MatchesAsExpected) {
    const MaskCase& c = GetParam();
    EXPECT_EQ(MatchesMask(c.name, c.pattern), c.matches) << c.pattern << " vs " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Wildcards, MaskMatching,
    ::testing::Values(MaskCase{"*abc*", "ABC", true}, MaskCase{"*abc*", "xabcx", true},
                      MaskCase{"*abc*", "Abc.txt", true}, MaskCase{"*abc*", "ab", false},
                      MaskCase{"*a?c*", "abc", true}, MaskCase{"*a?c*", "xAbCx", true},
                      MaskCase{"*a?c*", "ac", false}, MaskCase{"*?abc*", "abc", true},
                      MaskCase{"*", "", true}, MaskCase{"*", "anything.at.all", true},
                      MaskCase{"*.txt*", "notes.txt.bak", true}, MaskCase{"*.txt*", "notes.tx", false},
                      MaskCase{"*a*b*c*", "xaybzc", true}, MaskCase{"*a*b*c*", "cba", false},
                      // Backtracking past an early partial match.
                      MaskCase{"*aab*", "aaaab", true}, MaskCase{"*ab*ab*", "abxab", true},
                      MaskCase{"*ab*ab*", "abxa", false}, MaskCase{"a?", "ab", true},
                      MaskCase{"a?", "a", false}, MaskCase{"a", "ab", false}));

INSTANTIATE_TEST_SUITE_P(Sets, MaskMatching,
                         ::testing::Values(MaskCase{"*[b-d]1*", "C1.txt", true},
                                           MaskCase{"*[b-d]1*", "e1", false}, MaskCase{"*[!a]*", "aab", true},
                                           MaskCase{"*[!a]*", "aaa", false}, MaskCase{"*[xyz]*", "Y", true},
                                           MaskCase{"*[XYZ]*", "y", true},
                                           // A reversed range adds nothing; the member before it stays.
                                           MaskCase{"*[z-a]*", "m", false}, MaskCase{"*[z-a]*", "z", true},
                                           MaskCase{"[!x]", "", false}));

INSTANTIATE_TEST_SUITE_P(AsciiOnlyFolding, MaskMatching,
                         ::testing::Values(MaskCase{"*\xE9*", "caf\xC9", false},
                                           MaskCase{"*\xE9*", "caf\xE9", true},
                                           MaskCase{"*[\xE9]*", "\xC9", false}, MaskCase{"*Z*", "z", true},
                                           // '[' and '`' sit next to the letters and must not fold.
                                           MaskCase{"*[[]*", "{", false}, MaskCase{"*[[]*", "[", true},
                                           MaskCase{"*@*", "`", false}));

struct InvalidCase {
    const char* pattern;
    const char* message;
};

class InvalidMask : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(InvalidMask, ReportsPatternAndPosition) {
    const InvalidCase& c = GetParam();
    try {
        TMask mask(c.pattern);
        FAIL() << "no error for " << c.pattern;
    } catch (const EMaskException& e) {
        EXPECT_STREQ(e.what(), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, InvalidMask,
                         ::testing::Values(InvalidCase{"*[*", "'*[*' is an invalid mask at (4)"},
                                           InvalidCase{"*[]*", "'*[]*' is an invalid mask at (3)"},
                                           InvalidCase{"*[!]*", "'*[!]*' is an invalid mask at (4)"},
                                           InvalidCase{"*[-a]*", "'*[-a]*' is an invalid mask at (3)"},
                                           InvalidCase{"*[a-", "'*[a-' is an invalid mask at (5)"}));

TEST(MaskLimits, ThirtySkipsCompileTheThirtyFirstFails) {
    std::string thirty;
    for (int i = 0; i < 29; ++i)
        thirty += "*a";
    thirty += "*"; // 29 literal skips plus the final state: 30
    EXPECT_NO_THROW(TMask{thirty});
    EXPECT_TRUE(MatchesMask(std::string(29, 'a'), thirty));

    std::string tooMany = thirty.substr(0, thirty.size() - 1) + "*b*";
    // The 31st skip state is the final one: reported one past the end.
    try {
        TMask mask(tooMany);
        FAIL();
    } catch (const EMaskException& e) {
        EXPECT_EQ(std::string(e.what()),
                  "'" + tooMany + "' is an invalid mask at (" + std::to_string(tooMany.size() + 1) + ")");
    }
}

TEST(MaskLimits, DeepBacktrackingStaysCorrect) {
    // Many skip states and a name that forces retries at each of them.
    const std::string pattern = "*a*a*a*a*a*a*a*a*b*";
    EXPECT_FALSE(MatchesMask(std::string(60, 'a'), pattern));
    EXPECT_TRUE(MatchesMask(std::string(60, 'a') + "b", pattern));
}

// Names are UTF-8: "?" and sets take a whole character, never one byte of it.
INSTANTIATE_TEST_SUITE_P(
    Utf8Characters, MaskMatching,
    ::testing::Values(MaskCase{"*r?sum?*", "r\u00E9sum\u00E9.txt", true},
                      MaskCase{"\u65E5?\u8A9E", "\u65E5\u672C\u8A9E", true},   // 3-byte characters
                      MaskCase{"?\u672C*", "\u65E5\u672C\u8A9E", true},
                      MaskCase{"a?b", "a\U0001F600b", true}, MaskCase{"a?b", "a\U0001F600\U0001F600b", false},
                      MaskCase{"a[!a]", "a\u00E9", true}, MaskCase{"a[!\u00E9]", "a\u00E9", false},
                      // After a "*", a set must not start inside the "é" and take its last byte.
                      MaskCase{"*[!\u00E9]", "\u00E9", false},
                      MaskCase{"*na[\u00EFi]ve*", "na\u00EFve.txt", true}, MaskCase{"*na[\u00EFi]ve*", "NAIVE", true},
                      MaskCase{"*na[\u00EFi]ve*", "na\u00E9ve", false},
                      MaskCase{"*[\u00E0-\u00FF]1*", "\u00E91", true}, MaskCase{"*[\u00E0-\u00FF]1*", "a1", false},
                      MaskCase{"*\u00E9*", "CAF\u00C9", false}, // no folding outside ASCII
                      // A byte outside well-formed UTF-8 is a character of its own.
                      MaskCase{"a?b", "a\xFF" "b", true}, MaskCase{"a?b", "a\xC3" "b", true}));

// A lone lead byte in a pattern is a character of its own too: it never matches the first
// byte of a character in a name, wherever it stands.
INSTANTIATE_TEST_SUITE_P(
    LoneLeadByteMatchesNoPartOfACharacter, MaskMatching,
    ::testing::Values(MaskCase{"*\xC3*", "\u00E9.txt", false}, MaskCase{"\xC3*", "\u00E9", false},
                      MaskCase{"[!x]\xC3*", "a\u00E9", false}, MaskCase{"\xC3?", "\u00E9", false},
                      MaskCase{"*\xE6\x97*", "\u65E5", false},
                      MaskCase{"*\xC3*", "a\xC3" "b", true}, MaskCase{"\xC3?", "\xC3\xA9x", false},
                      MaskCase{"*\u00E9*", "caf\u00E9.txt", true}, MaskCase{"*\u00E9*", "\xC3", false}));

TEST(InvalidMaskPosition, CountsCharactersNotBytes) {
    try {
        TMask mask("*\u00E9[*");
        FAIL();
    } catch (const EMaskException& e) {
        EXPECT_EQ(std::string(e.what()), "'*\u00E9[*' is an invalid mask at (5)");
    }
}

} // namespace

namespace {

// "*.cpp, *.h" gave 0 files without a word: a comma separates masks as ";" does. A blank does
// not: a folder's name may hold one ("New folder").
TEST(MaskList, CommaSeparatesMasksAsSemicolonDoes) {
    for (const char* text : {"*.cpp;*.h", "*.cpp, *.h", "*.cpp,*.h", " ;*.cpp,, ;*.h; "}) {
        const quennet::MaskList masks(text);
        EXPECT_TRUE(masks.MatchesAny("a.cpp")) << text;
        EXPECT_TRUE(masks.MatchesAny("b.h")) << text;
        EXPECT_FALSE(masks.MatchesAny("c.txt")) << text;
        EXPECT_FALSE(masks.MatchesAny("a.cpp, b")) << text;
    }
    EXPECT_TRUE(quennet::MaskList(" ,; ").Empty());
    EXPECT_TRUE(quennet::MaskList("New folder").MatchesAny("new FOLDER"));
}

} // namespace
