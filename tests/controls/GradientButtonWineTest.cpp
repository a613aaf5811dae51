#include <gtest/gtest.h>

#include "controls/GradientButton.h"
#include "ControlTestSupport.h"

namespace quennet {
namespace {

using namespace quennet::testing;
using namespace ButtonColorIndex;

class GradientButtonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        button = &form.Add<TGradientButton>();
        button->SetColors(MainWindowButtonColors());
        button->SetGradient(false);
        button->SetCaption("Search");
        button->SetBounds(10, 10, 143, 23);
        button->OnClick = [this](TWinControl&) { ++clicks; };
        Pump();
        hwnd = button->Handle();
        MoveCursorTo(form.Handle(), 300, 250); // away from the button
    }
    void TearDown() override {
        ReleaseCapture();
        form.RemoveControl(*button);
    }

    HostForm& form = SharedForm();
    TGradientButton* button = nullptr;
    HWND hwnd = nullptr;
    int clicks = 0;
};

TEST_F(GradientButtonTest, SearchButtonPaintsGreenFaceDarkBorderAndBevel) {
    Canvas canvas(143, 23);
    button->PaintFace(canvas.dc());
    EXPECT_EQ(canvas.At(0, 0), RGB(55, 111, 21)); // border
    EXPECT_EQ(canvas.At(142, 22), RGB(55, 111, 21));
    EXPECT_EQ(canvas.At(6, 11), RGB(174, 210, 174));           // face
    EXPECT_EQ(canvas.At(1, 10), RGB(219, 245, 203));           // light bevel, left
    EXPECT_EQ(canvas.At(70, 1), RGB(219, 245, 203));           // light bevel, top
    EXPECT_EQ(canvas.At(141, 10), RGB(92, 185, 36));           // dark bevel, right
    EXPECT_EQ(canvas.At(70, 21), RGB(92, 185, 36));            // dark bevel, bottom
    EXPECT_GT(canvas.Count(RGB(0, 0, 0), 40, 4, 100, 19), 20); // black caption
}

TEST_F(GradientButtonTest, LooksFollowEnterPressLeaveAndReleaseOutside) {
    MouseMove(hwnd, 20, 10);
    EXPECT_EQ(button->Look(), ButtonLook::Over);
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
    EXPECT_EQ(button->Look(), ButtonLook::Down);
    EXPECT_TRUE(button->Focused());
    MouseMove(hwnd, 200, 10, MK_LBUTTON); // captured: still reaches the button, outside
    EXPECT_EQ(button->Look(), ButtonLook::Normal);
    SendMessageA(hwnd, WM_LBUTTONUP, 0, At(200, 10));
    EXPECT_EQ(button->Look(), ButtonLook::Normal);
    EXPECT_EQ(clicks, 0);

    Canvas canvas(143, 23);
    button->PaintFace(canvas.dc());
    EXPECT_EQ(canvas.At(6, 11), RGB(174, 210, 174));
}

TEST_F(GradientButtonTest, ClickInsideShowsOverAfterwardsButNotOnTheFirstRow) {
    MouseMove(hwnd, 20, 10);
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, At(20, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button->Look(), ButtonLook::Over);

    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 0));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, At(20, 0));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(button->Look(), ButtonLook::Normal);
}

TEST_F(GradientButtonTest, MouseTakenAwayWhilePressedIsNoLongerHeld) {
    MouseMove(hwnd, 20, 10);
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
    ASSERT_EQ(button->Look(), ButtonLook::Down);
    ReleaseCapture(); // another window took the mouse: no release reaches the button
    EXPECT_EQ(button->Look(), ButtonLook::Normal);
    SendMessageA(hwnd, WM_MOUSELEAVE, 0, 0);
    MouseMove(hwnd, 20, 10);
    EXPECT_EQ(button->Look(), ButtonLook::Over); // a hover, not a press
    EXPECT_EQ(clicks, 0);
}

TEST_F(GradientButtonTest, OverAndDownLooksPaintTheirFaces) {
    Canvas canvas(143, 23);
    MouseMove(hwnd, 20, 10);
    button->PaintFace(canvas.dc());
    EXPECT_EQ(canvas.At(6, 11), RGB(210, 242, 191));
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
    button->PaintFace(canvas.dc());
    EXPECT_EQ(canvas.At(6, 11), RGB(131, 220, 78));
    EXPECT_EQ(canvas.At(0, 0), RGB(57, 116, 22));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, At(20, 10));
}

TEST_F(GradientButtonTest, DisabledButtonIsGrayEvenUnderTheMouse) {
    MouseMove(hwnd, 20, 10);
    button->SetEnabled(false);
    Canvas canvas(143, 23);
    button->PaintFace(canvas.dc());
    EXPECT_EQ(canvas.At(6, 11), RGB(238, 238, 238));
    EXPECT_EQ(canvas.At(0, 0), RGB(128, 128, 128));
}

TEST_F(GradientButtonTest, HoverSoundOnlyWithUseSound) {
    SoundLog sounds;
    MouseMove(hwnd, 20, 10);
    SendMessageA(hwnd, WM_MOUSELEAVE, 0, 0);
    MoveCursorTo(form.Handle(), 300, 250);
    SendMessageA(form.Handle(), WM_MOUSEMOVE, 0, At(300, 250));
    EXPECT_TRUE(sounds.events.empty());

    button->SetUseSound(true);
    button->SetSound(TButtonSound::ssFire);
    MouseMove(hwnd, 20, 10);
    EXPECT_EQ(sounds.events, std::vector<std::string>{"wave3"});
}

TEST_F(GradientButtonTest, HeldSpaceShowsDownAndClicksOnRelease) {
    SendMessageA(hwnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(button->Look(), ButtonLook::Down);
    EXPECT_EQ(clicks, 0);
    SendMessageA(hwnd, WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_EQ(button->Look(), ButtonLook::Normal);
    EXPECT_EQ(clicks, 1);
}

TEST_F(GradientButtonTest, DialogKeysClickOnceThroughTheMessageLoop) {
    TGradientButton& other = form.Add<TGradientButton>();
    other.SetBounds(10, 40, 75, 25);
    Pump();
    auto press = [](HWND target, WPARAM key) {
        PostMessageA(target, WM_KEYDOWN, key, 1);
        PostMessageA(target, WM_KEYUP, key, 0xC0000001);
        Pump();
    };
    button->SetFocus();
    press(hwnd, VK_RETURN); // Enter on the focused button
    EXPECT_EQ(clicks, 1);

    other.SetFocus();
    press(other.Handle(), VK_RETURN); // Enter elsewhere is not ours
    press(other.Handle(), VK_ESCAPE); // nor Escape without Cancel
    EXPECT_EQ(clicks, 1);
    button->SetCancel(true);
    press(other.Handle(), VK_ESCAPE);
    EXPECT_EQ(clicks, 2);
    button->SetCancel(false);
    button->SetDefault(true); // a default button takes whatever key is offered
    press(other.Handle(), VK_RETURN);
    EXPECT_EQ(clicks, 3);
    form.RemoveControl(other);
}

// Hears what the form tells its controls when the focus, or the default button, changed.
class TFocusListener : public TWinControl {
  public:
    int heard = 0;
    HWND active = nullptr;

  protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == CM_FOCUSCHANGED) {
            ++heard;
            active = reinterpret_cast<HWND>(lParam);
            return 0;
        }
        return TWinControl::WndProc(message, wParam, lParam);
    }
};

TEST_F(GradientButtonTest, DefaultTellsTheFormSoDefaultTrackingIsUpdated) {
    auto& panel = form.Add<TWinControl>();
    auto& listener = panel.Add<TFocusListener>(); // one level down: every control hears it
    listener.SetBounds(0, 0, 10, 10);
    Pump();
    button->SetFocus();
    button->SetDefault(true);
    EXPECT_TRUE(button->Default());
    EXPECT_EQ(listener.heard, 1);
    EXPECT_EQ(listener.active, hwnd); // with the control that has the focus
    button->SetDefault(false);
    EXPECT_EQ(listener.heard, 2);

    // Before the window exists there is nobody to tell; the value is kept.
    TGradientButton unmade;
    unmade.SetDefault(true);
    EXPECT_TRUE(unmade.Default());
    EXPECT_EQ(listener.heard, 2);
    form.RemoveControl(panel);
}

TEST_F(GradientButtonTest, ClickCopiesModalResultToTheForm) {
    button->SetModalResult(mrOk);
    button->Click();
    EXPECT_EQ(form.ModalResult(), mrOk);
}

TEST_F(GradientButtonTest, AnySingleColourMakesTheSchemeCustom) {
    TGradientButton& fresh = form.Add<TGradientButton>();
    EXPECT_EQ(fresh.ColorScheme(), TColorScheme::csNeoDesert);
    EXPECT_TRUE(fresh.Gradient());
    EXPECT_EQ(fresh.ColorAt(OverColorGrad), 0xFFFFFFu);
    fresh.SetColorAt(DownColorText, 0x123456);
    EXPECT_EQ(fresh.ColorScheme(), TColorScheme::csCustom);
    form.RemoveControl(fresh);
}

} // namespace
} // namespace quennet
