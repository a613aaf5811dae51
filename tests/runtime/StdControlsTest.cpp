// Standard controls as the windows use them, and the layout rules of their parents.
#include "BoxWatcher.h"

#include "runtime/Canvas.h"
#include "runtime/ComboBoxEx.h"
#include "runtime/Form.h"
#include "runtime/ListView.h"
#include "runtime/ScrollBox.h"
#include "runtime/StatusBar.h"
#include "runtime/StdControls.h"
#include "runtime/TreeView.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quennet {
namespace {

void PressKey(WORD key) {
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
    Application().ProcessMessages();
}

class StdControls : public ::testing::Test {
  protected:
    void SetUp() override {
        form.SetBounds(100, 100, 400, 300);
        form.SetColor(RGB(192, 220, 192));
    }
    void ShowForm() {
        form.Show();
        SetForegroundWindow(form.Handle());
        Application().ProcessMessages();
    }
    TForm form;
};

TEST_F(StdControls, ButtonClickSetsTheFormsModalResultThenRunsOnClick) {
    auto& ok = form.Add<TButton>();
    ok.SetCaption("&OK");
    ok.SetModalResult(mrOk);
    TModalResult seen = mrNone;
    ok.OnClick = [&](TWinControl&) { seen = form.ModalResult(); };
    ShowForm();
    SendMessageA(ok.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(seen, mrOk);
}

TEST_F(StdControls, EnterEscapeAndAccessKeysReachTheRightButton) {
    auto& edit = form.Add<TEdit>();
    auto& move = form.Add<TButton>();
    auto& cancel = form.Add<TButton>();
    move.SetCaption("&Move");
    move.SetDefault(true);
    cancel.SetCaption("Cancel");
    cancel.SetCancel(true);
    move.SetBounds(0, 40, 75, 25);
    cancel.SetBounds(80, 40, 75, 25);
    int moves = 0, cancels = 0;
    move.OnClick = [&](TWinControl&) { ++moves; };
    cancel.OnClick = [&](TWinControl&) { ++cancels; };
    ShowForm();
    edit.SetFocus();
    PressKey(VK_RETURN); // focus in the edit: the default button
    EXPECT_EQ(moves, 1);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(cancels, 1);
    cancel.SetFocus();
    PressKey(VK_RETURN); // a focused button takes Enter itself
    EXPECT_EQ(cancels, 2);
    EXPECT_EQ(moves, 1);
    PostMessageA(GetFocus(), WM_SYSCHAR, 'm', 1 << 29);
    Application().ProcessMessages();
    EXPECT_EQ(moves, 2);
}

TEST_F(StdControls, EditReportsChangesAndRadioButtonsTheirChecks) {
    auto& edit = form.Add<TEdit>();
    int changes = 0;
    edit.OnChange = [&](TWinControl&) { ++changes; };
    auto& group = form.Add<TGroupBox>();
    group.SetBounds(10, 40, 135, 61);
    auto& text = group.Add<TRadioButton>();
    auto& hex = group.Add<TRadioButton>();
    text.SetBounds(16, 18, 91, 17);
    hex.SetBounds(16, 38, 81, 17);
    text.SetChecked(true);
    int hexClicks = 0;
    hex.OnClick = [&](TWinControl&) { ++hexClicks; };
    ShowForm();
    edit.SetText("abc");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(text.Checked());
    SendMessageA(hex.Handle(), BM_CLICK, 0, 0); // reflected by the group box, its parent
    EXPECT_EQ(hexClicks, 1);
    EXPECT_TRUE(hex.Checked());
    EXPECT_FALSE(text.Checked());
}

TEST_F(StdControls, LabelTakesTheSizeOfItsCaptionAndThePanelsColour) {
    auto& label = form.Add<TLabel>();
    label.SetCaption("Look in:");
    label.SetBounds(7, 30, 10, 10);
    ShowForm();
    int shortWidth = label.Width();
    EXPECT_GT(shortWidth, 10);
    label.SetCaption("All or part of the file name:");
    EXPECT_GT(label.Width(), shortWidth);
    TCapturedImage image = CaptureClient(label);
    ASSERT_GT(image.Width, 0);
    EXPECT_EQ(image.At(image.Width - 1, image.Height - 1), RGB(192, 220, 192));
}

TEST_F(StdControls, AlignedAndAnchoredChildrenFollowTheParentsSize) {
    auto& status = form.Add<TStatusBar>();
    auto& panel = form.Add<TPanel>();
    panel.SetBounds(0, 0, 157, 10);
    panel.SetAlign(alLeft);
    auto& list = form.Add<TListView>();
    list.SetAlign(alClient);
    auto& edit = panel.Add<TEdit>();
    edit.SetBounds(5, 64, 144, 19);
    edit.SetAnchors(akLeft | akTop | akRight);
    ShowForm();
    form.SetClientSize(500, 400);
    EXPECT_EQ(edit.Width(), 144);
    EXPECT_EQ(status.Top(), 400 - 19);
    EXPECT_EQ(status.Width(), 500);
    EXPECT_EQ(panel.Height(), 400 - 19);
    EXPECT_EQ(list.Left(), 157);
    EXPECT_EQ(list.Width(), 500 - 157);
    panel.SetWidth(257); // dragging the splitter: the edit keeps its right margin
    form.Realign();
    EXPECT_EQ(edit.Width(), 244);
    EXPECT_EQ(list.Left(), 257);
}

TEST_F(StdControls, TabOrderIsTheOneSetNotTheOrderOfCreation) {
    auto& a = form.Add<TEdit>();
    auto& b = form.Add<TEdit>();
    auto& c = form.Add<TEdit>();
    b.SetBounds(0, 30, 100, 20);
    c.SetBounds(0, 60, 100, 20);
    a.SetTabOrder(2);
    b.SetTabOrder(0);
    c.SetTabOrder(1);
    ShowForm();
    b.SetFocus();
    PressKey(VK_TAB);
    EXPECT_TRUE(c.Focused());
    PressKey(VK_TAB);
    EXPECT_TRUE(a.Focused());
}

TEST_F(StdControls, OwnerDataListAsksForTheTextsItShows) {
    auto& list = form.Add<TListView>();
    list.SetOwnerData(true);
    list.SetMultiSelect(true);
    list.SetRowSelect(true);
    list.AddColumn("Name", 200);
    list.AddColumn("In Folder", 318);
    list.AddColumn("Size", 105);
    int asked = 0;
    list.OnGetText = [&](int item, int sub) {
        ++asked;
        return "r" + std::to_string(item) + "c" + std::to_string(sub);
    };
    int selections = 0;
    list.OnSelectItem = [&](TWinControl&) { ++selections; };
    list.SetItemCount(100000);
    ShowForm();
    EXPECT_EQ(list.ItemCount(), 100000);
    EXPECT_EQ(list.ColumnWidth(1), 318);
    char buffer[64] = "";
    LVITEMA cell{};
    cell.iSubItem = 2;
    cell.pszText = buffer;
    cell.cchTextMax = sizeof buffer;
    asked = 0;
    SendMessageA(list.Handle(), LVM_GETITEMTEXTA, 99999, reinterpret_cast<LPARAM>(&cell));
    EXPECT_STREQ(buffer, "r99999c2");
    EXPECT_EQ(asked, 1);

    list.SetItemIndex(5);
    list.SetSelected(7, true);
    EXPECT_EQ(list.SelectedIndices(), (std::vector<int>{5, 7}));
    EXPECT_EQ(list.ItemIndex(), 5);
    EXPECT_GE(selections, 1);
    list.Clear();
    EXPECT_EQ(list.ItemCount(), 0);
}

TEST_F(StdControls, ListColumnClickAndStoredItems) {
    auto& list = form.Add<TListView>();
    list.AddColumn("Name", 100);
    list.AddColumn("Size", 50);
    int clicked = -1;
    list.OnColumnClick = [&](TListView&, int column) { clicked = column; };
    ShowForm();
    EXPECT_EQ(list.AddItem({"a.txt", "1 KB"}), 0);
    EXPECT_EQ(list.AddItem({"b.txt", "2 KB"}), 1);
    EXPECT_EQ(list.ItemText(1, 1), "2 KB");
    NMLISTVIEW click{};
    click.hdr = NMHDR{list.Handle(), 1, static_cast<UINT>(LVN_COLUMNCLICK)};
    click.iItem = -1;
    click.iSubItem = 1;
    SendMessageA(form.Handle(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(clicked, 1);
}

TEST_F(StdControls, StatusBarPanelsKeepTheirTexts) {
    auto& status = form.Add<TStatusBar>();
    status.SetPanelWidths({146, 100, 405, 50});
    status.SetPanelText(0, "Searching in: C:\\");
    ShowForm();
    status.SetPanelText(2, "Done");
    EXPECT_EQ(status.PanelText(0), "Searching in: C:\\");
    EXPECT_EQ(status.PanelText(2), "Done");
    EXPECT_EQ(SendMessageA(status.Handle(), SB_GETPARTS, 0, 0), 4);
}

TEST_F(StdControls, ComboBoxExListsCaptionsAndPassesEditKeysOn) {
    auto& combo = form.Add<TComboBoxEx>();
    combo.SetBounds(7, 40, 145, 200);
    ShowForm();
    combo.AddItem("Local Hard Drives", 0);
    combo.AddItem("C:\\", 1);
    combo.AddItem("Browse...", 5);
    EXPECT_EQ(combo.ItemCount(), 3);
    EXPECT_EQ(combo.ItemCaption(1), "C:\\");
    int clicks = 0;
    combo.OnClick = [&](TWinControl&) { ++clicks; };
    combo.SetItemIndex(1);
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(combo.EditText(), "C:\\");

    std::vector<WORD> keys;
    combo.OnKeyDown = [&](TWinControl&, WORD& key, TShiftState) { keys.push_back(key); };
    HWND edit = reinterpret_cast<HWND>(SendMessageA(combo.Handle(), CBEM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(keys, std::vector<WORD>{VK_RETURN});
    combo.SetEditText("D:\\typed");
    EXPECT_EQ(combo.EditText(), "D:\\typed");
}

} // namespace
} // namespace quennet

namespace quennet {
namespace {

TEST(TreeView, ChildrenAreAddedWhenAnItemFirstExpandsAndDataIsHandedBackOnDeletion) {
    TForm form;
    form.SetBounds(100, 100, 330, 335);
    auto& tree = form.Add<TTreeView>();
    tree.SetAlign(alClient);
    form.Show();
    std::vector<LPARAM> deleted;
    int expansions = 0;
    tree.OnExpanding = [&](TTreeView& t, HTREEITEM item, bool&) {
        if (t.FirstChild(item))
            return; // filled already
        ++expansions;
        t.AddItem(item, "C:\\", 1, 1, true, 2);
        t.AddItem(item, "D:\\", 1, 1, false, 3);
    };
    bool allowCollapse = false;
    tree.OnCollapsing = [&](TTreeView&, HTREEITEM, bool& allow) { allow = allowCollapse; };
    tree.OnDeletion = [&](TTreeView&, HTREEITEM, LPARAM data) { deleted.push_back(data); };
    HTREEITEM computer = tree.AddItem(nullptr, "My Computer", 0, 0, true, 1);
    EXPECT_EQ(tree.Count(), 1);
    tree.Expand(computer);
    tree.Expand(computer, false); // refused
    tree.Expand(computer);
    EXPECT_EQ(expansions, 1);
    EXPECT_TRUE(tree.Expanded(computer));
    HTREEITEM c = tree.FirstChild(computer);
    EXPECT_EQ(tree.ItemText(c), "C:\\");
    EXPECT_EQ(tree.ItemData(tree.NextSibling(c)), 3);
    EXPECT_EQ(tree.ParentOf(c), computer);

    HTREEITEM changedTo = nullptr;
    tree.OnChange = [&](TTreeView&, HTREEITEM item) { changedTo = item; };
    tree.Select(c);
    EXPECT_EQ(tree.Selected(), c);
    EXPECT_EQ(changedTo, c);
    tree.Clear();
    std::sort(deleted.begin(), deleted.end());
    EXPECT_EQ(deleted, (std::vector<LPARAM>{1, 2, 3}));
}

} // namespace
} // namespace quennet

namespace quennet {
namespace {

class ScrollAndSplit : public ::testing::Test {
  protected:
    void SetUp() override {
        form.SetBounds(50, 50, 100, 100);
        box = &form.Add<TScrollBox>();
        box->SetBounds(0, 0, 157, 10);
        box->SetAlign(alLeft);
        splitter = &form.Add<TSplitter>();
        splitter->SetMinSize(155);
        list = &form.Add<TListView>();
        list->SetAlign(alClient);
        low = &box->Add<TEdit>();
        low->SetBounds(5, 300, 100, 20);
        form.Show();
        form.SetClientSize(600, 200);
        Application().ProcessMessages();
    }
    // A press on the splitter and a move to screen x, as a drag sends them.
    void Drag(int fromScreenX, int toScreenX) {
        POINT from{fromScreenX, 10}, to{toScreenX, 10};
        ScreenToClient(splitter->Handle(), &from);
        SendMessageA(splitter->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, 10));
        ScreenToClient(splitter->Handle(), &to);
        SendMessageA(splitter->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, 10));
        SendMessageA(splitter->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(to.x, 10));
    }
    int ScreenLeftOfSplitter() {
        POINT at{0, 0};
        ClientToScreen(splitter->Handle(), &at);
        return at.x;
    }
    TForm form;
    TScrollBox* box;
    TSplitter* splitter;
    TListView* list;
    TEdit* low;
};

TEST_F(ScrollAndSplit, ScrollBarAppearsForControlsBelowTheBottomAndMovesThem) {
    EXPECT_TRUE(GetWindowLongA(box->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(box->ContentHeight(), 320);
    SendMessageA(box->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    const int offset = box->ScrollOffset();
    EXPECT_EQ(offset, 320 - box->ClientHeight());
    RECT r;
    GetWindowRect(low->Handle(), &r);
    MapWindowPoints(nullptr, box->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.top, 300 - offset);
    EXPECT_EQ(low->Top(), 300); // its own position is the unscrolled one
    low->SetTop(20);
    box->UpdateScrollRange();
    EXPECT_EQ(box->ScrollOffset(), 0);
    EXPECT_FALSE(GetWindowLongA(box->Handle(), GWL_STYLE) & WS_VSCROLL);
}

TEST_F(ScrollAndSplit, TouchpadWheelDeltasAddUpToWholeNotches) {
    // A precision touchpad sends a notch in small pieces: each used to be dropped.
    const WPARAM third = MAKEWPARAM(0, static_cast<WORD>(-40));
    SendMessageA(box->Handle(), WM_MOUSEWHEEL, third, 0);
    SendMessageA(box->Handle(), WM_MOUSEWHEEL, third, 0);
    EXPECT_EQ(box->ScrollOffset(), 0);
    SendMessageA(box->Handle(), WM_MOUSEWHEEL, third, 0);
    const int oneNotch = box->ScrollOffset();
    EXPECT_GT(oneNotch, 0);
    SendMessageA(box->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(box->ScrollOffset(), std::min(2 * oneNotch, 320 - box->ClientHeight()));
}

TEST_F(ScrollAndSplit, DraggingTheSplitterResizesItsNeighbourWithinTheMinimum) {
    int moved = 0;
    splitter->OnMoved = [&](TWinControl&) { ++moved; };
    EXPECT_EQ(splitter->Left(), 157);
    Drag(ScreenLeftOfSplitter() + 1, ScreenLeftOfSplitter() + 51);
    EXPECT_EQ(box->Width(), 207);
    EXPECT_EQ(list->Left(), 210);
    Drag(ScreenLeftOfSplitter() + 1, ScreenLeftOfSplitter() - 500);
    EXPECT_EQ(box->Width(), 155);
    Drag(ScreenLeftOfSplitter() + 1, ScreenLeftOfSplitter() + 2000);
    EXPECT_EQ(box->Width(), 600 - 3 - 155);
    EXPECT_EQ(list->Width(), 155);
    EXPECT_EQ(moved, 3);
}

} // namespace
} // namespace quennet
