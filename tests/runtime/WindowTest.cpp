// The window base class through real windows and real messages.
#include "BoxWatcher.h"

#include "runtime/Application.h"
#include "runtime/Exception.h"
#include "runtime/Form.h"
#include "runtime/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quennet {
namespace {

// An own-class control that writes down what reaches it.
class TProbe : public TWinControl {
  public:
    std::vector<std::string> log;
    int enabledChanges = 0;
    static int destroyed;
    ~TProbe() override { ++destroyed; }

  protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.ClassName = "TProbe";
    }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
        log.push_back("down " + std::to_string(static_cast<int>(button)) + " " +
                      std::to_string(shift.Bits()) + " " + std::to_string(x) + "," + std::to_string(y));
        TWinControl::MouseDown(button, shift, x, y);
    }
    void MouseUp(TMouseButton button, TShiftState, int, int) override {
        log.push_back("up " + std::to_string(static_cast<int>(button)));
    }
    void Click() override {
        log.push_back("click");
        TWinControl::Click();
    }
    void MouseEnter() override {
        if (logHover)
            log.push_back("enter");
    }
    void MouseLeave() override {
        if (logHover)
            log.push_back("leave");
    }

  public:
    bool logHover = false;

  protected:
    void DoEnter() override { log.push_back("focus"); }
    void DoExit() override { log.push_back("blur"); }
    void EnabledChanged() override { ++enabledChanges; }
};
int TProbe::destroyed = 0;

// A standard control wrapped by the runtime.
class TStdProbe : public TWinControl {
  public:
    explicit TStdProbe(std::string className, DWORD style = 0)
        : className_(std::move(className)), style_(style) {}
    std::vector<WORD> commands;
    std::vector<UINT> notifications;
    int drawItems = 0;
    HBRUSH ctlColorBrush = nullptr;

  protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.ClassName = className_;
        params.SystemClass = true;
        params.Style |= style_;
    }
    bool HandleCommand(WORD code) override {
        commands.push_back(code);
        if (code == BN_CLICKED)
            Click();
        return true;
    }
    bool HandleNotify(NMHDR& header, LRESULT& result) override {
        notifications.push_back(header.code);
        result = 42;
        return true;
    }
    bool HandleDrawItem(DRAWITEMSTRUCT&) override {
        ++drawItems;
        return true;
    }
    HBRUSH HandleCtlColor(HDC, UINT) override { return ctlColorBrush; }

  private:
    std::string className_;
    DWORD style_;
};

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Application().SetTitle("Runtime Test");
        form.SetBounds(100, 100, 300, 200);
        probe = &form.Add<TProbe>();
        probe->SetBounds(10, 10, 100, 40);
        form.Show();
        Application().ProcessMessages();
        probe->log.clear();
    }
    TForm form;
    TProbe* probe = nullptr;
};

TEST_F(WindowTest, LeftPressAndReleaseInsideClicksBetweenDownAndUp) {
    HWND h = probe->Handle();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, At(5, 6));
    SendMessageA(h, WM_LBUTTONUP, 0, At(7, 8));
    ASSERT_GE(probe->log.size(), 3u);
    EXPECT_EQ(probe->log[0], "down 0 " + std::to_string((ssLeft | ssShift).Bits()) + " 5,6");
    EXPECT_EQ(probe->log[1], "click");
    EXPECT_EQ(probe->log[2], "up 0");
}

TEST_F(WindowTest, ReleaseOutsideOrOtherButtonsDoNotClick) {
    HWND h = probe->Handle();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    SendMessageA(h, WM_LBUTTONUP, 0, At(150, 5)); // captured, released beside the control
    SendMessageA(h, WM_RBUTTONDOWN, MK_RBUTTON, At(5, 5));
    SendMessageA(h, WM_RBUTTONUP, 0, At(5, 5));
    SendMessageA(h, WM_LBUTTONUP, 0, At(5, 5)); // a release without a press
    for (const std::string& entry : probe->log)
        EXPECT_NE(entry, "click");
    EXPECT_NE(std::find(probe->log.begin(), probe->log.end(),
                        "down 1 " + std::to_string(TShiftState(ssRight).Bits()) + " 5,5"),
              probe->log.end());
}

TEST_F(WindowTest, DoubleClickIsASecondPressWithDoubleAndClicksAgain) {
    HWND h = probe->Handle();
    int dbl = 0;
    probe->OnDblClick = [&](TWinControl&) { ++dbl; };
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    SendMessageA(h, WM_LBUTTONUP, 0, At(5, 5));
    SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(5, 5));
    SendMessageA(h, WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(std::count(probe->log.begin(), probe->log.end(), "click"), 2);
    EXPECT_EQ(probe->log[3], "down 0 " + std::to_string((ssLeft | ssDouble).Bits()) + " 5,5");
}

TEST_F(WindowTest, MouseEntersAndLeavesWithTheRealCursor) {
    probe->logHover = true;
    POINT inside{20, 20};
    ClientToScreen(probe->Handle(), &inside);
    SetCursorPos(inside.x, inside.y);
    SendMessageA(probe->Handle(), WM_MOUSEMOVE, 0, At(20, 20));
    EXPECT_TRUE(test::PumpUntil([&] { return probe->MouseInControl(); }, 1000));
    SetCursorPos(5, 5); // far away, over no window of ours
    EXPECT_TRUE(test::PumpUntil([&] { return !probe->MouseInControl(); }, 2000));
    ASSERT_GE(probe->log.size(), 2u);
    EXPECT_EQ(probe->log.front(), "enter");
    EXPECT_EQ(probe->log.back(), "leave");
}

TEST_F(WindowTest, DraggingOutWhileHeldLeavesAndReleaseOutsideDoesNotClick) {
    probe->logHover = true;
    POINT inside{20, 20};
    ClientToScreen(probe->Handle(), &inside);
    SetCursorPos(inside.x, inside.y);
    HWND h = probe->Handle();
    SendMessageA(h, WM_MOUSEMOVE, 0, At(20, 20));
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(200, 20));
    EXPECT_FALSE(probe->MouseInControl());
    SendMessageA(h, WM_LBUTTONUP, 0, At(200, 20));
    EXPECT_EQ(std::count(probe->log.begin(), probe->log.end(), "click"), 0);
    EXPECT_EQ(std::count(probe->log.begin(), probe->log.end(), "leave"), 1);
    SetCursorPos(5, 5);
}

TEST_F(WindowTest, FocusAndEnabledChangesReachTheirHandlers) {
    auto& other = form.Add<TProbe>();
    other.SetBounds(10, 60, 50, 20);
    probe->SetFocus();
    other.SetFocus();
    EXPECT_EQ(probe->log, (std::vector<std::string>{"focus", "blur"}));
    probe->SetEnabled(false);
    EXPECT_FALSE(probe->Enabled());
    probe->SetEnabled(true);
    EXPECT_EQ(probe->enabledChanges, 2);
}

TEST_F(WindowTest, AColourChangeRepaintsEveryChildPaintedInIt) {
    auto& follower = form.Add<TProbe>();
    follower.SetBounds(120, 10, 60, 60);
    auto& nested = follower.Add<TProbe>();
    nested.SetBounds(5, 5, 20, 20);
    auto& own = form.Add<TProbe>();
    own.SetBounds(190, 10, 40, 40);
    own.SetColor(clWindow);
    Application().ProcessMessages();
    for (TWinControl* c : {static_cast<TWinControl*>(&follower), static_cast<TWinControl*>(&nested),
                           static_cast<TWinControl*>(&own)})
        ValidateRect(c->Handle(), nullptr);
    form.SetColor(RGB(10, 20, 30));
    EXPECT_TRUE(GetUpdateRect(follower.Handle(), nullptr, FALSE));
    EXPECT_TRUE(GetUpdateRect(nested.Handle(), nullptr, FALSE));
    EXPECT_FALSE(GetUpdateRect(own.Handle(), nullptr, FALSE));
    EXPECT_EQ(nested.Color(), RGB(10, 20, 30));
}

TEST_F(WindowTest, KeyHandlersCanSwallowAKeyOfAStandardControl) {
    auto& edit = form.Add<TStdProbe>("EDIT");
    edit.SetBounds(10, 60, 100, 20);
    edit.OnKeyPress = [](TWinControl&, char& key) {
        if (key < '0' || key > '9')
            key = 0;
    };
    WORD lastKey = 0;
    edit.OnKeyDown = [&](TWinControl&, WORD& key, TShiftState) { lastKey = key; };
    for (char c : std::string("1a2"))
        SendMessageA(edit.Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
    SendMessageA(edit.Handle(), WM_KEYDOWN, VK_HOME, 1);
    EXPECT_EQ(edit.Text(), "12");
    EXPECT_EQ(lastKey, VK_HOME);
}

TEST_F(WindowTest, ParentReflectsNotificationsToTheChildThatSentThem) {
    auto& button = form.Add<TStdProbe>("BUTTON", BS_PUSHBUTTON);
    button.SetBounds(10, 60, 80, 24);
    int clicks = 0;
    button.OnClick = [&](TWinControl&) { ++clicks; };
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button.commands, std::vector<WORD>{BN_CLICKED});

    NMHDR header{button.Handle(), 7, NM_CLICK};
    EXPECT_EQ(SendMessageA(form.Handle(), WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header)), 42);
    EXPECT_EQ(button.notifications, std::vector<UINT>{static_cast<UINT>(NM_CLICK)});

    auto& drawn = form.Add<TStdProbe>("BUTTON", BS_OWNERDRAW);
    drawn.SetBounds(100, 60, 80, 24);
    drawn.Repaint();
    EXPECT_GE(drawn.drawItems, 1);

    auto& stat = form.Add<TStdProbe>("STATIC");
    stat.SetBounds(10, 100, 80, 20);
    GdiBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    stat.ctlColorBrush = brush.get();
    WindowDC dc(stat.Handle());
    EXPECT_EQ(SendMessageA(form.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                           reinterpret_cast<LPARAM>(stat.Handle())),
              reinterpret_cast<LRESULT>(brush.get()));
}

TEST_F(WindowTest, ExceptionFromAHandlerIsShownInTheApplicationBoxAndTheProgramGoesOn) {
    int clicks = 0;
    probe->OnClick = [&](TWinControl&) {
        ++clicks;
        throw Exception("Failed to set data for ''");
    };
    test::BoxWatcher watcher("Runtime Test");
    PostMessageA(probe->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    PostMessageA(probe->Handle(), WM_LBUTTONUP, 0, At(5, 5));
    const test::BoxSeen& seen = watcher.Serve();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "Failed to set data for ''");
    EXPECT_EQ(seen.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(seen.icon, LoadIcon(nullptr, IDI_ERROR));
    // Still alive and answering.
    probe->OnClick = [&](TWinControl&) { ++clicks; };
    SendMessageA(probe->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    SendMessageA(probe->Handle(), WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(clicks, 2);
}

TEST(WindowOwnership, ChildrenGoWithTheirParent) {
    TProbe::destroyed = 0;
    HWND child;
    {
        TForm form;
        auto& panel = form.Add<TProbe>();
        auto& inner = panel.Add<TProbe>();
        form.Show();
        child = inner.Handle();
        EXPECT_EQ(TWinControl::FromHandle(child), &inner);
        EXPECT_EQ(inner.ParentForm(), &form);
    }
    EXPECT_EQ(TProbe::destroyed, 2);
    EXPECT_FALSE(IsWindow(child));
}

TEST(WindowOwnership, PropertiesSetBeforeTheWindowExistsAreApplied) {
    TForm form;
    auto& probe = form.Add<TProbe>();
    probe.SetBounds(3, 4, 50, 60);
    probe.SetCaption("Before");
    probe.SetEnabled(false);
    EXPECT_FALSE(probe.HandleAllocated());
    form.Show();
    ASSERT_TRUE(probe.HandleAllocated());
    EXPECT_EQ(probe.Left(), 3);
    EXPECT_EQ(probe.Top(), 4);
    EXPECT_EQ(probe.Width(), 50);
    EXPECT_EQ(probe.Caption(), "Before");
    EXPECT_FALSE(IsWindowEnabled(probe.Handle()));
}

TEST(WindowOwnership, AFontSetOnTheFormReachesTheChildrenThatUseTheirParentsFont) {
    TForm form;
    auto& inherits = form.Add<TStdProbe>("EDIT");
    auto& own = form.Add<TStdProbe>("EDIT");
    TFont bold;
    bold.Bold = true;
    own.SetFont(bold);
    form.Show();
    TFont big;
    big.Size = 14;
    form.SetFont(big);
    auto fontOf = [](TWinControl& c) {
        return reinterpret_cast<HFONT>(SendMessageA(c.Handle(), WM_GETFONT, 0, 0));
    };
    EXPECT_EQ(fontOf(inherits), form.FontHandle());
    EXPECT_EQ(inherits.Font().Size, 14);
    EXPECT_NE(fontOf(own), form.FontHandle());
    LOGFONTA described{};
    GetObjectA(fontOf(own), sizeof described, &described);
    EXPECT_EQ(described.lfWeight, FW_BOLD);
}

TEST(AccessCharacters, MatchTheLetterAfterASingleAmpersand) {
    struct Case {
        char ch;
        const char* caption;
        bool expected;
    } cases[] = {{'s', "&Search", true},         {'S', "&search", true},    {'e', "&Search", false},
                 {'o', "&&Open", false},         {'o', "A&&B &Open", true}, {'x', "Search", false},
                 {'h', "What is t&his ?", true}, {'&', "Trailing&", false}};
    for (const Case& c : cases)
        EXPECT_EQ(IsAccel(c.ch, c.caption), c.expected) << c.ch << " in " << c.caption;
}

} // namespace
} // namespace quennet
