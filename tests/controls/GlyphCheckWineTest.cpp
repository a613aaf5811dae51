#include <gtest/gtest.h>

#include "controls/GlyphCheck.h"
#include "ControlTestSupport.h"

namespace quennet {
namespace {

using namespace quennet::testing;

class GlyphCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        box = &form.Add<TGlyphCheck>();
        box->SetCaption("Case sensitive");
        box->SetBounds(5, 126, 145, 19);
        box->OnMouseDown = [this](TWinControl&, TMouseButton, TShiftState, int, int) {
            log.push_back(box->Checked() ? "mousedown(checked)" : "mousedown(unchecked)");
        };
        box->OnClick = [this](TWinControl&) { log.push_back("click"); };
        Pump();
        hwnd = box->Handle();
        MoveCursorTo(form.Handle(), 300, 20);
        sounds.onSound = [this] { log.push_back(box->Checked() ? "sound(checked)" : "sound(unchecked)"); };
    }
    void TearDown() override {
        ReleaseCapture();
        form.RemoveControl(*box);
    }

    HostForm& form = SharedForm();
    TGlyphCheck* box = nullptr;
    HWND hwnd = nullptr;
    SoundLog sounds;
    std::vector<std::string> log;
};

TEST_F(GlyphCheckTest, LeftPressTogglesThenPlaysTheClickBeforeOnMouseDown) {
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(60, 9)); // on the caption
    EXPECT_TRUE(box->Checked());
    EXPECT_TRUE(box->Focused());
    SendMessageA(hwnd, WM_LBUTTONUP, 0, At(60, 9));
    EXPECT_EQ(log, (std::vector<std::string>{"sound(checked)", "mousedown(checked)", "click"}));
    EXPECT_EQ(sounds.events, std::vector<std::string>{"click"});
}

TEST_F(GlyphCheckTest, SpaceDoesNotToggleNorPlay) {
    WORD seen = 0;
    box->OnKeyDown = [&](TWinControl&, WORD& key, TShiftState) { seen = key; };
    SendMessageA(hwnd, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(hwnd, WM_CHAR, ' ', 0);
    SendMessageA(hwnd, WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(seen, VK_SPACE); // the main window's handler does the toggling
    EXPECT_TRUE(sounds.events.empty());
}

TEST_F(GlyphCheckTest, RightOrMiddleClickChangesNothingAndRaisesNoMouseEvent) {
    box->OnMouseUp = [this](TWinControl&, TMouseButton, TShiftState, int, int) { log.push_back("mouseup"); };
    SendMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, At(8, 9));
    SendMessageA(hwnd, WM_RBUTTONUP, 0, At(8, 9));
    SendMessageA(hwnd, WM_MBUTTONDOWN, MK_MBUTTON, At(60, 9));
    SendMessageA(hwnd, WM_MBUTTONUP, 0, At(60, 9));
    EXPECT_FALSE(box->Checked());
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(sounds.events.empty());

    // The left button still reports its release.
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(8, 9));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, At(8, 9));
    EXPECT_EQ(log, (std::vector<std::string>{"sound(checked)", "mousedown(checked)", "click", "mouseup"}));
}

TEST_F(GlyphCheckTest, DoubleClickEndsAsBeforeAndClicksTwice) {
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(8, 9));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, At(8, 9));
    SendMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, At(8, 9));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, At(8, 9));
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(std::count(log.begin(), log.end(), "click"), 2);
}

TEST_F(GlyphCheckTest, EnterClicksWithoutToggling) {
    SendMessageA(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(log, std::vector<std::string>{"click"});
}

TEST_F(GlyphCheckTest, KeysThroughTheMessageLoopToggleOnlyOnTheAccessKey) {
    box->SetCaption("&Case sensitive");
    box->SetFocus();
    for (WPARAM key : {WPARAM(VK_RETURN), WPARAM(VK_SPACE)}) {
        PostMessageA(hwnd, WM_KEYDOWN, key, 1); // the loop adds the character
        PostMessageA(hwnd, WM_KEYUP, key, 0xC0000001);
    }
    Pump();
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(log, std::vector<std::string>{"click"}); // Enter clicks once, Space not at all
    PostMessageA(hwnd, WM_SYSCHAR, 'c', 1 << 29);      // Alt+C
    Pump();
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(log, (std::vector<std::string>{"click", "click"}));
    EXPECT_TRUE(sounds.events.empty());
}

// The cross mark's centre: box at (2, 1), mark drawn over the box's middle.
constexpr int kMarkX = 2 + 7, kMarkY = 1 + 8;

TEST_F(GlyphCheckTest, DisabledCheckedBoxShowsNoMarkUntilEnabledAgain) {
    Canvas canvas(145, 19);
    box->SetChecked(true);
    box->PaintTo(canvas.dc());
    const COLORREF mark = canvas.At(kMarkX, kMarkY);
    EXPECT_EQ(GetRValue(mark) > 150 && GetGValue(mark) < 80, true) << std::hex << mark; // red

    box->SetEnabled(false);
    box->PaintTo(canvas.dc());
    EXPECT_EQ(canvas.At(kMarkX, kMarkY), GetSysColor(COLOR_BTNFACE)); // hollow: background shows
    EXPECT_EQ(canvas.Count(mark, 0, 0, 20, 19), 0);

    box->SetEnabled(true);
    box->PaintTo(canvas.dc());
    EXPECT_EQ(canvas.At(kMarkX, kMarkY), mark);
}

TEST_F(GlyphCheckTest, HotTrackingTurnsCaptionBlueOnPatternWithHandCursor) {
    Canvas canvas(145, 19);
    MouseMove(hwnd, 60, 9);
    ASSERT_TRUE(box->Hot());
    EXPECT_EQ(box->Cursor(), LoadCursorA(GetModuleHandleA(nullptr), "HANDD"));
    box->PaintTo(canvas.dc());
    EXPECT_GT(canvas.Count(RGB(0, 0, 255), 22, 0, 120, 19), 10);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    EXPECT_EQ(canvas.At(130, 2), highlight); // even/even
    EXPECT_EQ(canvas.At(131, 2), GetSysColor(COLOR_BTNFACE));

    SendMessageA(hwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(box->Hot());
    EXPECT_EQ(box->Cursor(), nullptr);
    box->PaintTo(canvas.dc());
    EXPECT_EQ(canvas.Count(RGB(0, 0, 255), 22, 0, 120, 19), 0);
    EXPECT_EQ(canvas.At(130, 2), GetSysColor(COLOR_BTNFACE));
}

TEST_F(GlyphCheckTest, ParentColourChangeRepaintsTheBoxInTheNewColour) {
    const TColor before = form.Color();
    SendMessageA(hwnd, WM_MOUSELEAVE, 0, 0); // not hot: the plain background shows
    ValidateRect(hwnd, nullptr);
    form.SetColor(RGB(192, 220, 192));
    EXPECT_TRUE(GetUpdateRect(hwnd, nullptr, FALSE));
    Canvas canvas(145, 19);
    box->PaintTo(canvas.dc());
    EXPECT_EQ(canvas.At(140, 2), RGB(192, 220, 192));
    form.SetColor(before);
}

// Paints every pixel in a colour made from its position, so a shifted copy shows.
class TStripes : public TWinControl {
  protected:
    void Paint(HDC dc) override {
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                SetPixel(dc, x, y, RGB(x % 256, y % 256, 77));
    }
};

TEST_F(GlyphCheckTest, TransparentBoxShowsWhatItsParentPaintsUnderIt) {
    auto& parent = form.Add<TStripes>();
    parent.SetBounds(150, 20, 200, 60);
    auto& clear = parent.Add<TGlyphCheck>();
    clear.SetCaption("Clear");
    clear.SetBounds(30, 20, 120, 19);
    clear.SetTransparent(true);
    Pump();
    Canvas canvas(120, 19);
    clear.PaintTo(canvas.dc());
    // Right of the caption, and above the box: the parent's pixels from under the control.
    EXPECT_EQ(canvas.At(110, 3), RGB(30 + 110, 20 + 3, 77));
    EXPECT_EQ(canvas.At(115, 16), RGB(30 + 115, 20 + 16, 77));
    EXPECT_EQ(canvas.At(5, 0), RGB(30 + 5, 20, 77));
    // The box picture and the caption still come on top.
    EXPECT_GT(canvas.Count(RGB(255, 255, 255), 2, 0, 18, 19), 20);
    EXPECT_GT(canvas.Count(RGB(0, 0, 0), 22, 0, 60, 19), 5);

    clear.SetTransparent(false);
    clear.PaintTo(canvas.dc());
    EXPECT_EQ(canvas.At(110, 3), ColorToRGB(clear.Color()));
    form.RemoveControl(parent);
}

TEST_F(GlyphCheckTest, DisabledCaptionIsEmbossed) {
    Canvas canvas(145, 19);
    box->SetEnabled(false);
    box->PaintTo(canvas.dc());
    EXPECT_GT(canvas.Count(GetSysColor(COLOR_BTNSHADOW), 22, 0, 120, 19), 10);
    EXPECT_GT(canvas.Count(GetSysColor(COLOR_BTNHIGHLIGHT), 22, 0, 120, 19), 5);
}

TEST_F(GlyphCheckTest, AccessCharacterClicksBeforeToggling) {
    box->SetCaption("&Case sensitive");
    EXPECT_TRUE(box->DialogChar('c'));
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(log, std::vector<std::string>{"click"});
    EXPECT_TRUE(sounds.events.empty());
}

} // namespace
} // namespace quennet
