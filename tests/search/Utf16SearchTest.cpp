// Text as Windows tools save it: UTF-16 files with a byte-order mark.
#include "search/ContentScanner.h"
#include "search/TextEncoding.h"

#include "TestTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace quennet;
using quennet::test::SearchRun;
using quennet::test::TempTree;

namespace {

TEST(TextEncoding, Utf8ToUtf16ConvertsWellFormedTextOnly) {
    EXPECT_EQ(Utf8ToUtf16("Ab"), u"Ab");
    EXPECT_EQ(Utf8ToUtf16("\xC3\xA9\xE2\x82\xAC"), u"\u00E9\u20AC");       // é€
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9D\x84\x9Ex"), std::u16string(u"\xD834\xDD1Ex")); // U+1D11E: a pair
    EXPECT_EQ(Utf8ToUtf16(""), u"");
    for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "a\xC3",
                            "\xE2\x82", "\xC3\x28", "\xF8\x88\x80\x80\x80"})
        EXPECT_FALSE(Utf8ToUtf16(bad)) << bad;
}

std::string Encode(const std::u16string& units, bool bigEndian) {
    std::string bytes(bigEndian ? "\xFE\xFF" : "\xFF\xFE");
    for (char16_t unit : units) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

class Utf16Scan : public ::testing::Test {
  protected:
    TempTree tree;
    std::atomic<bool> stop{false};

    // The match as "offset+length", or "none".
    std::string Scan(const std::string& content, const std::string& phrase, const std::u16string& wide,
                     bool fold, std::size_t buffer, std::size_t chunk) {
        tree.File("f.txt", content);
        ContentScanner scanner(phrase, wide, fold, buffer, stop, chunk);
        PhraseMatch match;
        if (!scanner.FileContainsPhrase(tree.Path("f.txt"), match))
            return "none";
        return std::to_string(match.Offset) + "+" + std::to_string(match.Length);
    }
};

TEST_F(Utf16Scan, SamePhraseInUtf8AndBothUtf16OrdersAcrossEveryChunkBorder) {
    const std::string typed = "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9D\x84\x9E"; // "Grüße 𝄞": a surrogate pair at the end
    const std::string folded = "gr\xC3\xBC\xC3\x9F" "e \xF0\x9D\x84\x9E";
    const std::string upper = "GR\xC3\xBC\xC3\x9F" "E \xF0\x9D\x84\x9E";      // only ASCII changed
    const std::string otherU = "gr\xC3\x9C\xC3\x9F" "e \xF0\x9D\x84\x9E";     // Ü is never folded
    const std::u16string units = *Utf8ToUtf16(typed);
    const std::u16string foldedUnits = FoldAsciiCase(units);
    for (std::size_t buffer = 1; buffer <= 7; ++buffer)
        for (std::size_t chunk = 1; chunk <= buffer; ++chunk)
            for (std::size_t at = 0; at <= 3; ++at)
                for (int form = 0; form < 3; ++form) { // UTF-8 with its mark, UTF-16LE, UTF-16BE
                    auto file = [&](const std::string& text) {
                        if (form == 0)
                            return "\xEF\xBB\xBF" + std::string(at, '.') + text + "..";
                        return Encode(std::u16string(at, u'.') + *Utf8ToUtf16(text) + u"..", form == 2);
                    };
                    const std::string where = form == 0 ? std::to_string(3 + at) + "+" + std::to_string(typed.size())
                                                        : std::to_string(2 + 2 * at) + "+" + std::to_string(2 * units.size());
                    SCOPED_TRACE("buffer " + std::to_string(buffer) + " chunk " + std::to_string(chunk) +
                                 " at " + std::to_string(at) + " form " + std::to_string(form));
                    EXPECT_EQ(Scan(file(typed), typed, units, false, buffer, chunk), where);
                    EXPECT_EQ(Scan(file(upper), folded, foldedUnits, true, buffer, chunk), where);
                    EXPECT_EQ(Scan(file(upper), typed, units, false, buffer, chunk), "none");
                    EXPECT_EQ(Scan(file(otherU), folded, foldedUnits, true, buffer, chunk), "none");
                }
}

// The plain definition on units: the first index where every unit matches, A-Z folded when asked.
std::size_t NaiveUnitFind(const std::u16string& text, const std::u16string& phrase, bool fold) {
    auto f = [fold](char16_t c) { return fold && c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
    for (std::size_t i = 0; i + phrase.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < phrase.size() && f(text[i + k]) == phrase[k])
            ++k;
        if (k == phrase.size())
            return i;
    }
    return std::u16string::npos;
}

TEST_F(Utf16Scan, RandomFilesAgreeWithASearchOfTheirUnits) {
    // Units whose bytes are letters of each other (0x4142 holds "AB", 0x6100 and 0x0061 hold
    // "a" in either half), so byte-wise folding and matches between units would show.
    const std::u16string alphabet(u"aAbB\x4142\x6162\x6100\x0061\x0000\xFEFF", 10);
    std::mt19937 rng(11);
    for (int round = 0; round < 1500; ++round) {
        std::u16string text(rng() % 40, u' ');
        for (char16_t& c : text)
            c = alphabet[rng() % alphabet.size()];
        std::u16string phrase(1 + rng() % 4, u' ');
        for (char16_t& c : phrase)
            c = alphabet[rng() % alphabet.size()];
        const bool fold = rng() % 2;
        const bool bigEndian = rng() % 2;
        if (fold)
            phrase = FoldAsciiCase(phrase);
        const std::size_t buffer = 2 + rng() % 9;
        const std::size_t chunk = 2 + rng() % (buffer - 1);
        const std::size_t at = NaiveUnitFind(text, phrase, fold);
        const std::string expected =
            at == std::u16string::npos ? "none" : std::to_string(2 + 2 * at) + "+" + std::to_string(2 * phrase.size());
        // The byte form only matters in files without the mark; any bytes do here.
        ASSERT_EQ(Scan(Encode(text, bigEndian), "q", phrase, fold, buffer, chunk), expected) << "round " << round;
    }
}

TEST_F(Utf16Scan, FilesWithoutTheMarkAreSearchedByteForByte) {
    // UTF-16 text without its mark is not "Unicode" text to us; the same text with the mark is.
    const std::string unmarked = Encode(u"say hi", false).substr(2);
    EXPECT_EQ(Scan(unmarked, "hi", u"hi", false, 4, 2), "none");
    EXPECT_EQ(Scan(unmarked, std::string("h\0i", 3), u"hi", false, 4, 2), "8+3");
    EXPECT_EQ(Scan("\xFF" "hi", "hi", u"hi", false, 4, 2), "1+2"); // half a mark
    EXPECT_EQ(Scan("\xFE\xFE" "hi", "hi", u"hi", false, 1, 1), "2+2");
    // A HEX phrase has no UTF-16 form: marked files are searched byte for byte too.
    EXPECT_EQ(Scan(Encode(u"say hi", false), std::string("h\0i", 3), u"", false, 4, 2), "10+3");
}

TEST(Utf16Walk, RowsCarryTheMatchedLengthAndHexIsNotReencoded) {
    TempTree tree;
    tree.File("wide.txt", Encode(u"xHi", false));
    tree.File("narrow.txt", "xxHi");
    auto search = [&](const std::string& phrase, bool hex) {
        SearchRun run;
        run.FrontEnd.Criteria.PhraseText = phrase;
        run.FrontEnd.Criteria.HexNotation = hex;
        run.Run({tree.Root()});
        std::vector<std::string> found;
        for (const ResultRow& row : run.FrontEnd.Rows)
            found.push_back(row.Name + "@" + std::to_string(row.MatchOffset) + "+" + std::to_string(row.MatchLength));
        std::sort(found.begin(), found.end());
        return found;
    };
    EXPECT_EQ(search("HI", false), (std::vector<std::string>{"narrow.txt@2+2", "wide.txt@4+4"}));
    EXPECT_EQ(search("4869", true), (std::vector<std::string>{"narrow.txt@2+2"}));
    EXPECT_EQ(search("4800 6900", true), (std::vector<std::string>{"wide.txt@4+4"}));
}

} // namespace
