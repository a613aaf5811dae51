// The folder picker and the destination dialog shown modally, driven by keys and the close
// box from a second thread.
#include "dialogs/destinationForm.h"
#include "dialogs/folderpick.h"
#include "tests/dialogs/ModalDriver.h"
#include "tests/runtime/OleSuite.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace quennet;
using quennet::test::CloseIfStillOpen;
using quennet::test::FocusOfThread;
using quennet::test::PostKey;
using quennet::test::Wait;
using quennet::test::WhenShown;

namespace {

class Picker : public quennet::test::OleSuite {};

TEST_F(Picker, OkGivesTheChosenDriveAndTheNextOpeningKeepsTheTree) {
    TForm3 picker;
    const DWORD ui = GetCurrentThreadId();
    TModalResult first;
    {
        // The tree has the focus; under Wine, My Computer lists Control Panel, then C:.
        WhenShown user(picker.Handle(), [&](HWND) {
            PostKey(FocusOfThread(ui), VK_DOWN);
            PostKey(FocusOfThread(ui), VK_DOWN);
            Wait(200);
            PostMessageA(picker.okBut.HandleOrNull(), BM_CLICK, 0, 0);
            CloseIfStillOpen(picker.HandleOrNull());
        });
        first = picker.ShowModal();
    }
    EXPECT_EQ(first, mrOk);
    const std::string chosen = picker.SelectedPath();
    EXPECT_EQ(chosen, "C:\\");
    const HTREEITEM chosenNode = picker.folders.Selected();

    // The close box cancels; the tree is the one left before, selection included.
    std::atomic<bool> sameSelection{false};
    TModalResult second;
    {
        WhenShown user(picker.Handle(), [&](HWND window) {
            sameSelection = SendMessageA(picker.folders.HandleOrNull(), TVM_GETNEXTITEM, TVGN_CARET, 0) ==
                            reinterpret_cast<LRESULT>(chosenNode);
            PostMessageA(window, WM_CLOSE, 0, 0);
        });
        second = picker.ShowModal();
    }
    EXPECT_EQ(second, mrCancel);
    EXPECT_TRUE(sameSelection);
    EXPECT_EQ(picker.SelectedPath(), chosen);
    EXPECT_FALSE(picker.Visible());
}

TEST(Destination, EnterAtTheFirstOpeningAcceptsTheProposedFolder) {
    TFormChooseDestination dialog;
    dialog.SetDestination("C:\\proposed\\");
    const DWORD ui = GetCurrentThreadId();
    std::atomic<HWND> focus{nullptr};
    TModalResult result;
    {
        WhenShown user(dialog.Handle(), [&](HWND window) {
            focus = FocusOfThread(ui);
            PostKey(focus, VK_RETURN);
            CloseIfStillOpen(window);
        });
        result = dialog.ShowModal();
    }
    EXPECT_EQ(focus.load(), dialog.Button1.HandleOrNull());
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(dialog.Destination(), "C:\\proposed\\");
    EXPECT_EQ(dialog.Button1.Caption(), "Move");
}

TEST(Destination, EscapeCancelsAsTheCloseBoxDoes) {
    TFormChooseDestination dialog;
    for (bool escape : {true, false}) {
        dialog.SetDestination("C:\\proposed\\");
        const DWORD ui = GetCurrentThreadId();
        std::atomic<bool> closedByEscape{false};
        TModalResult result;
        {
            WhenShown user(dialog.Handle(), [&](HWND window) {
                if (escape) {
                    PostKey(FocusOfThread(ui), VK_ESCAPE);
                    Wait(300);
                    closedByEscape = IsWindowVisible(window) == FALSE;
                    CloseIfStillOpen(window, 0);
                } else {
                    PostMessageA(window, WM_CLOSE, 0, 0);
                }
            });
            result = dialog.ShowModal();
        }
        EXPECT_EQ(closedByEscape.load(), escape);
        EXPECT_EQ(result, mrCancel) << (escape ? "Escape" : "close box");
    }
}

} // namespace
