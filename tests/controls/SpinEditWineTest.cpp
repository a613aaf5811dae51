#include <gtest/gtest.h>

#include "controls/Spin.h"
#include "ControlTestSupport.h"

namespace quennet {
namespace {

using namespace quennet::testing;

class SpinEditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        maxbuf = &form.Add<TSpinEdit>();
        maxbuf->SetMinValue(1);
        maxbuf->SetMaxValue(200);
        maxbuf->SetValue(25);
        maxbuf->SetBounds(10, 240, 138, 22);
        other = &form.Add<TSpinEdit>();
        other->SetBounds(10, 10, 65, 22);
        Pump();
        hwnd = maxbuf->Handle();
    }
    void TearDown() override {
        ReleaseCapture();
        form.RemoveControl(*maxbuf);
        form.RemoveControl(*other);
    }

    HostForm& form = SharedForm();
    TSpinEdit* maxbuf = nullptr;
    TSpinEdit* other = nullptr;
    HWND hwnd = nullptr;
    SoundLog sounds;
};

TEST_F(SpinEditTest, UpKeyAtTheTopStaysThere) {
    maxbuf->SetValue(200);
    SendMessageA(hwnd, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(maxbuf->Text(), "200");
    maxbuf->SetValue(1);
    SendMessageA(hwnd, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(maxbuf->Text(), "1");
    SendMessageA(hwnd, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(maxbuf->Text(), "2");
}

TEST_F(SpinEditTest, KeysThroughTheMessageLoopReachTheBox) {
    WORD seen = 0;
    maxbuf->OnKeyDown = [&](TWinControl&, WORD& key, TShiftState) {
        if (key != VK_UP)
            seen = key;
        else
            seen = static_cast<WORD>(maxbuf->Value()); // the step has run already
    };
    maxbuf->SetFocus();
    PostMessageA(hwnd, WM_KEYDOWN, VK_UP, 1);
    Pump();
    EXPECT_EQ(maxbuf->Value(), 26);
    EXPECT_EQ(seen, 26);
    PostMessageA(hwnd, WM_KEYDOWN, VK_RETURN, 1); // the loop translates it into a '\r' too
    Pump();
    EXPECT_EQ(seen, VK_RETURN); // the window's own Enter handler sees it
    EXPECT_EQ(maxbuf->Text(), "26");
    EXPECT_EQ(sounds.events, std::vector<std::string>{"beep"});
    PostMessageA(hwnd, WM_KEYDOWN, VK_TAB, 1);
    Pump();
    EXPECT_FALSE(maxbuf->Focused()); // Tab moves on
    EXPECT_EQ(maxbuf->Text(), "26");
}

TEST_F(SpinEditTest, TypedLetterBeepsAndInsertsNothingAndEnterBeepsToo) {
    maxbuf->SetFocus();
    SendMessageA(hwnd, EM_SETSEL, 2, 2);
    SendMessageA(hwnd, WM_CHAR, 'a', 0);
    EXPECT_EQ(maxbuf->Text(), "25");
    SendMessageA(hwnd, WM_CHAR, VK_RETURN, 0);
    EXPECT_EQ(maxbuf->Text(), "25");
    EXPECT_EQ(sounds.events, (std::vector<std::string>{"beep", "beep"}));
    SendMessageA(hwnd, WM_CHAR, '7', 0);
    EXPECT_EQ(maxbuf->Text(), "257");
}

TEST_F(SpinEditTest, OutOfRangeNumberShowsUntilTheFocusLeaves) {
    maxbuf->SetFocus();
    maxbuf->SetText("500");
    EXPECT_EQ(maxbuf->Text(), "500");
    EXPECT_EQ(maxbuf->Value(), 200) << "a number beyond the range counts as the nearest bound";
    other->SetFocus();
    EXPECT_EQ(maxbuf->Text(), "200");
}

// The box shows the number that is used: an empty one shows its minimum on leaving.
TEST_F(SpinEditTest, EmptyBoxShowsTheMinimumOnLeaving) {
    other->SetMinValue(0);
    other->SetMaxValue(10);
    other->SetFocus();
    other->SetText("");
    maxbuf->SetFocus();
    EXPECT_EQ(other->Text(), "0");
    EXPECT_EQ(other->Value(), 0);
}

// Steps come from the repeat timer alone while the button is held: none on the press itself,
// then one per tick, one more on the release, and none after it.
TEST_F(SpinEditTest, HoldingTheUpButtonRepeatsUntilReleased) {
    HWND up = maxbuf->Button().UpButton().Handle();
    maxbuf->SetValue(25);
    SendMessageA(up, WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
    EXPECT_TRUE(maxbuf->Focused());
    EXPECT_EQ(maxbuf->Value(), 25) << "the press stepped before any tick";
    const auto pumpUntilValue = [&](int value) {
        for (int i = 0; i < 2000 && maxbuf->Value() < value; ++i)
            Pump(5);
        return maxbuf->Value();
    };
    EXPECT_GE(pumpUntilValue(26), 26) << "holding the button steps";
    EXPECT_GE(pumpUntilValue(28), 28) << "and goes on stepping";
    const int held = maxbuf->Value();
    SendMessageA(up, WM_LBUTTONUP, 0, At(3, 3));
    EXPECT_EQ(maxbuf->Value(), held + 1); // one more on release
    Pump(600);
    EXPECT_EQ(maxbuf->Value(), held + 1) << "the repeating goes on after the release";
}

TEST_F(SpinEditTest, ShortPressGivesOneStepAndReleaseOutsideNone) {
    HWND down = maxbuf->Button().DownButton().Handle();
    SendMessageA(down, WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
    SendMessageA(down, WM_LBUTTONUP, 0, At(3, 3));
    EXPECT_EQ(maxbuf->Value(), 24);
    SendMessageA(down, WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
    SendMessageA(down, WM_MOUSEMOVE, MK_LBUTTON, At(50, 50));
    SendMessageA(down, WM_LBUTTONUP, 0, At(50, 50));
    EXPECT_EQ(maxbuf->Value(), 24);
}

TEST_F(SpinEditTest, MouseTakenAwayWhileHoldingStopsTheRepeat) {
    TTimerSpeedButton& upButton = maxbuf->Button().UpButton();
    SendMessageA(upButton.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
    ASSERT_TRUE(upButton.DrawnPressed());
    ReleaseCapture(); // another window took the mouse: no release reaches the button
    Pump(650);
    EXPECT_EQ(maxbuf->Value(), 25);
    EXPECT_FALSE(upButton.DrawnPressed());
}

// A multi-line edit sends no change notification for a text set in code: a step of the
// buttons or the arrow keys went unreported, and the size bounds of a running search stayed.
TEST_F(SpinEditTest, StepsAndNewValuesReportTheChangeOnceEach) {
    std::vector<std::string> seen;
    maxbuf->OnChange = [&](TWinControl&) { seen.push_back(maxbuf->Text()); };
    maxbuf->SetFocus();
    SendMessageA(hwnd, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(seen, std::vector<std::string>{"26"}) << "Up key";
    HWND down = maxbuf->Button().DownButton().Handle();
    SendMessageA(down, WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
    SendMessageA(down, WM_LBUTTONUP, 0, At(3, 3));
    EXPECT_EQ(seen, (std::vector<std::string>{"26", "25"})) << "the down button";
    maxbuf->SetValue(7);
    EXPECT_EQ(seen, (std::vector<std::string>{"26", "25", "7"})) << "SetValue";
    SendMessageA(hwnd, EM_SETSEL, 1, 1);
    SendMessageA(hwnd, WM_CHAR, '0', 0);
    SendMessageA(hwnd, WM_CHAR, '0', 0);
    other->SetFocus(); // 700 is out of range: leaving the box shows 200
    EXPECT_EQ(seen, (std::vector<std::string>{"26", "25", "7", "70", "700", "200"}));
}

TEST_F(SpinEditTest, ReadOnlyButtonsOnlyBeep) {
    maxbuf->SetReadOnly(true);
    maxbuf->UpClick();
    EXPECT_EQ(maxbuf->Text(), "25");
    EXPECT_EQ(sounds.events, std::vector<std::string>{"beep"});
}

// The dark pixels of both arrows as they are on the screen now (after pending paints).
int ArrowPixelsOnScreen(TSpinEdit& spin) {
    Pump();
    int dark = 0;
    for (TTimerSpeedButton* button : {&spin.Button().UpButton(), &spin.Button().DownButton()}) {
        const int w = button->Width(), h = button->Height();
        Canvas copy(w, h);
        HDC screen = GetDC(button->Handle());
        BitBlt(copy.dc(), 0, 0, w, h, screen, 0, 0, SRCCOPY);
        ReleaseDC(button->Handle(), screen);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const COLORREF c = copy.At(x, y);
                dark += GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64;
            }
    }
    return dark;
}

TEST_F(SpinEditTest, ArrowsStayOnScreenThroughFocusAndNewValues) {
    const int shown = ArrowPixelsOnScreen(*other); // never focused
    ASSERT_GE(shown, 20);
    EXPECT_EQ(ArrowPixelsOnScreen(*maxbuf), shown);
    maxbuf->SetFocus();
    EXPECT_EQ(ArrowPixelsOnScreen(*maxbuf), shown) << "focus in";
    maxbuf->SetValue(100);
    EXPECT_EQ(ArrowPixelsOnScreen(*maxbuf), shown) << "SetValue";
    other->SetFocus();
    EXPECT_EQ(ArrowPixelsOnScreen(*maxbuf), shown) << "focus out";
    EXPECT_EQ(ArrowPixelsOnScreen(*other), shown) << "focus in, the other box";
    PostMessageA(other->Handle(), WM_KEYDOWN, VK_UP, 1); // a step through the message loop
    EXPECT_EQ(ArrowPixelsOnScreen(*other), shown) << "Up key";
}

TEST_F(SpinEditTest, LayoutKeepsTheButtonsInsideTheBox) {
    EXPECT_EQ(maxbuf->Height(), 22);
    TSpinButton& button = maxbuf->Button();
    EXPECT_EQ(button.Width(), 15);
    EXPECT_EQ(button.Left(), 138 - 15 - 5);
    EXPECT_EQ(button.Height(), 17);
    maxbuf->SetHeight(5); // too low: raised to the minimum
    EXPECT_GE(maxbuf->Height(), 20);
}

} // namespace
} // namespace quennet
