#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "controls/CheckGeometry.h"
#include "controls/SpinLogic.h"

namespace quennet {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(CheckGeometry, BoxLeftOfCaptionByDefault) {
    // The main window's boxes: 145 x 19, caption 13 high.
    auto l = LayoutGlyphCheck(145, 19, TCheckStyle::bmNone, TCheckAlignment::taRightJustify, 70, 13, 0);
    EXPECT_EQ(l.box.x, 2);
    EXPECT_EQ(l.box.y, 1); // (19 - 16) / 2
    EXPECT_EQ(l.caption.left, 22);
    EXPECT_EQ(l.caption.top, 3);
    EXPECT_EQ(l.caption.right, 92);
    EXPECT_EQ(l.caption.bottom, 16);
}

TEST(CheckGeometry, BoxRightOfCaptionAndFrameShrinksTheInside) {
    auto l = LayoutGlyphCheck(97, 19, TCheckStyle::bmSimple, TCheckAlignment::taLeftJustify, 40, 13, 0);
    EXPECT_EQ(l.inner.left, 1);
    EXPECT_EQ(l.inner.bottom, 18);
    EXPECT_EQ(l.caption.left, 3);
    EXPECT_EQ(l.box.x, 96 - 18);
    EXPECT_EQ(l.box.y, 1 + (17 - 16) / 2);
}

TEST(CheckGeometry, FocusRectangleSkipsTheAmpersandWidth) {
    auto l = LayoutGlyphCheck(97, 19, TCheckStyle::bmNone, TCheckAlignment::taRightJustify, 50, 13, 0);
    EXPECT_EQ(l.focus.left, 21);
    EXPECT_EQ(l.focus.top, 2);
    EXPECT_EQ(l.focus.right, 22 + 50 + 4);
    EXPECT_EQ(l.focus.bottom, 3 + 13 + 1);
    auto amp = LayoutGlyphCheck(97, 19, TCheckStyle::bmNone, TCheckAlignment::taRightJustify, 50, 13, 6);
    EXPECT_EQ(amp.focus.right, 22 + 50 - 6 + 4);
}

TEST(CheckGeometry, DisabledCheckedBoxDrawsTheHollowBoxInsteadOfTheMark) {
    EXPECT_STREQ(CheckBoxPictureName(true, false), "Blank");
    EXPECT_STREQ(CheckBoxPictureName(false, true), "EnabledFlat");
    EXPECT_STREQ(CheckMarkPictureName(TImageType::igCrossRed, true, false), "CheckIks");
    EXPECT_STREQ(CheckMarkPictureName(TImageType::igHookRed, true, true), "CheckOkR");
    EXPECT_STREQ(CheckMarkPictureName(TImageType::igCrossRed, false, false), "Enabled");
    EXPECT_STREQ(CheckMarkPictureName(TImageType::igCirce, false, true), "EnabledFlat");
}

TEST(CheckGeometry, HotPatternIsACheckerboard) {
    EXPECT_TRUE(HotPatternIsHighlight(0, 0));
    EXPECT_TRUE(HotPatternIsHighlight(7, 7));
    EXPECT_FALSE(HotPatternIsHighlight(1, 0));
    EXPECT_FALSE(HotPatternIsHighlight(6, 3));
}

TEST(SpinText, ParsesLikeTheStandardConversion) {
    const struct {
        const char* text;
        bool ok;
        std::int32_t value;
    } cases[] = {
        {"0", true, 0},
        {"25", true, 25},
        {"+7", true, 7},
        {"-12", true, -12},
        {"  42", true, 42},
        {"2147483647", true, kMax},
        {"-2147483648", true, kMin},
        {"007", true, 7},
        {"", false, 0},
        {"+", false, 0},
        {"-", false, 0},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
        {"12a", false, 0},
        {"a12", false, 0},
        {"1.5", false, 0},
        {"42 ", false, 0},
        {"1 2", false, 0},
    };
    for (const auto& c : cases) {
        std::int32_t v = -1;
        EXPECT_EQ(TryTextToInt32(c.text, v), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

// A number beyond the range, also beyond 32 bits, reads as the nearest bound; a text that
// is no number reads as the minimum. Only a number in range is shown as it is.
TEST(SpinText, ANumberBeyondTheRangeReadsAsTheNearestBound) {
    const SpinRange maxbuf{1, 200}, minSize{0, kMax - 1}, unbounded{0, 0};
    const struct {
        const char* text;
        SpinRange range;
        std::int32_t value;
        bool shown;
    } cases[] = {
        {"", maxbuf, 1, false},
        {"x", maxbuf, 1, false},
        {"12abc", minSize, 0, false},
        {"500", maxbuf, 200, false},
        {"0", maxbuf, 1, false},
        {"-7", maxbuf, 1, false},
        {"77", maxbuf, 77, true},
        {"99999999999", minSize, kMax - 1, false},
        {"-99999999999", minSize, 0, false},
        {"99999999999999999999999999", minSize, kMax - 1, false},
        {"99999999999", unbounded, kMax, false},
        {"-99999999999", unbounded, kMin, false},
        {"2147483646", minSize, kMax - 1, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SpinValueOfText(c.text, c.range), c.value) << '"' << c.text << '"';
        EXPECT_EQ(SpinTextShowsValue(c.text, c.range), c.shown) << '"' << c.text << '"';
    }
    EXPECT_EQ(SpinTextOfValue(500, maxbuf), "200");
    EXPECT_EQ(SpinTextOfValue(-3, maxbuf), "1");
}

TEST(SpinClamp, BoundsAndNoBounds) {
    EXPECT_EQ(SpinClamp(500, {1, 200}), 200);
    EXPECT_EQ(SpinClamp(0, {1, 200}), 1);
    EXPECT_EQ(SpinClamp(77, {1, 200}), 77);
    // Equal bounds mean no bounds at all.
    EXPECT_EQ(SpinClamp(-123456, {0, 0}), -123456);
    EXPECT_EQ(SpinClamp(999, {5, 5}), 999);
}

TEST(SpinStep, StaysAtTheEndsWithoutWrapping) {
    EXPECT_EQ(SpinStep(200, 1, true, {1, 200}), 200);
    EXPECT_EQ(SpinStep(1, 1, false, {1, 200}), 1);
    EXPECT_EQ(SpinStep(25, 1, true, {1, 200}), 26);
    EXPECT_EQ(SpinStep(kMax, 1, true, {0, kMax}), kMax);             // MaxSize
    EXPECT_EQ(SpinStep(kMax - 1, 1, true, {0, kMax - 1}), kMax - 1); // MinSize
    EXPECT_EQ(SpinStep(kMax, 1, true, {0, 0}), kMax);
    EXPECT_EQ(SpinStep(kMin, 1, false, {0, 0}), kMin);
    EXPECT_EQ(SpinStep(kMin, kMin, true, {0, 0}), kMin);
    EXPECT_EQ(SpinStep(kMax, kMin, false, {0, 0}), kMax);
    EXPECT_EQ(SpinStep(10, 5, false, {0, 0}), 5);
}

TEST(SpinKeys, FilterAcceptsNumbersAndControlsButNotEnter) {
    const char* accepted = "0123456789+-,\b\x01\x03\x16\x18\x7f";
    for (const char* p = accepted; *p; ++p)
        EXPECT_TRUE(SpinAcceptsChar(static_cast<unsigned char>(*p), ',', true)) << int(*p);
    const char* refused = "aZ .\r/=";
    for (const char* p = refused; *p; ++p)
        EXPECT_FALSE(SpinAcceptsChar(static_cast<unsigned char>(*p), ',', true)) << int(*p);
    EXPECT_TRUE(SpinAcceptsChar('.', '.', true));
    EXPECT_FALSE(SpinAcceptsChar(0xE9, ',', true)); // a letter of the code page
}

TEST(SpinKeys, DisabledEditorRefusesPrintablesBackspaceAndDelete) {
    for (unsigned char ch : {'5', '+', '-', '\b', '\x7f', '\r'})
        EXPECT_FALSE(SpinAcceptsChar(ch, '.', false)) << int(ch);
    EXPECT_TRUE(SpinAcceptsChar('\x03', '.', false)); // Ctrl+C still copies
}

TEST(SpinLayout, MinimumHeightAndButtonPlaces) {
    EXPECT_EQ(SpinMinHeight(13, 16, 1), 13 + 3 + 4 + 2);
    EXPECT_EQ(SpinMinHeight(20, 16, 2), 20 + 4 + 8 + 2);

    auto p3d = PlaceSpinButton(138, 22, 15, true);
    EXPECT_EQ(p3d.x, 138 - 15 - 5);
    EXPECT_EQ(p3d.y, 0);
    EXPECT_EQ(p3d.height, 17);
    auto flat = PlaceSpinButton(65, 22, 15, false);
    EXPECT_EQ(flat.x, 50);
    EXPECT_EQ(flat.y, 1);
    EXPECT_EQ(flat.height, 19);

    auto odd = SplitSpinButton(17);
    EXPECT_EQ(odd.upHeight, 8);
    EXPECT_EQ(odd.downTop, 7); // shares the up half's last row
    EXPECT_EQ(odd.downTop + odd.downHeight, 17);
}

} // namespace
} // namespace quennet
