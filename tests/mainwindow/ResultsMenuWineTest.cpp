// The results list's menu on the real list, with real files, Wine's shell file operations and
// the real destination dialog and message boxes, answered from a second thread.
#include "mainwindow/ResultsMenu.h"
#include "base/WidePath.h"
#include "runtime/Application.h"
#include "runtime/Clipboard.h"
#include "search/SearchWorker.h"
#include "tests/dialogs/ModalDriver.h"
#include "tests/runtime/BoxWatcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
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

// Whether Wine's shell put a file with these bytes in the desktop's trash, from
// where it can be restored.
bool InTrash(const std::string& bytes) {
    // Wine names the user's Unix home in WINEHOMEDIR ("\\??\\Z:\\root").
    const char* data = getenv("XDG_DATA_HOME");
    const char* wineHome = getenv("WINEHOMEDIR");
    std::string trash;
    if (data && *data)
        trash = std::string("Z:") + data + "\\Trash\\";
    else if (wineHome && std::string(wineHome).rfind("\\??\\", 0) == 0)
        trash = std::string(wineHome + 4) + "\\.local\\share\\Trash\\";
    for (char& c : trash)
        if (c == '/')
            c = '\\';
    WIN32_FIND_DATAA entry;
    FindHandle find(FindFirstFileA((trash + "files\\*").c_str(), &entry));
    if (find)
        do
            if (Read(trash + "files\\" + entry.cFileName) == bytes)
                return true;
        while (FindNextFileA(find.get(), &entry));
    return false;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every file in the folder and in its subfolders, each named as itself ("\\?\"), so that a
// name ending in a dot goes too and not another file in its place.
void Empty(const std::string& folder) {
    const std::wstring literal = L"\\\\?\\" + Utf8ToWide(folder);
    WIN32_FIND_DATAW entry;
    FindHandle find(FindFirstFileW((literal + L"*").c_str(), &entry));
    if (find)
        do {
            const std::wstring name = entry.cFileName;
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((literal + name).c_str());
            else if (name != L"." && name != L"..") {
                Empty(WideToUtf8(literal.substr(4) + name + L"\\"));
                RemoveDirectoryW((literal + name).c_str());
            }
        } while (FindNextFileW(find.get(), &entry));
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
        // The main window the dialog opens over and hands the activation back to.
        mainWindow.SetBounds(10, 10, 300, 200);
        files.SetAlign(alClient);
        mainWindow.Show();
        Application().ProcessMessages();
        for (const char* name : {"one.txt", "two.txt", "three.txt"}) {
            Write(source + name, std::string("content of ") + name);
            Add(name);
        }
        Select({0, 1, 2});
    }
    void TearDown() override {
        Empty(source);
        Empty(target);
        RemoveDirectoryA(source.c_str());
        RemoveDirectoryA(target.c_str());
    }

    // A row for the file `name` in `folder` (the source when empty), listed at once.
    void Add(const std::string& name, const std::string& folder = "", std::int64_t matchOffset = 0) {
        list.Append(ResultRow{name, folder.empty() ? source : folder, 1, matchOffset, 0});
        list.Commit();
    }
    void Select(const std::vector<int>& rows) {
        files.SetSelected(-1, false);
        for (int row : rows)
            files.SetSelected(row, true);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int row = 0; row < list.Count(); ++row)
            names.push_back(list.CellText(row, 0));
        return names;
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
    TListView& files = mainWindow.Add<TListView>();
    ResultsList list{files};
    std::vector<ChosenRow> viewed; // what the window was asked to show in its viewer
    int saves = 0;                 // how often it was asked to save the list
    int notReadShown = 0;          // how often it was asked to list the files not read
    bool anyNotRead = false;
    TFormChooseDestination destination;
    TResultsMenu menu{list, destination,
                      ResultsMenuCallbacks{[this](const ChosenRow& row) { viewed.push_back(row); }, [this] { ++saves; },
                                           [this] { ++notReadShown; }, [this] { return anyNotRead; }}};
};

TEST_F(ResultsMenu, EnabledItemsFollowTheNumberOfSelectedRows) {
    const int items[] = {TResultsMenu::OpenwithNotepad1, TResultsMenu::aaaa,
                         TResultsMenu::Move1,            TResultsMenu::Copy1,
                         TResultsMenu::Delete1,          TResultsMenu::Opencontainingfolder1,
                         TResultsMenu::Copyfullpaths1,   TResultsMenu::Savelistas1,
                         TResultsMenu::Filesnotread1};
    auto enabledWith = [&](std::vector<int> selection) {
        Select(selection);
        menu.PopupMenu1.OnPopup(menu.PopupMenu1); // as when the menu opens
        std::string states;
        for (int item : items)
            states += menu.PopupMenu1.Enabled(item) ? '1' : '0';
        return states;
    };
    for (const char* name : {"a", "b", "c"})
        Add(name);
    //           Notepad, HEX, Move, Copy, Delete, folder, Copy full paths, Save list as, not read
    EXPECT_EQ(enabledWith({}), "000100010");
    EXPECT_EQ(enabledWith({1}), "111111110");
    EXPECT_EQ(enabledWith({0, 1, 2}), "001110110");
    list.Clear();
    EXPECT_EQ(enabledWith({}), "000100000") << "an empty list has nothing to save";
    anyNotRead = true;
    EXPECT_EQ(enabledWith({}), "000100001") << "files not read are listed with or without rows";
    menu.Filesnotread1Click();
    EXPECT_EQ(notReadShown, 1);
    EXPECT_EQ(menu.PopupMenu1.Count(), 12) << "the new items come after the old ones";
}

// The clipboard's text, or "(none)".
std::string ClipboardText() {
    std::string text = "(none)";
    if (!OpenClipboard(nullptr))
        return "(not opened)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        GlobalLockGuard<wchar_t> chars(data);
        if (chars)
            text = WideToUtf8(chars.get());
    }
    CloseClipboard();
    return text;
}

// The items reach the list's rows in the list's order, and the window for what is its own.
TEST_F(ResultsMenu, ItemsActOnTheSelectedRowsOfTheListAndAskTheWindowForItsOwn) {
    const std::string other = source + "\u0434\u043e\u043c\\"; // a name outside the ANSI code page
    Add("late.txt", other, 77);
    Select({3, 2, 0});
    menu.PopupMenu1.Choose(TResultsMenu::Copyfullpaths1);
    EXPECT_EQ(ClipboardText(), source + "one.txt\r\n" + source + "three.txt\r\n" + other + "late.txt\r\n");

    SetClipboardText(nullptr, "left alone");
    Select({});
    menu.PopupMenu1.Choose(TResultsMenu::Copyfullpaths1);
    EXPECT_EQ(ClipboardText(), "left alone") << "nothing selected, nothing copied";

    Select({3});
    menu.PopupMenu1.Choose(TResultsMenu::aaaa);
    ASSERT_EQ(viewed.size(), 1u);
    EXPECT_EQ(viewed[0].Path(), other + "late.txt");
    EXPECT_EQ(viewed[0].MatchOffset, 77);
    EXPECT_EQ(saves, 0);
    menu.PopupMenu1.Choose(TResultsMenu::Savelistas1);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(viewed.size(), 1u);
}

TEST_F(ResultsMenu, MoveRemovesOnlyTheRowsWhoseFileWasMoved) {
    // The middle file is held open without sharing, so the shell cannot move it.
    FileHandle held(
        CreateFileA((source + "two.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    BoxWatcher box("Error");
    Choose(TResultsMenu::Move1, target);
    const auto& seen = box.Serve();
    held.reset();
    EXPECT_EQ(seen.text.rfind("These files could not be moved:\r\n" + source + "two.txt: ", 0), 0u) << seen.text;

    EXPECT_EQ(Names(), std::vector<std::string>{"two.txt"});
    EXPECT_EQ(Read(target + "one.txt"), "content of one.txt");
    EXPECT_EQ(Read(target + "three.txt"), "content of three.txt");
    EXPECT_FALSE(Exists(source + "one.txt"));
    EXPECT_EQ(Read(source + "two.txt"), "content of two.txt");
    EXPECT_FALSE(Exists(target + "two.txt"));
}

TEST_F(ResultsMenu, CopyKeepsEveryRowAndReplacesAFileOfTheSameNameWhichGoesToTheRecycleBin) {
    const std::string older = "older file at the destination " + std::to_string(GetTickCount());
    Write(target + "one.txt", older);
    Choose(TResultsMenu::Copy1, target);
    EXPECT_TRUE(InTrash(older)) << "the replaced file can be restored";

    EXPECT_EQ(Names(), (std::vector<std::string>{"one.txt", "two.txt", "three.txt"}));
    EXPECT_EQ(Read(target + "one.txt"), "content of one.txt");
    EXPECT_EQ(Read(target + "three.txt"), "content of three.txt");
    EXPECT_EQ(Read(source + "two.txt"), "content of two.txt");
}

TEST_F(ResultsMenu, MoveOrCopyIntoTheFilesOwnFolderChangesNothingAndSaysWhy) {
    // Enter at once accepts the proposed folder, which is the one the files are in.
    for (int item : {TResultsMenu::Copy1, TResultsMenu::Move1}) {
        Select({0, 2});
        BoxWatcher box("Error");
        Choose(item, "");
        EXPECT_EQ(destination.Button1.Caption(), item == TResultsMenu::Copy1 ? "Copy" : "Move");
        EXPECT_EQ(box.Serve().text, std::string(item == TResultsMenu::Copy1 ? "These files could not be copied:"
                                                                            : "These files could not be moved:") +
                                        "\r\n" + source + "one.txt: it is already in that folder.\r\n" + source +
                                        "three.txt: it is already in that folder.");
        EXPECT_EQ(Names(), (std::vector<std::string>{"one.txt", "two.txt", "three.txt"})) << item;
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
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(Read(source + "one.txt"), "content of one.txt");
}

TEST_F(ResultsMenu, DeleteAsksFirstAndCancelKeepsEverything) {
    Select({0, 2});
    {
        BoxWatcher box("Confirm", "Cancel");
        menu.Delete1Click();
        const auto& seen = box.Serve();
        EXPECT_EQ(seen.text, "Are you sure you wish to delete the selected file(s)?");
        EXPECT_EQ(seen.buttons, (std::vector<std::string>{"&Yes", "Cancel"}));
    }
    EXPECT_EQ(list.Count(), 3);
    EXPECT_TRUE(Exists(source + "one.txt"));
    {
        BoxWatcher box("Confirm", "&Yes");
        menu.Delete1Click();
        box.Serve();
    }
    EXPECT_EQ(Names(), std::vector<std::string>{"two.txt"});
    EXPECT_FALSE(Exists(source + "one.txt"));
    EXPECT_FALSE(Exists(source + "three.txt"));
    EXPECT_TRUE(Exists(source + "two.txt"));
}

} // namespace

namespace {

// A name the ANSI functions could not give comes back with "?"; as a pattern "t??.txt" would
// match two.txt. Nothing is handed to the shell, the row stays and the message names it.
TEST_F(ResultsMenu, APathHoldingAWildcardIsRefusedAndTouchesNothing) {
    Add("t??.txt");
    Select({3});
    {
        BoxWatcher box("Error"); // nothing else to delete: no question
        menu.Delete1Click();
        EXPECT_EQ(box.Serve().text, "These files were not deleted:\r\n" + source +
                                        "t??.txt: its name holds a character this system could not give, so it "
                                        "does not name one file.");
    }
    Select({3});
    BoxWatcher box("Error");
    Choose(TResultsMenu::Move1, target);
    EXPECT_NE(box.Serve().text.find("t??.txt: its name holds"), std::string::npos);
    EXPECT_EQ(list.Count(), 4);
    for (const char* name : {"one.txt", "two.txt", "three.txt"})
        EXPECT_EQ(Read(source + name), std::string("content of ") + name);
    EXPECT_FALSE(Exists(target + "two.txt"));
}

// Two selected files of one name into one folder: the first goes, the second keeps its file
// and its row, and one message lists it. A path too long for the shell is refused the same way.
TEST_F(ResultsMenu, OfTwoSameNamedFilesOnlyTheFirstIsMovedAndALongPathIsRefused) {
    const std::string other = TempFolder() + "quennet menu other\\";
    CreateDirectoryA(other.c_str(), nullptr);
    Write(other + "ONE.txt", "the other one");
    Add("ONE.txt", other);
    const std::string deep = source + std::string(250, 'x') + "\\";
    Add("long.txt", deep);
    Select({0, 3, 4});
    BoxWatcher box("Error");
    Choose(TResultsMenu::Move1, target);
    // The long path is shown over several lines, to fit the screen.
    auto unwrapped = [](std::string text) {
        text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }), text.end());
        return text;
    };
    EXPECT_EQ(unwrapped(box.Serve().text), unwrapped("These files could not be moved:\r\n" + other +
                                                     "ONE.txt: a file of the same name goes to that folder first.\r\n" +
                                                     deep +
                                                     "long.txt: the path is longer than the shell's file operations "
                                                     "take (259 characters)."));
    EXPECT_EQ(Names(), (std::vector<std::string>{"two.txt", "three.txt", "ONE.txt", "long.txt"}));
    EXPECT_EQ(Read(target + "one.txt"), "content of one.txt");
    EXPECT_EQ(Read(other + "ONE.txt"), "the other one");
    DeleteFileA((other + "ONE.txt").c_str());
    RemoveDirectoryA(other.c_str());
}

} // namespace

namespace {

std::string TrashInfoNaming(const std::string& name);

// The source held open without sharing: the shell cannot read or move it. The file of the same
// name at the destination was sent to the Recycle Bin before the operation was tried, and a
// failed Copy said nothing at all.
TEST_F(ResultsMenu, AFailedMoveOrCopyKeepsTheFileItWouldHaveReplacedAndSaysSo) {
    for (int item : {TResultsMenu::Move1, TResultsMenu::Copy1}) {
        const std::string older =
            "older one.txt at the destination " + std::to_string(item) + " " + std::to_string(GetTickCount());
        Write(target + "one.txt", older);
        Select({0});
        FileHandle held(
            CreateFileA((source + "one.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        BoxWatcher box("Error");
        Choose(item, target);
        const std::string text = box.Serve().text;
        held.reset();
        EXPECT_EQ(text, std::string(item == TResultsMenu::Copy1 ? "These files could not be copied:"
                                                                : "These files could not be moved:") +
                            "\r\n" + source + "one.txt: it is in use by another program; " + target +
                            "one.txt, which it would have replaced, is as it was.")
            << item;
        EXPECT_EQ(Read(target + "one.txt"), older) << item;
        EXPECT_FALSE(InTrash(older)) << item;
        EXPECT_EQ(Read(source + "one.txt"), "content of one.txt") << item;
        EXPECT_FALSE(Exists(target + "one (replaced).txt")) << item;
        EXPECT_EQ(list.Count(), 3) << item;
    }
}

// The replaced file goes to the Recycle Bin under a name that tells what it was, so that
// restoring it does not land on the new file.
TEST_F(ResultsMenu, AMoveOverAFileOfTheSameNameLeavesTheOldOneRestorableFromTheRecycleBin) {
    const std::string older = "older two.txt, moved over " + std::to_string(GetTickCount());
    Write(target + "two.txt", older);
    Select({1});
    Choose(TResultsMenu::Move1, target);
    EXPECT_EQ(Read(target + "two.txt"), "content of two.txt");
    EXPECT_FALSE(Exists(source + "two.txt"));
    EXPECT_FALSE(Exists(target + "two (replaced).txt"));
    EXPECT_TRUE(InTrash(older));
    EXPECT_TRUE(!TrashInfoNaming("two%20(replaced).txt").empty()) << "its record names where it was";
    EXPECT_EQ(Names(), (std::vector<std::string>{"one.txt", "three.txt"}));
}

// Delete of a file held open without sharing was silent and left the row selected.
TEST_F(ResultsMenu, ADeleteThatFailsSaysSoAndKeepsTheFileAndTheRow) {
    Select({1, 2});
    FileHandle held(CreateFileA((source + "two.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    {
        BoxWatcher question("Confirm", "&Yes");
        BoxWatcher box("Error");
        menu.Delete1Click();
        question.Serve();
        EXPECT_EQ(box.Serve().text,
                  "These files were not deleted:\r\n" + source + "two.txt: it is in use by another program.");
    }
    held.reset();
    EXPECT_EQ(Read(source + "two.txt"), "content of two.txt");
    EXPECT_FALSE(Exists(source + "three.txt"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"one.txt", "two.txt"}));
}

// Windows paths drop a trailing dot or space and split at a backslash: "x\trailing dot." is
// "x\trailing dot". Every action used to act on the other file.
TEST_F(ResultsMenu, ANameWindowsWouldReadAsAnotherFileIsRefusedAndTheOtherFileUntouched) {
    // "\\?\" paths take names literally, as a file made on another system has them.
    auto literal = [](const std::string& path) { return std::wstring(L"\\\\?\\") + Utf8ToWide(path); };
    for (const char* name : {"trailing dot", "tspace"}) {
        Write(source + name, std::string("the other file, ") + name);
        Add(name);
    }
    for (const char* name : {"trailing dot.", "tspace "}) {
        FileHandle made(CreateFileW(literal(source + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(made) << name << " " << GetLastError();
        Add(name);
    }
    CreateDirectoryA((source + "back").c_str(), nullptr);
    Write(source + "back\\slash.txt", "the other file, back/slash.txt");
    Add("back\\slash.txt"); // made on Unix; Windows cannot make it
    const std::vector<int> odd = {5, 6, 7};
    const std::string why[] = {
        "its name ends in a dot, which Windows leaves out of paths: it would reach another file.",
        "its name ends in a space, which Windows leaves out of paths: it would reach another file.",
        "its name holds a backslash, which Windows takes for a folder separator: it would reach another file."};
    auto expected = [&](const std::string& heading) {
        std::string text = heading;
        for (size_t i = 0; i < odd.size(); ++i)
            text += "\r\n" + source + list.CellText(odd[i], 0) + ": " + why[i];
        return text;
    };
    {
        Select(odd);
        BoxWatcher box("Error");
        menu.Delete1Click();
        EXPECT_EQ(box.Serve().text, expected("These files were not deleted:"));
    }
    for (int item : {TResultsMenu::Move1, TResultsMenu::Copy1}) {
        Select(odd);
        BoxWatcher box("Error");
        Choose(item, target);
        EXPECT_EQ(box.Serve().text, expected(item == TResultsMenu::Copy1 ? "These files could not be copied:"
                                                                         : "These files could not be moved:"));
    }
    EXPECT_EQ(list.Count(), 8) << "the rows stay";
    EXPECT_EQ(Read(source + "trailing dot"), "the other file, trailing dot");
    EXPECT_EQ(Read(source + "tspace"), "the other file, tspace");
    EXPECT_EQ(Read(source + "back\\slash.txt"), "the other file, back/slash.txt");
    for (const char* name : {"trailing dot.", "tspace "})
        EXPECT_NE(GetFileAttributesW(literal(source + name).c_str()), INVALID_FILE_ATTRIBUTES) << name;
    for (const char* name : {"trailing dot", "tspace", "slash.txt"})
        EXPECT_FALSE(Exists(target + name)) << name;
}

// Delete asked "Are you sure...?" and only then refused a name Windows paths cannot say.
TEST_F(ResultsMenu, DeleteRefusesUnsayableNamesBeforeAskingAboutTheRest) {
    auto literal = [](const std::string& path) { return std::wstring(L"\\\\?\\") + Utf8ToWide(path); };
    FileHandle made(CreateFileW(literal(source + "tspace ").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(made) << GetLastError();
    made.reset();
    Add("tspace ");
    std::atomic<int> shown{0};
    int errorAt = -1, questionAt = -1;
    {
        Select({0, 3});
        BoxWatcher box("Error", "", [&] { return errorAt = shown++, true; });
        BoxWatcher question("Confirm", "&Yes", [&] { return questionAt = shown++, true; });
        menu.Delete1Click();
        EXPECT_EQ(box.Serve().text, "These files were not deleted:\r\n" + source +
                                        "tspace : its name ends in a space, which Windows leaves out of paths: it "
                                        "would reach another file.");
        EXPECT_EQ(question.Serve().text, "Are you sure you wish to delete the selected file(s)?");
    }
    EXPECT_EQ(errorAt, 0) << "the refusal comes first";
    EXPECT_EQ(questionAt, 1);
    EXPECT_FALSE(Exists(source + "one.txt"));
    EXPECT_NE(GetFileAttributesW(literal(source + "tspace ").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Names(), (std::vector<std::string>{"two.txt", "three.txt", "tspace "}));
    {
        // Nothing left to delete: nothing to ask.
        Select({2});
        BoxWatcher box("Error", "", [&] { return errorAt = shown++, true; });
        BoxWatcher question("Confirm", "Cancel", [&] { return questionAt = shown++, true; });
        menu.Delete1Click();
        box.Serve();
    }
    EXPECT_EQ(shown, 3) << "no question for rows that were all refused";
    EXPECT_EQ(questionAt, 1);
    EXPECT_TRUE(Exists(source + "two.txt"));
}

// The trash record (Wine keeps the desktop's trash) whose Path ends with `name`, URL-encoded.
std::string TrashInfoNaming(const std::string& name) {
    const char* data = getenv("XDG_DATA_HOME");
    const char* wineHome = getenv("WINEHOMEDIR");
    std::string trash;
    if (data && *data)
        trash = std::string("Z:") + data + "\\Trash\\";
    else if (wineHome && std::string(wineHome).rfind("\\??\\", 0) == 0)
        trash = std::string(wineHome + 4) + "\\.local\\share\\Trash\\";
    for (char& c : trash)
        if (c == '/')
            c = '\\';
    WIN32_FIND_DATAA entry;
    FindHandle find(FindFirstFileA((trash + "info\\*.trashinfo").c_str(), &entry));
    if (find)
        do {
            const std::string info = Read(trash + "info\\" + entry.cFileName);
            if (info.find("/" + name + "\n") != std::string::npos)
                return info;
        } while (FindNextFileA(find.get(), &entry));
    return std::string();
}

} // namespace
