#include "search/SearchRequest.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace quennet;

namespace {

TEST(NameMask, FragmentIsWrappedInStarsOnce) {
    EXPECT_EQ(BuildNameMask(""), "*");
    EXPECT_EQ(BuildNameMask("*"), "*");
    EXPECT_EQ(BuildNameMask("report"), "*report*");
    EXPECT_EQ(BuildNameMask("*.txt"), "*.txt*");
    EXPECT_EQ(BuildNameMask("a*"), "*a*");
    EXPECT_EQ(BuildNameMask("["), "*[*");
}

TEST(HexPhrase, DigitsInPairsSpacesAnywhere) {
    const std::string mz("\x4D\x5A", 2);
    EXPECT_EQ(ParseHexPhrase("4D 5A"), mz);
    EXPECT_EQ(ParseHexPhrase("4d5a"), mz);
    EXPECT_EQ(ParseHexPhrase("4 D5 A"), mz);
    EXPECT_EQ(ParseHexPhrase("00 ff"), std::string("\x00\xFF", 2));
    EXPECT_EQ(ParseHexPhrase(""), std::string());
    EXPECT_EQ(ParseHexPhrase("   "), std::string());
}

TEST(HexPhrase, RejectsOddCountsAndOtherSeparators) {
    for (const char* bad : {"4D5", "4D,5A", "0x4D", "4D\t5A", "4G", "-1"})
        EXPECT_FALSE(ParseHexPhrase(bad).has_value()) << bad;
}

TEST(BuildRequest, ChecksInOrderSizeFirst) {
    SearchCriteria c;
    c.Size.MinKb = 100;
    c.Size.MaxKb = 50;
    c.HexNotation = true;
    c.PhraseText = "zz"; // also invalid, but the size check comes first
    EXPECT_EQ(BuildSearchRequest(c).Error, kSizeOrderMessage);
    c.Size.MaxKb = 0; // no upper limit: never lower
    EXPECT_EQ(BuildSearchRequest(c).Error, kInvalidHexMessage);
    c.PhraseText = "4d 5A";
    const auto prepared = BuildSearchRequest(c);
    ASSERT_TRUE(prepared.Request);
    EXPECT_EQ(prepared.Request->Phrase, "MZ");
    EXPECT_FALSE(prepared.Request->FoldCase);
}

// Reversed dates gave 0 files without a word, where reversed sizes are refused.
TEST(BuildRequest, AfterLaterThanBeforeIsRefusedNamingBothDates) {
    auto local = [](int day, int hour, int minute, int second) {
        std::tm time{};
        time.tm_year = 2026 - 1900;
        time.tm_mon = 11;
        time.tm_mday = day;
        time.tm_hour = hour;
        time.tm_min = minute;
        time.tm_sec = second;
        time.tm_isdst = -1;
        return static_cast<std::int64_t>(std::mktime(&time));
    };
    SearchCriteria c;
    c.ChangedAfter = local(9, 0, 0, 0);
    c.ChangedBefore = local(8, 23, 59, 59);
    c.HexNotation = true;
    c.PhraseText = "zz"; // checked after the bounds, as sizes are
    const PreparedSearch refused = BuildSearchRequest(c);
    EXPECT_FALSE(refused.Request);
    EXPECT_EQ(refused.Field, CriterionField::Dates);
    EXPECT_EQ(refused.Error, "Error: the earliest change date (2026-12-09 00:00:00) is later than the latest "
                             "(2026-12-08 23:59:59) !");
    c.PhraseText = "4D";
    c.ChangedBefore = c.ChangedAfter; // both inclusive: one second is a range
    EXPECT_TRUE(BuildSearchRequest(c).Request);
    c.ChangedAfter.reset();
    EXPECT_TRUE(BuildSearchRequest(c).Request);
}

// The bounds are both inclusive: a minimum equal to the maximum asks for files of that size.
TEST(BuildRequest, MaximumEqualToMinimumIsInOrder) {
    EXPECT_TRUE(SizeOrderValid(50, 50));
    EXPECT_FALSE(SizeOrderValid(51, 50));
    EXPECT_TRUE(SizeOrderValid(2147483647, 2147483647));
    SearchCriteria c;
    c.Size.MinKb = 7;
    c.Size.MaxKb = 7;
    const auto prepared = BuildSearchRequest(c);
    EXPECT_TRUE(prepared.Request) << prepared.Error;
}

TEST(BuildRequest, TextPhraseFoldsAsciiOnlyUnlessCaseSensitive) {
    SearchCriteria c;
    c.PhraseText = "Hello \xC9t\xE9";
    auto folded = BuildSearchRequest(c).Request;
    ASSERT_TRUE(folded);
    EXPECT_EQ(folded->Phrase, "hello \xC9t\xE9");
    EXPECT_TRUE(folded->FoldCase);
    c.CaseSensitive = true;
    auto exact = BuildSearchRequest(c).Request;
    EXPECT_EQ(exact->Phrase, "Hello \xC9t\xE9");
    EXPECT_FALSE(exact->FoldCase);
}

TEST(BuildRequest, BufferIsClampedToOneTo200Megabytes) {
    SearchCriteria c;
    for (auto [given, expected] : {std::pair{25, 25}, {0, 1}, {-5, 1}, {201, 200}, {200, 200}, {1, 1}}) {
        c.BufferMegabytes = given;
        EXPECT_EQ(BuildSearchRequest(c).Request->BufferSize, expected * 1048576) << given;
    }
}

TEST(NotationSwitch, TextToHexAndBack) {
    EXPECT_EQ(TextToHexNotation("Hi"), "4869");
    EXPECT_EQ(TextToHexNotation("a b"), "612062");
    EXPECT_EQ(TextToHexNotation("\xFF"), "FF");
    std::string printable;
    for (int c = 0x20; c < 0x7F; ++c)
        printable.push_back(static_cast<char>(c));
    EXPECT_EQ(HexToTextNotation(TextToHexNotation(printable)), printable);
}

TEST(NotationSwitch, HexToTextPairsTheDigitsTheSearchReads) {
    EXPECT_EQ(HexToTextNotation("4869"), "Hi");
    EXPECT_EQ(HexToTextNotation("48696"), "Hi");   // an odd last digit is dropped
    EXPECT_EQ(HexToTextNotation("41004243"), "A"); // the field cannot hold a zero byte
    EXPECT_EQ(HexToTextNotation("6a6B"), "jk");
    EXPECT_EQ(HexToTextNotation("4G69"), "i");     // a pair that is not two digits is dropped
    // Regression: "48 65 6C 6C 6F" became "Hlo". Whatever spacing the search accepts, the
    // switch to Text and back gives the bytes the search would look for.
    EXPECT_EQ(HexToTextNotation("48 65 6C 6C 6F"), "Hello");
    for (const char* hex : {"48 65 6C 6C 6F", "4 D5 A", " 4d  5a ", "48656C6C6F", "7e 20 41"}) {
        const auto bytes = ParseHexPhrase(hex);
        ASSERT_TRUE(bytes) << hex;
        EXPECT_EQ(TextToHexNotation(HexToTextNotation(hex)), TextToHexNotation(*bytes)) << hex;
    }
}

} // namespace
