// The results list's menu with real files, Wine's shell file operations and the real
// destination dialog and message boxes, answered from a second thread.
#include "mainwindow/ResultsMenu.h"
#include "tests/dialogs/ModalDriver.h"
#include "tests/runtime/BoxWatcher.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace quennet;
using quennet::test::BoxWatcher;
using quennet::test::CloseIfStillOpen;
using quennet::test::FocusOfThread;
using quennet::test::PostKey;
using quennet::test::WhenShown;

namespace {

// The list as the main window keeps it: removing a row moves the later ones up, and the
// selection with them.
class FakeList : public ResultsListAccess {
  public:
    std::string folder;
    std::vector<std::string> rows; // the file names
    std::vector<int> selected;

    std::vector<int> SelectedRows() const override { return selected; }
    std::string RowName(int row) const override { return rows.at(static_cast<size_t>(row)); }
    std::string RowFolder(int) const override { return folder; }
    void RemoveRow(int row) override {
        rows.erase(rows.begin() + row);
        std::vector<int> kept;
        for (int s : selected)
            if (s != row)
                kept.push_back(s > row ? s - 1 : s);
        selected = kept;
    }
    HWND ListHandle() const override { return nullptr; }
    void ViewRowInHex(int) override {}
};

std::string TempFolder() {
    char dir[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, dir);
    return dir;
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "(missing)";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Empty(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    FindHandle find(FindFirstFileA((folder + "*").c_str(), &entry));
    if (find)
        do
            DeleteFileA((folder + entry.cFileName).c_str());
        while (FindNextFileA(find.get(), &entry));
}

class ResultsMenu : public ::testing::Test {
  protected:
    void SetUp() override {
        source = TempFolder() + "quennet menu source\\";
        target = TempFolder() + "quennet menu target\\";
        CreateDirectoryA(source.c_str(), nullptr);
        CreateDirectoryA(target.c_str(), nullptr);
        Empty(source);
        Empty(target);
        for (const char* name : {"one.txt", "two.txt", "three.txt"}) {
            Write(source + name, std::string("content of ") + name);
            list.rows.push_back(name);
        }
        list.folder = source;
        list.selected = {0, 1, 2};
        // The main window the dialog opens over and hands the activation back to.
        mainWindow.SetBounds(10, 10, 300, 200);
        mainWindow.Show();
        Application().ProcessMessages();
    }
    void TearDown() override {
        Empty(source);
        Empty(target);
        RemoveDirectoryA(source.c_str());
        RemoveDirectoryA(target.c_str());
    }

    // Chooses Move or Copy and answers the destination dialog: a folder typed into its field
    // and the button pressed, or (empty `typed`) Enter on the proposed folder.
    void Choose(int item, const std::string& typed) {
        const DWORD ui = GetCurrentThreadId();
        WhenShown user(destination.Handle(), [&](HWND window) {
            if (typed.empty()) {
                PostKey(FocusOfThread(ui), VK_RETURN);
                CloseIfStillOpen(window);
                return;
            }
            SendMessageA(destination.newDestination.HandleOrNull(), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(typed.c_str()));
            PostMessageA(destination.Button1.HandleOrNull(), BM_CLICK, 0, 0);
        });
        menu.Move1Click(item);
    }

    std::string source, target;
    TForm mainWindow;
    FakeList list;
    TFormChooseDestination destination;
    TResultsMenu menu{list, destination};
};

TEST_F(ResultsMenu, EnabledItemsFollowTheNumberOfSelectedRows) {
    const int items[] = {TResultsMenu::OpenwithNotepad1,
                         TResultsMenu::aaaa,
                         TResultsMenu::Move1,
                         TResultsMenu::Copy1,
                         TResultsMenu::Delete1,
                         TResultsMenu::Opencontainingfolder1};
    auto enabledWith = [&](std::vector<int> selection) {
        list.selected = selection;
        menu.PopupMenu1.OnPopup(menu.PopupMenu1); // as when the menu opens
        std::string states;
        for (int item : items)
            states += menu.PopupMenu1.Enabled(item) ? '1' : '0';
        return states;
    };
    //           Notepad, HEX, Move, Copy, Delete, folder
    EXPECT_EQ(enabledWith({}), "000100");
    EXPECT_EQ(enabledWith({1}), "111111");
    EXPECT_EQ(enabledWith({0, 1, 2}), "001110");
    EXPECT_EQ(enabledWith({}), "000100");
}

TEST_F(ResultsMenu, MoveRemovesOnlyTheRowsWhoseFileWasMoved) {
    // The middle file is held open without sharing, so the shell cannot move it.
    FileHandle held(
        CreateFileA((source + "two.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    Choose(TResultsMenu::Move1, target);
    held.reset();

    EXPECT_EQ(list.rows, std::vector<std::string>{"two.txt"});
    EXPECT_EQ(Read(target + "one.txt"), "content of one.txt");
    EXPECT_EQ(Read(target + "three.txt"), "content of three.txt");
    EXPECT_FALSE(Exists(source + "one.txt"));
    EXPECT_EQ(Read(source + "two.txt"), "content of two.txt");
    EXPECT_FALSE(Exists(target + "two.txt"));
}

TEST_F(ResultsMenu, CopyKeepsEveryRowAndReplacesAFileOfTheSameName) {
    Write(target + "one.txt", "older file at the destination");
    Choose(TResultsMenu::Copy1, target);

    EXPECT_EQ(list.rows, (std::vector<std::string>{"one.txt", "two.txt", "three.txt"}));
    EXPECT_EQ(Read(target + "one.txt"), "content of one.txt");
    EXPECT_EQ(Read(target + "three.txt"), "content of three.txt");
    EXPECT_EQ(Read(source + "two.txt"), "content of two.txt");
}

TEST_F(ResultsMenu, MoveOrCopyIntoTheFilesOwnFolderChangesNothing) {
    // Enter at once accepts the proposed folder, which is the one the files are in.
    for (int item : {TResultsMenu::Copy1, TResultsMenu::Move1}) {
        Choose(item, "");
        EXPECT_EQ(list.rows, (std::vector<std::string>{"one.txt", "two.txt", "three.txt"})) << item;
        for (const char* name : {"one.txt", "two.txt", "three.txt"})
            EXPECT_EQ(Read(source + name), std::string("content of ") + name) << item;
    }
}

TEST_F(ResultsMenu, ABadDestinationIsReportedAndNothingMoves) {
    BoxWatcher box("Error");
    Choose(TResultsMenu::Move1, source + "no such folder");
    const auto& seen = box.Serve();
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "Invalid directory");
    EXPECT_EQ(list.rows.size(), 3u);
    EXPECT_EQ(Read(source + "one.txt"), "content of one.txt");
}

TEST_F(ResultsMenu, DeleteAsksFirstAndCancelKeepsEverything) {
    list.selected = {0, 2};
    {
        BoxWatcher box("Confirm", "Cancel");
        menu.Delete1Click();
        const auto& seen = box.Serve();
        EXPECT_EQ(seen.text, "Are you sure you wish to delete the selected file(s)?");
        EXPECT_EQ(seen.buttons, (std::vector<std::string>{"&Yes", "Cancel"}));
    }
    EXPECT_EQ(list.rows.size(), 3u);
    EXPECT_TRUE(Exists(source + "one.txt"));
    {
        BoxWatcher box("Confirm", "&Yes");
        menu.Delete1Click();
        box.Serve();
    }
    EXPECT_EQ(list.rows, std::vector<std::string>{"two.txt"});
    EXPECT_FALSE(Exists(source + "one.txt"));
    EXPECT_FALSE(Exists(source + "three.txt"));
    EXPECT_TRUE(Exists(source + "two.txt"));
}

} // namespace
