// Escape and Enter typed into the controls, through the real message loop (the form's
// dialog-key handling runs first): no control closes or destroys the window that holds it.
#include <gtest/gtest.h>

#include "controls/Spin.h"
#include "runtime/ComboBoxEx.h"
#include "runtime/ScrollBox.h"
#include "runtime/StdControls.h"
#include "ControlTestSupport.h"

namespace quennet {
namespace {

using namespace quennet::testing;

// Posts a key press as the keyboard would, so the loop translates it into a character too.
void Press(HWND window, WORD key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    Pump();
}

class DialogKeysTest : public ::testing::Test {
  protected:
    void TearDown() override {
        for (TWinControl* control : added)
            form.RemoveControl(*control);
    }
    template <class T> T& Add() {
        T& control = form.Add<T>();
        added.push_back(&control);
        return control;
    }

    HostForm& form = SharedForm();
    std::vector<TWinControl*> added;
};

TEST_F(DialogKeysTest, EscapeInASpinEditInsideAScrollBoxDestroysNothing) {
    auto& box = Add<TScrollBox>();
    box.SetBounds(10, 10, 200, 120);
    auto& spin = box.Add<TSpinEdit>();
    spin.SetMaxValue(200);
    spin.SetMinValue(1);
    spin.SetValue(25);
    spin.SetBounds(8, 8, 80, 22);
    Pump();
    HWND boxWindow = box.Handle(), spinWindow = spin.Handle();
    spin.SetFocus();
    SendMessageA(spinWindow, EM_SETSEL, 2, 2);
    Press(spinWindow, '7');
    ASSERT_EQ(spin.Text(), "257");
    Press(spinWindow, VK_ESCAPE);
    Pump(50);
    EXPECT_TRUE(IsWindow(boxWindow));
    EXPECT_TRUE(IsWindow(spinWindow));
    EXPECT_EQ(box.HandleOrNull(), boxWindow);
    EXPECT_TRUE(form.Visible());
    EXPECT_TRUE(IsWindowVisible(form.HandleOrNull()));
    // The box still works afterwards.
    spin.SetValue(30);
    EXPECT_EQ(spin.Text(), "30");
    EXPECT_EQ(GetWindowTextLengthA(spinWindow), 2);
    Press(spinWindow, VK_UP);
    EXPECT_EQ(spin.Value(), 31);
}

TEST_F(DialogKeysTest, EscapeAndTabInASpinEditOnTheFormLeaveTheFormOpen) {
    auto& spin = Add<TSpinEdit>();
    spin.SetBounds(10, 10, 80, 22);
    auto& next = Add<TEdit>();
    next.SetBounds(10, 40, 80, 21);
    Pump();
    HWND spinWindow = spin.Handle();
    spin.SetFocus();
    Press(spinWindow, '4');
    Press(spinWindow, VK_ESCAPE);
    Pump(50);
    EXPECT_TRUE(IsWindowVisible(form.HandleOrNull()));
    EXPECT_TRUE(spin.Focused());
    Press(spinWindow, VK_TAB); // the form's Tab, once
    EXPECT_TRUE(next.Focused());
    EXPECT_TRUE(IsWindowVisible(form.HandleOrNull()));
}

TEST_F(DialogKeysTest, EscapeInAMultiLineEditLeavesItsPanelStanding) {
    // Any multi-line edit, not only the spin edit's: the form never puts one into the
    // dialog mode in which Escape closes its parent.
    class TMultiLineEdit : public TEdit {
      protected:
        void CreateParams(TCreateParams& params) override {
            TEdit::CreateParams(params);
            params.Style |= ES_MULTILINE;
        }
    };
    auto& panel = Add<TPanel>();
    panel.SetBounds(10, 10, 200, 80);
    auto& memo = panel.Add<TMultiLineEdit>();
    memo.SetBounds(5, 5, 150, 40);
    Pump();
    HWND panelWindow = panel.Handle();
    memo.SetFocus();
    Press(memo.Handle(), 'A');
    Press(memo.Handle(), VK_ESCAPE);
    Pump(50);
    EXPECT_TRUE(IsWindow(panelWindow));
    EXPECT_TRUE(IsWindowVisible(form.HandleOrNull()));
}

TEST_F(DialogKeysTest, EscapeOnADroppedComboListClosesTheListNotTheDialog) {
    int cancelled = 0;
    auto& cancel = Add<TButton>();
    cancel.SetCaption("Cancel");
    cancel.SetCancel(true);
    cancel.SetBounds(250, 10, 75, 25);
    cancel.OnClick = [&](TWinControl&) { ++cancelled; };
    auto& combo = Add<TComboBoxEx>();
    combo.SetBounds(10, 10, 150, 200);
    combo.AddItem("C:\\");
    combo.AddItem("D:\\");
    Pump();
    combo.SetFocus();
    SendMessageA(combo.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(SendMessageA(combo.Handle(), CB_GETDROPPEDSTATE, 0, 0));
    Press(GetFocus(), VK_ESCAPE);
    EXPECT_FALSE(SendMessageA(combo.Handle(), CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(cancelled, 0);
    Press(GetFocus(), VK_ESCAPE); // closed: now Escape is the dialog's
    EXPECT_EQ(cancelled, 1);
}

} // namespace
} // namespace quennet
