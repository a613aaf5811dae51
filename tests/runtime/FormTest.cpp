// Forms: modal display and results, placement, and the keys the form keeps for itself.
#include "BoxWatcher.h"

#include "runtime/Application.h"
#include "runtime/Exception.h"
#include "runtime/Form.h"
#include "runtime/Timer.h"

#include <gtest/gtest.h>

namespace quennet {
namespace {

class TKeyProbe : public TWinControl {
  public:
    explicit TKeyProbe(UINT wants = 0, std::string caption = "") : wants_(wants) {
        SetTabStop(true);
        SetCaption(caption);
    }
    std::vector<WORD> keysDown;
    std::vector<WORD> dialogKeys;
    std::vector<char> accessKeys;
    bool takeDialogKeys = false;

    bool DialogKey(WORD key, TShiftState shift) override {
        dialogKeys.push_back(key);
        return takeDialogKeys || TWinControl::DialogKey(key, shift);
    }
    bool DialogChar(char ch) override {
        if (!IsAccel(ch, Caption()))
            return false;
        accessKeys.push_back(ch);
        return true;
    }

  protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.ClassName = "TKeyProbe";
    }
    UINT WantKeys(UINT) override { return wants_; }
    void KeyDown(WORD& key, TShiftState shift) override {
        keysDown.push_back(key);
        TWinControl::KeyDown(key, shift);
    }

  private:
    UINT wants_;
};

// Posts a key press to the focus, as the keyboard would, and lets the loop handle it.
void PressKey(WORD key) {
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
    Application().ProcessMessages();
}

TEST(Form, ClientSizeAndDesktopCentre) {
    TForm form;
    form.SetBorderStyle(bsDialog);
    form.SetClientSize(462, 58);
    form.SetPosition(poDesktopCenter);
    form.Show();
    EXPECT_EQ(form.ClientWidth(), 462);
    EXPECT_EQ(form.ClientHeight(), 58);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(form.Left() + form.Width() / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR(form.Top() + form.Height() / 2, (work.top + work.bottom) / 2, 1);
}

TEST(Form, ShowModalReturnsTheResultSetByAHandlerAndFreesTheOwner) {
    TForm owner;
    owner.SetBounds(50, 50, 300, 200);
    owner.Show();
    TForm dialog;
    dialog.SetBounds(80, 80, 200, 100);
    TTimer timer;
    bool ownerWasDisabled = false;
    timer.SetInterval(30);
    timer.OnTimer = [&](TTimer& t) {
        t.SetEnabled(false);
        ownerWasDisabled = !IsWindowEnabled(owner.Handle());
        dialog.SetModalResult(mrOk);
    };
    timer.SetEnabled(true);
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_TRUE(ownerWasDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_FALSE(IsWindowVisible(dialog.Handle()));

    // The close box gives Cancel; the form can be shown again afterwards.
    timer.OnTimer = [&](TTimer& t) {
        t.SetEnabled(false);
        PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0);
    };
    timer.SetEnabled(true);
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST(Form, CloseOfTheMainFormEndsTheLoopAfterOnClose) {
    TForm main;
    Application().SetMainForm(&main);
    bool closed = false;
    main.OnClose = [&](TForm&, TCloseAction&) { closed = true; };
    main.Show();
    PostMessageA(main.Handle(), WM_CLOSE, 0, 0);
    Application().Run(); // returns on the quit message the close posts
    EXPECT_TRUE(closed);
    Application().SetMainForm(nullptr);
}

TEST(Form, CloseQueryCanRefuseAndAnErrorInsideAModalFormLeavesItOpen) {
    TForm dialog;
    dialog.SetBounds(80, 80, 200, 100);
    Application().SetTitle("Modal Test");
    bool allowClose = false;
    dialog.OnCloseQuery = [&](TForm&, bool& canClose) { canClose = allowClose; };
    TTimer timer;
    timer.SetInterval(20);
    int step = 0;
    timer.OnTimer = [&](TTimer&) {
        switch (step++) {
        case 0: // refused
            SendMessageA(dialog.Handle(), WM_CLOSE, 0, 0);
            EXPECT_TRUE(IsWindowVisible(dialog.Handle()));
            break;
        case 1: // a handler fails while the form is modal: box, then the form goes on
            throw Exception("Cannot open x.\r\n(denied.)");
        default:
            allowClose = true;
            timer.SetEnabled(false);
            SendMessageA(dialog.Handle(), WM_CLOSE, 0, 0);
            break;
        }
    };
    test::BoxWatcher watcher("Modal Test");
    timer.SetEnabled(true);
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_GE(step, 3);
    EXPECT_TRUE(watcher.Serve().found);
}

class FormKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        form.SetBounds(100, 100, 300, 200);
        first = &form.Add<TKeyProbe>(0u, "&First");
        second = &form.Add<TKeyProbe>(static_cast<UINT>(DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTTAB));
        third = &form.Add<TKeyProbe>(0u, "&Third");
        first->SetBounds(0, 0, 50, 20);
        second->SetBounds(0, 30, 50, 20);
        third->SetBounds(0, 60, 50, 20);
        form.Show();
        SetForegroundWindow(form.Handle());
        first->SetFocus();
        Application().ProcessMessages();
    }
    TForm form;
    TKeyProbe *first, *second, *third;
};

TEST_F(FormKeys, TabMovesThroughTabStopsInOrderAndWraps) {
    third->SetTabStop(false);
    PressKey(VK_TAB);
    EXPECT_TRUE(second->Focused());
    second->SetFocus();
    third->SetTabStop(true);
    // `second` wants Tab, so Tab reaches it as a key instead of moving on.
    PressKey(VK_TAB);
    EXPECT_TRUE(second->Focused());
    EXPECT_EQ(second->keysDown, std::vector<WORD>{VK_TAB});
    third->SetFocus();
    PressKey(VK_TAB);
    EXPECT_TRUE(first->Focused());
}

TEST_F(FormKeys, EnterNotWantedByTheFocusIsOfferedToEveryControlFirst) {
    third->takeDialogKeys = true;
    PressKey(VK_RETURN);
    EXPECT_EQ(first->dialogKeys, std::vector<WORD>{VK_RETURN});
    EXPECT_EQ(third->dialogKeys, std::vector<WORD>{VK_RETURN});
    EXPECT_TRUE(first->keysDown.empty()); // used up as a dialog key

    third->takeDialogKeys = false;
    PressKey(VK_ESCAPE);
    EXPECT_EQ(first->keysDown, std::vector<WORD>{VK_ESCAPE}); // nobody took it: an ordinary key
}

TEST_F(FormKeys, ArrowsMoveTheFocusUnlessTheControlWantsThem) {
    PressKey(VK_DOWN);
    EXPECT_TRUE(second->Focused());
    PressKey(VK_DOWN);
    EXPECT_TRUE(second->Focused());
    EXPECT_EQ(second->keysDown, std::vector<WORD>{VK_DOWN});
}

TEST_F(FormKeys, AltLetterGoesToTheControlWithThatAccessKey) {
    PostMessageA(GetFocus(), WM_SYSCHAR, 't', 1 << 29);
    Application().ProcessMessages();
    EXPECT_EQ(third->accessKeys, std::vector<char>{'t'});
    EXPECT_TRUE(first->accessKeys.empty());
}

} // namespace
} // namespace quennet
