// Text as Windows tools save it: UTF-16 files with a byte-order mark.
#include "search/ContentScanner.h"
#include "base/TextEncoding.h"

#include "TestTree.h"
#include "Utf16Bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace quennet;
using quennet::test::SearchRun;
using quennet::test::TempTree;
using quennet::test::Utf16Bytes;

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
                        return Utf16Bytes(std::u16string(at, u'.') + *Utf8ToUtf16(text) + u"..", form == 2);
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
        ASSERT_EQ(Scan(Utf16Bytes(text, bigEndian), "q", phrase, fold, buffer, chunk), expected) << "round " << round;
    }
}

TEST_F(Utf16Scan, FilesWithoutTheMarkAreSearchedByteForByte) {
    // UTF-16 text without its mark is not "Unicode" text to us; the same text with the mark is.
    const std::string unmarked = Utf16Bytes(u"say hi", false).substr(2);
    EXPECT_EQ(Scan(unmarked, "hi", u"hi", false, 4, 2), "none");
    EXPECT_EQ(Scan(unmarked, std::string("h\0i", 3), u"hi", false, 4, 2), "8+3");
    EXPECT_EQ(Scan("\xFF" "hi", "hi", u"hi", false, 4, 2), "1+2"); // half a mark
    EXPECT_EQ(Scan("\xFE\xFE" "hi", "hi", u"hi", false, 1, 1), "2+2");
    // A HEX phrase has no UTF-16 form: marked files are searched byte for byte too.
    EXPECT_EQ(Scan(Utf16Bytes(u"say hi", false), std::string("h\0i", 3), u"", false, 4, 2), "10+3");
}

// The earliest start of `bytes` in `file`, or of `units` (in the mark's byte order, at even
// offsets past the mark) when the file begins with a mark: "offset+length" or "none".
std::string NaiveEitherForm(const std::string& file, const std::string& bytes, const std::u16string& units) {
    std::size_t best = std::string::npos, length = 0;
    const std::size_t atBytes = file.find(bytes);
    if (atBytes != std::string::npos)
        best = atBytes, length = bytes.size();
    const bool little = file.compare(0, 2, "\xFF\xFE") == 0, big = file.compare(0, 2, "\xFE\xFF") == 0;
    if ((little || big) && !units.empty()) {
        const std::string wide = Utf16Bytes(units, big).substr(2);
        for (std::size_t at = 2; at + wide.size() <= file.size() && at < best; at += 2)
            if (file.compare(at, wide.size(), wide) == 0) {
                best = at, length = wide.size();
                break;
            }
    }
    return best == std::string::npos ? "none" : std::to_string(best) + "+" + std::to_string(length);
}

TEST_F(Utf16Scan, MarkedFilesAreSearchedInBothFormsTheEarliestWinning) {
    // The bytes of a Text phrase are found in a file with the mark, as in any file.
    EXPECT_EQ(Scan("\xFF\xFEhello world", "hello", u"hello", false, 4, 2), "2+5");
    EXPECT_EQ(Scan("\xFE\xFFHello world", "hello", u"hello", true, 1, 1), "2+5");
    EXPECT_EQ(Scan(Utf16Bytes(u"hello", false) + "hello", "hello", u"hello", false, 3, 2), "2+10");
    EXPECT_EQ(Scan(Utf16Bytes(u"..", false) + "hello" + Utf16Bytes(u"hello", false).substr(2), "hello", u"hello", false, 3,
                   2),
              "6+5");
    // A form found first in a block is not taken while the other may still start before it:
    // units from 2 to 8 hold the bytes "b\0c" from 4 to 7, and the reverse.
    EXPECT_EQ(Scan(Utf16Bytes(u"abc", false), std::string("b\0c", 3), u"abc", false, 7, 7), "2+6");
    EXPECT_EQ(Scan(Utf16Bytes(u"abcd", false), std::string("\0b\0c\0d", 6), u"c", false, 7, 7), "3+6");

    // Random marked files, phrases and piece sizes against the plain definition.
    const std::string alphabet("ab\0\xFF\xFE", 5);
    std::mt19937 rng(5);
    for (int round = 0; round < 3000; ++round) {
        std::string file(round % 2 ? "\xFF\xFE" : "\xFE\xFF");
        for (std::size_t n = rng() % 30; n > 0; --n)
            file += alphabet[rng() % alphabet.size()];
        std::string bytes(1 + rng() % 4, 'a');
        for (char& c : bytes)
            c = alphabet[rng() % 3];
        std::u16string units(1 + rng() % 3, u'a');
        for (char16_t& c : units)
            c = u"ab\0\xFEFF"[rng() % 4];
        const std::size_t buffer = 2 + rng() % 9;
        const std::size_t chunk = 2 + rng() % (buffer - 1);
        ASSERT_EQ(Scan(file, bytes, units, false, buffer, chunk), NaiveEitherForm(file, bytes, units))
            << "round " << round;
    }
}

// The same for whole searches, files split in ranges among 2 and 3 scanners included: the
// rows carry the earliest form's offset and length whatever the thread count.
TEST(Utf16Walk, MarkedFilesMatchInBothFormsForOneThreadAndForThePool) {
    constexpr std::size_t kChunk = 16;
    TempTree tree;
    const std::u16string units = u"Needle";
    std::vector<std::string> expected;
    std::mt19937 rng(3);
    for (int i = 0; i < 40; ++i) {
        const bool big = i % 2;
        // Files of several ranges (a range is 4 chunks), the phrase near chunk borders.
        std::string file = Utf16Bytes(std::u16string(kChunk * (2 + rng() % 24), u'.'), big);
        const auto nearBorder = [&] { return kChunk * (1 + rng() % (file.size() / kChunk - 2)) - rng() % 13; };
        if (i % 3 != 0) {
            const std::size_t at = nearBorder();
            file.replace(at, 6, i % 4 ? "needle" : "NEEDLE");
        }
        if (i % 3 != 1) {
            const std::size_t at = nearBorder() & ~std::size_t{1};
            const std::string wide = Utf16Bytes(i % 5 ? u"needle" : u"nEEDLe", big).substr(2);
            file.replace(at, wide.size(), wide);
        }
        const std::string name = "f" + std::to_string(i) + ".txt";
        tree.File(name, file);
        // Folding every byte folds the units too: a unit with a letter in its high byte never
        // matches one of the phrase's.
        std::string lower = file;
        for (char& c : lower)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        const std::string found = NaiveEitherForm(lower, "needle", u"needle");
        if (found != "none")
            expected.push_back(name + "@" + found);
    }
    std::sort(expected.begin(), expected.end());
    ASSERT_GT(expected.size(), 30u);
    for (std::size_t threads : {1, 2, 3}) {
        SearchRun run;
        run.Criteria.PhraseText = "NeedLE";
        run.Run({tree.Root()}, kChunk, threads);
        std::vector<std::string> found;
        for (const ResultRow& row : run.Sink.Rows)
            found.push_back(row.Name + "@" + std::to_string(row.MatchOffset) + "+" +
                            std::to_string(row.MatchLength));
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected) << threads << " threads";
    }
}

TEST(Utf16Walk, RowsCarryTheMatchedLengthAndHexIsNotReencoded) {
    TempTree tree;
    tree.File("wide.txt", Utf16Bytes(u"xHi", false));
    tree.File("narrow.txt", "xxHi");
    auto search = [&](const std::string& phrase, bool hex) {
        SearchRun run;
        run.Criteria.PhraseText = phrase;
        run.Criteria.HexNotation = hex;
        run.Run({tree.Root()});
        std::vector<std::string> found;
        for (const ResultRow& row : run.Sink.Rows)
            found.push_back(row.Name + "@" + std::to_string(row.MatchOffset) + "+" + std::to_string(row.MatchLength));
        std::sort(found.begin(), found.end());
        return found;
    };
    EXPECT_EQ(search("HI", false), (std::vector<std::string>{"narrow.txt@2+2", "wide.txt@4+4"}));
    EXPECT_EQ(search("4869", true), (std::vector<std::string>{"narrow.txt@2+2"}));
    EXPECT_EQ(search("4800 6900", true), (std::vector<std::string>{"wide.txt@4+4"}));
}

} // namespace
