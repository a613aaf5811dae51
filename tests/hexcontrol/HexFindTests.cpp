// F3's next occurrence over data read in pieces, and Ctrl+G's offsets.
#include "hexcontrol/HexFind.h"
#include "hexcontrol/HexMemoryStream.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quennet;

namespace {
// 3 MB of zeros with text written at the given offsets.
THexMemoryStream DataWith(const std::vector<std::pair<HexPos, std::string>>& texts) {
    THexMemoryStream data;
    data.SetSize(3 << 20);
    std::memset(data.WritableBytes(0, data.Size()), 0, static_cast<size_t>(data.Size()));
    for (const auto& [at, text] : texts)
        std::memcpy(data.WritableBytes(at, static_cast<HexPos>(text.size())), text.data(), text.size());
    return data;
}
} // namespace

TEST(FindNext, FindsAcrossTheReadsEdgesWithTheSearchsCaseRule) {
    const HexPos edge = 1 << 20; // where the first megabyte read ends
    const THexMemoryStream data = DataWith({{5, "Needle"}, {edge - 3, "NEEDLE"}, {3 * edge - 6, "needle"}});
    const PhraseFinder folded("needle", true), exact("needle", false);
    EXPECT_EQ(HexFindNext(data, 0, folded), 5);
    EXPECT_EQ(HexFindNext(data, 6, folded), edge - 3); // straddles the first read's end
    EXPECT_EQ(HexFindNext(data, edge - 2, folded), 3 * edge - 6); // the very end of the data
    EXPECT_EQ(HexFindNext(data, 3 * edge - 5, folded), -1);
    EXPECT_EQ(HexFindNext(data, 0, exact), 3 * edge - 6); // case counts without folding
}

// F3 in a file with a UTF-16 mark: the units, never a unit made of the halves of two
// neighbours, and the bytes; a HEX phrase stays bytes.
TEST(FindNext, FindsTheUtf16FormAfterAByteOrderMarkAsTheSearchDid) {
    const HexPos edge = 1 << 20;
    auto utf16 = [](const std::string& text, bool bigEndian) {
        std::string bytes;
        for (char c : text)
            bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
        return bytes;
    };
    SearchCriteria criteria;
    criteria.PhraseText = "needle";
    const SearchedPhrase phrase = BuildSearchRequest(criteria).Request->Searched();
    for (const bool bigEndian : {false, true}) {
        const std::string mark = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        // At 101 the units are odd: "e\0d\0l" read from an even offset is no "needle".
        THexMemoryStream data = DataWith({{0, mark},
                                          {20, utf16("NeEdLe", bigEndian)},
                                          {101, utf16("needle", bigEndian)},
                                          {edge - 4, utf16("needle", bigEndian)},
                                          {2 * edge, "needle"}});
        HexFound found = HexFindNext(data, 0, phrase);
        EXPECT_EQ(found.At, 20) << bigEndian;
        EXPECT_EQ(found.Length, 12);
        EXPECT_EQ(HexFindNext(data, 21, phrase).At, edge - 4) << bigEndian; // across the read's end
        // The bytes count too, as in the search that listed the file.
        found = HexFindNext(data, edge - 3, phrase);
        EXPECT_EQ(found.At, 2 * edge) << bigEndian;
        EXPECT_EQ(found.Length, 6);
    }
    // No mark: the bytes.
    const THexMemoryStream plain = DataWith({{20, utf16("needle", false)}, {2 * edge, "NEEDLE"}});
    EXPECT_EQ(HexFindNext(plain, 0, phrase).At, 2 * edge);
    EXPECT_EQ(HexFindNext(plain, 0, phrase).Length, 6);
    // A HEX phrase has no UTF-16 form: bytes even after a mark.
    criteria.HexNotation = true;
    criteria.PhraseText = "6E 65";
    const THexMemoryStream marked = DataWith({{0, "\xFF\xFE"}, {7, "ne"}});
    EXPECT_EQ(HexFindNext(marked, 0, BuildSearchRequest(criteria).Request->Searched()).At, 7);
}

// In a marked file either form may come first, and a longer form cut by a read's end must not
// lose to a shorter one after its start: every F3 agrees with a plain look at every offset.
TEST(FindNext, AfterAMarkTheEarliestOfBothFormsWinsAcrossTheReadsEdges) {
    const HexPos edge = 1 << 20;
    THexMemoryStream data;
    data.SetSize(3 * edge);
    std::uint8_t* bytes = data.WritableBytes(0, data.Size());
    std::uint32_t seed = 7;
    for (HexPos i = 0; i < data.Size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        // Mostly zeros, so matches are sparse and some fall across the edges.
        const std::uint32_t pick = (seed >> 24) % 64;
        bytes[i] = pick == 0 ? 'a' : pick == 1 ? 'b' : pick < 40 ? 0 : 'x';
    }
    bytes[0] = 0xFF;
    bytes[1] = 0xFE;
    // Each form placed across each edge, and both overlapping there.
    for (const HexPos at : {edge - 2, 2 * edge - 2}) {
        const char units[] = {'a', 0, 'b', 0};
        std::memcpy(bytes + at, units, 4);
    }
    std::memcpy(bytes + edge + 3, "ab", 2);
    std::memcpy(bytes + 2 * edge - 1, "ab", 2);
    SearchCriteria criteria;
    criteria.PhraseText = "ab";
    criteria.CaseSensitive = true;
    const SearchedPhrase phrase = BuildSearchRequest(criteria).Request->Searched();
    auto model = [&](HexPos from) {
        for (HexPos p = from; p + 2 <= data.Size(); ++p) {
            if (bytes[p] == 'a' && bytes[p + 1] == 'b')
                return HexFound{p, 2};
            if (p >= 2 && p % 2 == 0 && p + 4 <= data.Size() && bytes[p] == 'a' && bytes[p + 1] == 0 &&
                bytes[p + 2] == 'b' && bytes[p + 3] == 0)
                return HexFound{p, 4};
        }
        return HexFound{};
    };
    int compared = 0;
    for (HexPos from = 0; from >= 0 && compared < 20000; ++compared) {
        const HexFound expected = model(from), found = HexFindNext(data, from, phrase);
        ASSERT_EQ(found.At, expected.At) << "from " << from;
        ASSERT_EQ(found.Length, expected.Length) << "at " << expected.At;
        from = expected.At < 0 ? -1 : expected.At + 1;
    }
    EXPECT_GT(compared, 100);
}

// The viewer's F3 reads a slice between two looks at the window's messages: every slice moves
// on, a match across two slices is found, and the end without a match is an end.
TEST(FindNext, AJobGoesASliceAtATimeAndFindsWhatTheWholeSearchFinds) {
    const HexPos edge = 1 << 20;
    const THexMemoryStream data = DataWith({{edge - 2, "needle"}}); // across the first read's end
    SearchCriteria criteria;
    criteria.PhraseText = "NEEDLE";
    const SearchedPhrase phrase = BuildSearchRequest(criteria).Request->Searched();
    HexFindJob job(data, 0, phrase);
    int slices = 0;
    for (HexPos last = -1; !job.Step(1); ++slices) {
        EXPECT_GT(job.Position(), last);
        last = job.Position();
    }
    EXPECT_EQ(slices, 1); // a megabyte a slice: the first misses, the second finds it
    EXPECT_EQ(job.Result().At, edge - 2);
    EXPECT_EQ(job.Result().Length, 6);
    HexFindJob none(data, 2 * edge, phrase);
    while (!none.Step(1)) {
    }
    EXPECT_EQ(none.Result().At, -1);
}

TEST(GotoOffset, HexadecimalOrDecimalAsTyped) {
    const std::vector<std::pair<std::string, HexPos>> good = {
        {"1234", 1234},        {"0x1234", 0x1234}, {"1234h", 0x1234}, {" 0X1f ", 0x1F},
        {"ff", 0xFF},          {"1A2", 0x1A2},     {"0", 0},          {"0x27fffffec", 0x27FFFFFECLL},
        {"10737418239", 10737418239LL}};
    for (const auto& [text, value] : good)
        EXPECT_EQ(ParseHexOffset(text), value) << text;
    for (const char* bad : {"", "0x", "h", "-5", "12 34", "0x1g", "99999999999999999999", "1.5"})
        EXPECT_FALSE(ParseHexOffset(bad).has_value()) << bad;
}

// F3 after a regular-expression search: the next match of the same expression, with its
// length, across a read's end, and with the search's lookbehind context at the start point.
TEST(FindNext, FindsTheNextMatchOfARegularExpression) {
    const HexPos edge = 1 << 20;
    const THexMemoryStream data =
        DataWith({{5, "id=Quokka_7;"}, {edge - 4, "QUOKKA_42;"}, {2 * edge, "xQuokka_9;"}});
    SearchCriteria criteria;
    criteria.PhraseText = "\\bquokka_\\d+;";
    criteria.RegularExpression = true;
    const SearchedPhrase phrase = BuildSearchRequest(criteria).Request->Searched();
    HexFound found = HexFindNext(data, 0, phrase);
    EXPECT_EQ(found.At, 8);
    EXPECT_EQ(found.Length, 9);
    found = HexFindNext(data, 9, phrase);
    EXPECT_EQ(found.At, edge - 4); // across the read's end
    EXPECT_EQ(found.Length, 10);
    // "xQuokka" has no word boundary before it, even when F3 starts right at it.
    EXPECT_EQ(HexFindNext(data, 2 * edge + 1, phrase).At, -1);
    EXPECT_EQ(HexFindNext(data, edge - 3, phrase).At, -1);
    // In a UTF-16 file F3 starts one byte into the selected match: the units stay whole.
    auto utf16 = [](const std::string& text) {
        std::string bytes;
        for (char c : text)
            bytes += std::string{c, '\0'};
        return bytes;
    };
    const THexMemoryStream wide = DataWith({{0, "\xFF\xFE"}, {10, utf16("Quokka_1; quokka_22;")}});
    for (const HexPos from : {0, 1, 3, 9}) {
        found = HexFindNext(wide, from, phrase);
        EXPECT_EQ(found.At, 10) << from;
        EXPECT_EQ(found.Length, 18) << from;
    }
    for (const HexPos from : {11, 13}) {
        found = HexFindNext(wide, from, phrase);
        EXPECT_EQ(found.At, 30) << from;
        EXPECT_EQ(found.Length, 20) << from;
    }
}
