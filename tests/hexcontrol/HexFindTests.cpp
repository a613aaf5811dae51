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
