#include "mainwindow/MatchCellText.h"

#include <gtest/gtest.h>

#include <string>

using namespace quennet;

namespace {

// One unit a character (UTF-8 continuation bytes are free), as a fixed-pitch font.
int Characters(std::string_view text) {
    int count = 0;
    for (unsigned char c : text)
        count += (c & 0xC0) != 0x80;
    return count;
}

std::string Shown(const std::string& line, const std::string& match, int room) {
    const std::size_t at = line.find(match);
    const MatchCellStart start = ShownStartOfMatchLine(line, at, match.size(), room, Characters);
    return (start.Cut ? std::string(kCutMark) : std::string()) + line.substr(start.Byte);
}

// A match 130 characters into a line, or after a long indent, was never seen in the cell.
TEST(MatchCellText, AMatchPastTheCellIsShownFromShortlyBeforeIt) {
    const std::string far = std::string(130, 'x') + " the needle here";
    EXPECT_EQ(Shown(far, "needle", 40), "\xE2\x80\xA6xxx the needle here");
    const std::string indented = std::string(60, ' ') + "return needle;";
    EXPECT_EQ(Shown(indented, "needle", 30), "\xE2\x80\xA6return needle;") << "the indent is left out";
    const std::string wide = std::string(50, 'y') + "\xC3\xA9t\xC3\xA9 needle";
    EXPECT_EQ(Shown(wide, "needle", 20), "\xE2\x80\xA6yyyy\xC3\xA9t\xC3\xA9 needle") << "whole characters";
}

TEST(MatchCellText, ALineWhoseMatchFitsIsShownFromItsStart) {
    EXPECT_EQ(Shown("the needle stands here", "needle", 10), "the needle stands here");
    EXPECT_EQ(Shown("needle at the start", "needle", 3), "needle at the start") << "nothing to cut before it";
    // A match wider than the cell starts the text itself.
    const std::string line = std::string(30, 'z') + " " + std::string(40, 'n');
    EXPECT_EQ(Shown(line, std::string(40, 'n'), 20), "\xE2\x80\xA6" + std::string(40, 'n'));
}

} // namespace
