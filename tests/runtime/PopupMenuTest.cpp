// The popup menu, driven through its real menu loop from a second thread.
#include "BoxWatcher.h"

#include "runtime/Form.h"
#include "runtime/ListView.h"
#include "runtime/PopupMenu.h"

#include <gtest/gtest.h>

#include <thread>

namespace quennet {
namespace {

// Waits for the open menu window and posts it the given key messages.
std::thread PressInMenu(std::vector<std::pair<UINT, WORD>> keys) {
    return std::thread([keys] {
        HWND menu = nullptr;
        for (int i = 0; i < 300 && !menu; ++i) {
            menu = FindWindowA("#32768", nullptr);
            if (!menu || !IsWindowVisible(menu)) {
                menu = nullptr;
                Sleep(10);
            }
        }
        if (!menu)
            return;
        Sleep(50);
        for (auto [message, key] : keys) {
            PostMessageA(menu, message, key, 1);
            Sleep(20);
        }
    });
}

class PopupMenu : public ::testing::Test {
  protected:
    void SetUp() override {
        form.SetBounds(100, 100, 300, 200);
        form.Show();
        SetForegroundWindow(form.Handle());
        Application().ProcessMessages();
        menu.Add("&Open", [&] { chosen.push_back("open"); });
        menu.AddSeparator();
        disabled = menu.Add("&Delete", [&] { chosen.push_back("delete"); });
        menu.Add("View in &HEX", [&] { chosen.push_back("hex"); });
        menu.SetEnabled(disabled, false);
    }
    TForm form;
    TPopupMenu menu;
    int disabled = 0;
    std::vector<std::string> chosen;
};

TEST_F(PopupMenu, TheAccessKeyOfAnItemRunsItAfterTheMenuCloses) {
    std::thread keys = PressInMenu({{WM_CHAR, 'h'}});
    EXPECT_TRUE(menu.Popup(150, 150));
    keys.join();
    EXPECT_EQ(chosen, std::vector<std::string>{"hex"});
}

TEST_F(PopupMenu, EscapeChoosesNothing) {
    std::thread keys = PressInMenu({{WM_KEYDOWN, VK_ESCAPE}});
    EXPECT_FALSE(menu.Popup(150, 150));
    keys.join();
    EXPECT_TRUE(chosen.empty());
}

TEST_F(PopupMenu, ARightClickedControlShowsItsMenu) {
    auto& list = form.Add<TListView>();
    list.SetBounds(0, 0, 200, 100);
    list.SetPopupMenu(&menu);
    std::thread keys = PressInMenu({{WM_CHAR, 'o'}});
    POINT at{20, 20};
    ClientToScreen(list.Handle(), &at);
    SendMessageA(list.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list.Handle()),
                 MAKELPARAM(at.x, at.y));
    keys.join();
    EXPECT_EQ(chosen, std::vector<std::string>{"open"});
}

TEST_F(PopupMenu, ChooseSkipsDisabledItemsAndSeparators) {
    EXPECT_EQ(menu.Count(), 4);
    EXPECT_FALSE(menu.Enabled(disabled));
    menu.Choose(1);
    menu.Choose(disabled);
    menu.Choose(0);
    EXPECT_EQ(chosen, std::vector<std::string>{"open"});
}

} // namespace
} // namespace quennet
