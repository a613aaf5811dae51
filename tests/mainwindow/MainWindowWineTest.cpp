// The main window under Wine: the real window, real controls and messages, real message
// boxes answered from a second thread, the real registry of the test prefix.
#include "dialogs/destinationForm.h"
#include "dialogs/folderpick.h"
#include "dialogs/hexview.h"
#include "mainwindow/BufferAdjust.h"
#include "mainwindow/main.h"
#include "runtime/Application.h"
#include "runtime/Registry.h"
#include "tests/dialogs/ModalDriver.h"
#include "tests/runtime/BoxWatcher.h"
#include "tests/runtime/OleSuite.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace quennet {
namespace {

using test::BoxWatcher;
using test::PumpUntil;

std::string TempFolder(const std::string& name) {
    char base[MAX_PATH] = "";
    GetTempPathA(sizeof base, base);
    std::string path =
        std::string(base) + "quennet-main-" + name + "-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A file of `size` bytes that costs no disk (the host's file system makes it sparse): read
// back as zeros, slowly enough to stop.
void WriteSparseFile(const std::string& path, std::int64_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = size;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

void DeleteStoredSettings() {
    TRegistry registry(HKEY_CURRENT_USER);
    registry.DeleteKey(kSettingsKey);
}

void Pump(int ms) {
    PumpUntil([] { return false; }, ms);
}

// Keys as the keyboard brings them: through the message loop, to the focused window.
void PressKey(TWinControl& control, WORD key) {
    control.SetFocus();
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageA(GetFocus(), WM_KEYUP, key, 0xC0000001);
    Pump(50);
}

// Pixels of a control as the screen shows them.
int DarkPixels(TWinControl& control) {
    RECT r;
    GetWindowRect(control.Handle(), &r);
    HDC screen = GetDC(nullptr);
    int dark = 0;
    for (int y = r.top + 3; y < r.bottom - 3; ++y)
        for (int x = r.left + 3; x < r.right - 3; ++x) {
            const COLORREF c = GetPixel(screen, x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200)
                ++dark;
        }
    ReleaseDC(nullptr, screen);
    return dark;
}

COLORREF CentrePixel(TWinControl& control) {
    RECT r;
    GetWindowRect(control.Handle(), &r);
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return c;
}

// The folder picker's shell tree needs OLE on this thread, as the program has it.
class MainWindow : public test::OleSuite {
  protected:
    void SetUp() override { DeleteStoredSettings(); }
    void TearDown() override {
        form_.reset();
        DeleteStoredSettings();
    }

    TForm1& Open(const std::string& lookIn) {
        form_ = std::make_unique<TForm1>(lookIn);
        form_->Show();
        Pump(100);
        return *form_;
    }

    bool WaitForDone(int ms = 30000) {
        return PumpUntil([this] { return !form_->searchControl.Searching(); }, ms) &&
               form_->StatusBar.PanelText(0) == "Done";
    }

    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (int i = 0; i < form_->results.Count(); ++i)
            rows.push_back(form_->results.CellText(i, 0) + "|" + form_->results.CellText(i, 1) + "|" +
                           form_->results.CellText(i, 2));
        return rows;
    }

    std::unique_ptr<TForm1> form_;
};

TEST_F(MainWindow, FirstRunDefaultsAndTheCommandLineFolder) {
    const std::string folder = TempFolder("defaults");
    TForm1& form = Open(folder);
    EXPECT_EQ(form.Caption(), "Quennet by Ketrel --- Visit www.morvane.com");
    EXPECT_EQ(form.Left(), 298);
    EXPECT_EQ(form.Top(), 89);
    EXPECT_EQ(form.Width(), 817);
    EXPECT_EQ(form.Height(), 614 + kFiltersHeight);
    EXPECT_EQ(form.Panel2.Width(), 157);
    // "Match" was off-screen at this size (only "Mat" showed): all four columns are in view,
    // also beside a vertical scroll bar.
    RECT list{};
    GetClientRect(form.files.HandleOrNull(), &list);
    int columns = 0;
    for (int column = 0; column < 4; ++column)
        columns += form.files.ColumnWidth(column);
    EXPECT_LE(columns, list.right - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_GE(form.files.ColumnWidth(3), 200) << "room for a line around a match";
    for (const auto& [column, caption] : {std::pair{0, "Name"}, {1, "In Folder"}, {2, "Size"}, {3, "Match"}}) {
        char text[32] = "";
        LVCOLUMNA header{};
        header.mask = LVCF_TEXT;
        header.pszText = text;
        header.cchTextMax = sizeof text;
        SendMessageA(form.files.HandleOrNull(), LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&header));
        EXPECT_STREQ(text, caption) << column;
    }
    EXPECT_FALSE(form.CaseSensitive.Checked());
    EXPECT_TRUE(form.selfadj.Checked());
    EXPECT_TRUE(form.autoadjust.Enabled());
    EXPECT_GE(form.maxbuf.Value(), 1);
    EXPECT_LE(form.maxbuf.Value(), 200);
    EXPECT_FALSE(form.MinSize.Enabled());
    EXPECT_FALSE(form.MaxSize.Enabled());
    EXPECT_TRUE(form.typeText.Checked());
    EXPECT_EQ(form.search.Caption(), "Search");
    EXPECT_TRUE(IsChild(form.fname.HandleOrNull(), GetFocus()))
        << "the name field has the focus on first show";
    EXPECT_EQ(form.OnlyFiles.Text(), "") << "a first start shows the filters empty";
    EXPECT_EQ(form.SkipFiles.Text(), "");
    EXPECT_EQ(form.SkipFolders.Text(), "");
    EXPECT_FALSE(form.ModifiedAfterCheck.Checked() || form.ModifiedBeforeCheck.Checked());
    EXPECT_FALSE(form.ModifiedAfter.Enabled() || form.ModifiedBefore.Enabled());
    EXPECT_EQ(form.fname.ItemCount() + form.ss.ItemCount(), 0);
    for (int panel = 0; panel < 4; ++panel)
        EXPECT_EQ(form.StatusBar.PanelText(panel), "");

    // Entry 0 stands for the fixed drives; the folder of the command line comes after "Browse...".
    const int count = form.pathlist.ItemCount();
    ASSERT_GE(count, 3);
    EXPECT_EQ(form.pathlist.ItemCaption(0), "Local Hard Drives (" + form.lookIn.LocalDrivesText() + ")");
    EXPECT_NE(form.lookIn.LocalDrivesText().find("C:;"), std::string::npos);
    EXPECT_EQ(form.pathlist.ItemCaption(form.lookIn.BrowseIndex()), "Browse...");
    EXPECT_EQ(form.lookIn.BrowseIndex(), count - 2);
    EXPECT_EQ(form.pathlist.ItemCaption(count - 1), folder);
    EXPECT_EQ(form.pathlist.ItemIndex(), count - 1);

    // Every control inside the panel's visible width, none hidden under a frame.
    const RECT panel = form.Panel2.ClientRect();
    for (TWinControl* control :
         {static_cast<TWinControl*>(&form.fname), static_cast<TWinControl*>(&form.ss),
          static_cast<TWinControl*>(&form.maxbuf), static_cast<TWinControl*>(&form.pathlist),
          static_cast<TWinControl*>(&form.search), static_cast<TWinControl*>(&form.AboutButton)}) {
        EXPECT_LE(control->Left() + control->Width(), panel.right) << control->Caption();
    }
}

TEST_F(MainWindow, ADriveRootArgumentSelectsTheDriveEntry) {
    TForm1& form = Open("c:\\");
    EXPECT_EQ(form.pathlist.ItemCaption(form.pathlist.ItemIndex()), "C:\\");
    EXPECT_EQ(form.pathlist.ItemCaption(form.pathlist.ItemCount() - 1), "Browse...") << "nothing added";
}

TEST_F(MainWindow, SearchListsTheMatchingFilesWithTheirTexts) {
    const std::string root = TempFolder("search");
    CreateDirectoryA((root + "\\sub").c_str(), nullptr);
    CreateDirectoryA((root + "\\.hidden").c_str(), nullptr);
    WriteFile(root + "\\a.txt", "xx Hello world");
    WriteFile(root + "\\b.txt", std::string(1536, 'z') + "hello");
    WriteFile(root + "\\c.txt", "nothing here");
    WriteFile(root + "\\sub\\d.txt", "HELLO");
    WriteFile(root + "\\.hidden\\e.txt", "hello");
    TForm1& form = Open(root);
    form.ss.SetText("hello");
    PressKey(form.fname, VK_RETURN);
    ASSERT_TRUE(WaitForDone());
    const std::string folder = root + "\\";
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt|" + folder + "|14 b", "b.txt|" + folder + "|1.50 KB",
                                                "d.txt|" + folder + "sub\\|5 b"}));
    EXPECT_EQ(form.results.Store().MatchOffset(0), 3);
    // The frames lie beneath the controls they surround, and the look-in box shows its text
    // again once the search has unlocked it.
    form.Repaint();
    Pump(100);
    EXPECT_EQ(CentrePixel(form.ss), GetSysColor(COLOR_WINDOW))
        << "the phrase field is not hidden by its frame";
    EXPECT_GT(DarkPixels(form.pathlist), 20) << "the look-in text is painted";
    EXPECT_EQ(form.results.Store().MatchOffset(1), 1536);
    EXPECT_EQ(form.StatusBar.PanelText(1), "3 files found.");
    EXPECT_EQ(form.StatusBar.PanelText(2), "");
    EXPECT_EQ(form.StatusBar.PanelText(3), "Search took 0 seconds.");
    EXPECT_EQ(form.search.Caption(), "Search");
    EXPECT_TRUE(form.fname.Enabled() && form.ss.Enabled() && form.CaseSensitive.Enabled() &&
                form.maxbuf.Enabled() && form.selfadj.Enabled() && form.pathlist.Enabled());

    // Case sensitive: only the exact bytes.
    form.CaseSensitive.SetChecked(true);
    form.ss.SetText("HELLO");
    PressKey(form.ss, VK_RETURN);
    ASSERT_TRUE(WaitForDone());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"d.txt|" + folder + "sub\\|5 b"}));

    // The size bounds apply when "Specify size" is ticked (by Space, as the keyboard does).
    form.CaseSensitive.SetChecked(false);
    form.ss.SetText("");
    PressKey(form.SpecSize, VK_SPACE);
    EXPECT_TRUE(form.SpecSize.Checked());
    EXPECT_TRUE(form.MinSize.Enabled() && form.MaxSize.Enabled());
    form.MinSize.SetValue(1);
    PressKey(form.MinSize, VK_RETURN);
    ASSERT_TRUE(WaitForDone());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b.txt|" + folder + "|1.50 KB"}));
}

TEST_F(MainWindow, FailedChecksEndTheSearchWithTheListEmptyAndTheLastCount) {
    const std::string root = TempFolder("checks");
    WriteFile(root + "\\one.txt", "1");
    WriteFile(root + "\\two.txt", "2");
    TForm1& form = Open(root);
    form.searchClick();
    ASSERT_TRUE(WaitForDone());
    ASSERT_EQ(form.results.Count(), 2);

    // The size order is checked even with "Specify size" unchecked.
    form.MinSize.SetValue(100);
    form.MaxSize.SetValue(50);
    {
        BoxWatcher box("Error");
        form.searchClick();
        EXPECT_EQ(box.Serve().text, "Error: Maximum size is lower than minimum size !");
    }
    ASSERT_TRUE(WaitForDone());
    EXPECT_EQ(form.results.Count(), 0);
    EXPECT_EQ(form.StatusBar.PanelText(1), "2 files found.") << "the count of the last search stays";
    form.MaxSize.SetValue(0);

    // HEX: an odd digit count; "Case sensitive" stays checked and greyed after the search.
    form.typeHEX.SetChecked(true);
    form.typeHEX.Click();
    EXPECT_FALSE(form.CaseSensitive.Enabled());
    EXPECT_TRUE(form.CaseSensitive.Checked());
    EXPECT_EQ(form.Label3.Caption(), "HEX String:");
    form.ss.SetText("4D5");
    {
        BoxWatcher box("Error");
        form.searchClick();
        EXPECT_EQ(box.Serve().text, "Invalid HEX string !");
    }
    ASSERT_TRUE(WaitForDone());
    EXPECT_EQ(form.results.Count(), 0);
    EXPECT_EQ(form.StatusBar.PanelText(1), "2 files found.");
    EXPECT_FALSE(form.CaseSensitive.Enabled());
    EXPECT_TRUE(form.CaseSensitive.Checked());

    // A valid HEX phrase: '1' is 0x31.
    form.ss.SetText("31");
    form.searchClick();
    ASSERT_TRUE(WaitForDone());
    EXPECT_EQ(form.results.Count(), 1);
    EXPECT_FALSE(form.CaseSensitive.Enabled());
    EXPECT_TRUE(form.CaseSensitive.Checked());

    // Back to Text: the phrase turns back into text and the box is usable again, still checked.
    form.typeText.SetChecked(true);
    form.typeText.Click();
    EXPECT_EQ(form.ss.Text(), "1");
    EXPECT_TRUE(form.CaseSensitive.Enabled());
    EXPECT_TRUE(form.CaseSensitive.Checked());

    // A look-in text that is no drive folder starts nothing.
    form.pathlist.SetEditText("\\\\server\\share");
    form.pathlist.SetItemIndex(-1);
    form.pathlist.SetEditText("\\\\server\\share");
    {
        BoxWatcher box("Error");
        form.searchClick();
        EXPECT_EQ(box.Serve().text, "Invalid directory.");
    }
    EXPECT_FALSE(form.searchControl.Searching());
    EXPECT_EQ(form.StatusBar.PanelText(1), "1 files found.");
}

// Handles the waiting messages one at a time, in the order they came, until no key message
// is left. A call the worker queues after the first key was handled lies behind the keys
// posted with it.
void HandleThePostedKeys() {
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE))
        Application().HandleMessage();
}

TEST_F(MainWindow, EnterInASizeBoxStopsTheSearchAndAgainDoesNothing) {
    const std::string root = TempFolder("stop");
    // Read as zeros for far longer than the test runs, however many scanners share it.
    WriteSparseFile(root + "\\big.bin", 256LL << 30);
    TForm1& form = Open(root);
    form.selfadj.SetChecked(false);
    form.maxbuf.SetValue(200);
    form.ss.SetText("needle");
    PressKey(form.SpecSize, VK_SPACE);
    PressKey(form.fname, VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return form.search.Caption() == "Stop"; }));
    EXPECT_FALSE(form.fname.Enabled());
    EXPECT_FALSE(form.maxbuf.Enabled());
    EXPECT_FALSE(form.pathlist.Enabled());
    EXPECT_FALSE(form.CaseSensitive.Enabled());
    for (TWinControl* filter : std::initializer_list<TWinControl*>{
             &form.OnlyFiles, &form.SkipFiles, &form.SkipFolders, &form.ModifiedAfterCheck,
             &form.ModifiedBeforeCheck, &form.ModifiedAfter})
        EXPECT_FALSE(filter->Enabled()) << "the filters shape the search: locked";
    EXPECT_TRUE(form.MinSize.Enabled()) << "the size controls stay usable";
    EXPECT_EQ(form.StatusBar.PanelText(0), "Searching...");
    Pump(300);
    // A stop ends the scanners within one chunk, so the worker's last step may be queued at
    // once: both Enters are posted together, and the second is handled before that step can
    // run, while the stop is pending.
    form.MinSize.SetFocus();
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    HandleThePostedKeys();
    EXPECT_TRUE(form.searchControl.Searching());
    EXPECT_TRUE(form.searchControl.StopPending()) << "the second Enter did not take back the stop";
    EXPECT_EQ(form.search.Caption(), "Stopping...");
    EXPECT_FALSE(form.search.Enabled());
    ASSERT_TRUE(WaitForDone());
    Pump(300);
    EXPECT_FALSE(form.searchControl.Searching()) << "the second Enter started nothing";
    EXPECT_EQ(form.search.Caption(), "Search");
    EXPECT_TRUE(form.search.Enabled());
    EXPECT_EQ(form.results.Count(), 0) << "a file whose scan was cut short is not listed";
}

// "Search took N seconds." counted the ticks of a one-second timer, which a busy window thread
// loses: a search of 6 to 9 seconds showed 2 to 4. The window's thread is held here for more
// than three seconds inside the search, so the clock counts at least three, and at most the
// seconds the whole test took.
TEST_F(MainWindow, SearchTookCountsTheClocksSecondsThoughTheWindowsThreadWasBusy) {
    const std::string root = TempFolder("clock");
    WriteSparseFile(root + "\\big.bin", 256LL << 30); // read far longer than the test runs
    TForm1& form = Open(root);
    form.ss.SetText("needle");
    const auto before = std::chrono::steady_clock::now();
    form.searchClick();
    ASSERT_TRUE(PumpUntil([&] { return form.search.Caption() == "Stop"; }));
    Sleep(3200); // busy: no timer message is handled meanwhile
    Pump(100);
    form.searchClick(); // stop
    ASSERT_TRUE(WaitForDone());
    const auto after = std::chrono::steady_clock::now();
    const std::string text = form.StatusBar.PanelText(3);
    int seconds = -1;
    ASSERT_EQ(std::sscanf(text.c_str(), "Search took %d seconds.", &seconds), 1) << text;
    EXPECT_EQ(text, "Search took " + std::to_string(seconds) + " seconds.");
    EXPECT_GE(seconds, 3) << text;
    EXPECT_LE(seconds, std::chrono::duration_cast<std::chrono::seconds>(after - before).count()) << text;
}

TEST_F(MainWindow, SortingByNameDuringASearchKeepsNameOrder) {
    const std::string root = TempFolder("sort");
    const char* names[] = {"m.txt", "c.txt", "x.txt", "a.txt", "k.txt"};
    for (int folder = 0; folder < 30; ++folder) {
        const std::string path = root + "\\f" + std::to_string(folder);
        CreateDirectoryA(path.c_str(), nullptr);
        for (const char* name : names)
            WriteFile(path + "\\" + name, "x");
    }
    TForm1& form = Open(root);
    form.searchClick();
    form.results.filesColumnClick(0); // before any row arrived
    ASSERT_TRUE(WaitForDone());
    ASSERT_EQ(form.results.Count(), 150);
    for (int i = 1; i < form.results.Count(); ++i)
        ASSERT_LE(lstrcmpA(form.results.Store().Name(i - 1), form.results.Store().Name(i)), 0) << i;
    // The next search starts in walk order again.
    form.searchClick();
    ASSERT_TRUE(WaitForDone());
    EXPECT_FALSE(form.results.Store().SortedByName());
}

TEST_F(MainWindow, SettingsSurviveARestartWithTheirRules) {
    // A user who has no key of their own gets the one earlier versions kept for the machine.
    {
        TRegistry machine(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(machine.OpenKey(kSettingsKey, true));
        machine.WriteInteger("Splitter-Position", 190);
    }
    {
        TForm1& form = Open("");
        EXPECT_EQ(form.Panel2.Width(), 190);
        form_.reset(); // closes nothing: no key is written
        TRegistry machine(HKEY_LOCAL_MACHINE);
        machine.DeleteKey(kSettingsKey);
    }
    {
        TForm1& form = Open("");
        form.CaseSensitive.SetChecked(true);
        form.selfadj.SetChecked(false);
        form.maxbuf.SetValue(77);
        form.SetBounds(100, 120, 700, 500);
        form.files.SetColumnWidth(1, 250);
        form.files.SetColumnWidth(3, 420);
        form.Close();
        Pump(100);
        form_.reset();
    }
    {
        TForm1& form = Open("");
        EXPECT_TRUE(form.CaseSensitive.Checked());
        EXPECT_FALSE(form.selfadj.Checked());
        EXPECT_FALSE(form.autoadjust.Enabled());
        EXPECT_EQ(form.maxbuf.Value(), 77);
        EXPECT_EQ(form.Left(), 100);
        EXPECT_EQ(form.Top(), 120);
        EXPECT_EQ(form.Width(), 700);
        EXPECT_EQ(form.Height(), 500);
        EXPECT_EQ(form.files.ColumnWidth(1), 250);
        EXPECT_EQ(form.files.ColumnWidth(3), 420);
        form_.reset();
    }
    // A stored "Buffer" of 500 shows as 200; "Maximized" skips the stored geometry.
    {
        TRegistry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
        registry.WriteInteger("Buffer", 500);
        registry.WriteInteger("Maximized", 1);
    }
    {
        TForm1& form = Open("");
        EXPECT_EQ(form.maxbuf.Value(), 200);
        EXPECT_TRUE(form.Maximized());
        ShowWindow(form.Handle(), SW_RESTORE);
        Pump(100);
        EXPECT_EQ(form.Width(), 817) << "the design size, as the stored one was not read";
        EXPECT_EQ(form.Left(), 298);
        form_.reset();
    }
    // A value of the wrong type ends the reading there, silently.
    {
        TRegistry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
        registry.WriteString("Maximized", "yes");
    }
    {
        TForm1& form = Open("");
        EXPECT_EQ(form.maxbuf.Value(), 200) << "read before the bad value";
        EXPECT_FALSE(form.Maximized());
        EXPECT_EQ(form.Left(), 298) << "after it: the defaults";
        EXPECT_EQ(form.files.ColumnWidth(1), kDefaultColumnWidths[1]);
    }
}

// Closed while minimised (from the taskbar) or maximised, the window stores its normal place;
// a stored place on no monitor is moved onto the nearest one at start-up.
TEST_F(MainWindow, TheWindowComesBackWhereTheUserCanSeeIt) {
    for (WPARAM state : {SC_MINIMIZE, SC_MAXIMIZE}) {
        {
            TForm1& form = Open("");
            form.SetBounds(100, 120, 700, 500);
            SendMessageA(form.Handle(), WM_SYSCOMMAND, state, 0);
            Pump(100);
            PostMessageA(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
            Pump(200);
            form_.reset();
        }
        {
            TRegistry registry(HKEY_CURRENT_USER, KEY_READ);
            ASSERT_TRUE(registry.OpenKeyReadOnly(kSettingsKey));
            EXPECT_EQ(registry.ReadInteger("Maximized"), state == SC_MAXIMIZE ? 1 : 0);
            EXPECT_EQ(registry.ReadInteger("Position-Left"), 100) << state;
            EXPECT_EQ(registry.ReadInteger("Position-Top"), 120) << state;
            EXPECT_EQ(registry.ReadInteger("Size-Width"), 700) << state;
            EXPECT_EQ(registry.ReadInteger("Size-Height"), 500) << state;
        }
        if (state == SC_MINIMIZE) {
            TForm1& form = Open("");
            EXPECT_EQ(form.Left(), 100);
            EXPECT_EQ(form.Top(), 120);
            EXPECT_FALSE(IsIconic(form.Handle()));
            form_.reset();
        }
        DeleteStoredSettings();
    }
    {
        TRegistry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
        registry.WriteInteger("Position-Left", -32000);
        registry.WriteInteger("Position-Top", -32000);
    }
    TForm1& form = Open("");
    const RECT r{form.Left(), form.Top(), form.Left() + form.Width(), form.Top() + form.Height()};
    EXPECT_NE(MonitorFromRect(&r, MONITOR_DEFAULTTONULL), nullptr) << r.left << "," << r.top;
    EXPECT_EQ(form.Width(), 817);
}

// The name pattern is checked with the other criteria before anything starts: its box comes
// with the panel unlocked, and the search ends as any failed check ends it.
TEST_F(MainWindow, AnInvalidNamePatternIsReportedAndNothingStarts) {
    const std::string root = TempFolder("badmask");
    WriteFile(root + "\\a.txt", "x");
    TForm1& form = Open(root);
    form.fname.SetText("[");
    BoxWatcher box("Error");
    form.searchClick();
    EXPECT_EQ(box.Serve().text, "'*[*' is an invalid mask at (4)");
    EXPECT_FALSE(form.searchControl.Searching());
    EXPECT_EQ(form.StatusBar.PanelText(0), "Done");
    EXPECT_EQ(form.results.Count(), 0);
    EXPECT_TRUE(form.fname.Enabled());
    EXPECT_EQ(form.search.Caption(), "Search");
}

TEST_F(MainWindow, ABadMaskInAFilterNamesItsBoxAndNothingStarts) {
    const std::string root = TempFolder("badfilter");
    WriteFile(root + "\\a.txt", "x");
    TForm1& form = Open(root);
    const std::pair<TEdit*, std::string> boxes[] = {{&form.OnlyFiles, "Only files: "},
                                                    {&form.SkipFiles, "Skip files: "},
                                                    {&form.SkipFolders, "Skip folders: "}};
    for (const auto& [box, name] : boxes) {
        box->SetText("*.txt;a[b");
        BoxWatcher watcher("Error");
        form.searchClick();
        EXPECT_EQ(watcher.Serve().text, name + "'a[b' is an invalid mask at (4)");
        EXPECT_FALSE(form.searchControl.Searching());
        EXPECT_EQ(form.results.Count(), 0);
        EXPECT_TRUE(box->Enabled());
        box->SetText("");
    }
    EXPECT_EQ(form.fname.ItemCount(), 0) << "a search that never started is not remembered";
}

// What the window's filters ask for reaches the search: masks, a skipped folder, the days.
TEST_F(MainWindow, FiltersNarrowTheSearchToTheFilesAsked) {
    const std::string root = TempFolder("filters");
    CreateDirectoryA((root + "\\build").c_str(), nullptr);
    CreateDirectoryA((root + "\\src").c_str(), nullptr);
    for (const char* name : {"\\a.cpp", "\\a.h", "\\a.txt", "\\b.min.h", "\\build\\c.cpp", "\\src\\d.cpp"})
        WriteFile(root + name, "x");
    // One file changed yesterday at noon, local time: outside a day bound of today.
    SYSTEMTIME noon;
    GetLocalTime(&noon);
    noon.wHour = 12;
    noon.wMinute = noon.wSecond = noon.wMilliseconds = 0;
    FILETIME local, utc;
    SystemTimeToFileTime(&noon, &local);
    ULARGE_INTEGER day{{local.dwLowDateTime, local.dwHighDateTime}};
    day.QuadPart -= 864000000000ULL;
    local = {day.LowPart, day.HighPart};
    LocalFileTimeToFileTime(&local, &utc);
    HANDLE old = CreateFileA((root + "\\src\\d.cpp").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(old, INVALID_HANDLE_VALUE);
    SetFileTime(old, nullptr, nullptr, &utc);
    CloseHandle(old);

    TForm1& form = Open(root);
    form.OnlyFiles.SetText("*.cpp;*.h");
    form.SkipFiles.SetText("*.min.*");
    form.SkipFolders.SetText("BUILD");
    PressKey(form.OnlyFiles, VK_RETURN);
    ASSERT_TRUE(WaitForDone());
    const std::string folder = root + "\\";
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.cpp|" + folder + "|1 b", "a.h|" + folder + "|1 b",
                                                "d.cpp|" + folder + "src\\|1 b"}));
    PressKey(form.ModifiedAfterCheck, VK_SPACE); // today
    PressKey(form.ModifiedAfter, VK_RETURN);
    ASSERT_TRUE(WaitForDone());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.cpp|" + folder + "|1 b", "a.h|" + folder + "|1 b"}));
    PressKey(form.ModifiedAfterCheck, VK_SPACE);
    SYSTEMTIME yesterday = noon;
    FileTimeToSystemTime(&local, &yesterday);
    form.ModifiedBefore.SetDate(yesterday);
    PressKey(form.ModifiedBeforeCheck, VK_SPACE); // up to the end of yesterday
    PressKey(form.ModifiedBeforeCheck, VK_RETURN);
    ASSERT_TRUE(WaitForDone());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"d.cpp|" + folder + "src\\|1 b"}));
}

// The filters and the boxes' histories are kept per user; damaged stored values are ignored.
TEST_F(MainWindow, FiltersAndHistoriesComeBackAfterARestart) {
    const std::string root = TempFolder("restart");
    WriteFile(root + "\\a.txt", "x");
    {
        TForm1& form = Open(root);
        form.OnlyFiles.SetText("*.txt;*.h");
        form.SkipFiles.SetText("~*");
        form.SkipFolders.SetText("node_modules;.git");
        PressKey(form.ModifiedBeforeCheck, VK_SPACE);
        SYSTEMTIME day{};
        day.wYear = 2031;
        day.wMonth = 5;
        day.wDay = 17;
        form.ModifiedBefore.SetDate(day);
        for (const char* name : {"one", "two", "one"}) {
            form.fname.SetText(name);
            PressKey(form.fname, VK_RETURN);
            ASSERT_TRUE(WaitForDone());
        }
        PostMessageA(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        Pump(200);
        form_.reset();
    }
    {
        TForm1& form = Open("");
        EXPECT_EQ(form.OnlyFiles.Text(), "*.txt;*.h");
        EXPECT_EQ(form.SkipFiles.Text(), "~*");
        EXPECT_EQ(form.SkipFolders.Text(), "node_modules;.git");
        EXPECT_FALSE(form.ModifiedAfterCheck.Checked());
        ASSERT_TRUE(form.ModifiedBeforeCheck.Checked());
        EXPECT_TRUE(form.ModifiedBefore.Enabled());
        EXPECT_EQ(form.ModifiedBefore.Date().wYear, 2031);
        EXPECT_EQ(form.ModifiedBefore.Date().wDay, 17);
        ASSERT_EQ(form.fname.ItemCount(), 2);
        EXPECT_EQ(form.fname.ItemText(0), "one");
        EXPECT_EQ(form.fname.ItemText(1), "two");
        EXPECT_EQ(form.fname.Text(), "") << "the box starts empty, its history below it";
        // The folder searched, after the fixed entries, though this start named none.
        EXPECT_EQ(form.pathlist.ItemCaption(form.lookIn.BrowseIndex() + 1), root);
        EXPECT_EQ(form.pathlist.ItemIndex(), 0);
        form_.reset();
    }
    {
        TRegistry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
        registry.WriteInteger("Only Files", 7);
        registry.WriteString("Name History", std::string(SearchHistory::kMaxStoredLength + 1, 'n'));
        registry.WriteString("Modified Before", "2031-02-30");
    }
    TForm1& form = Open("");
    EXPECT_EQ(form.OnlyFiles.Text(), "") << "a value of another type is ignored";
    EXPECT_EQ(form.fname.ItemCount(), 0) << "an oversized value is ignored";
    EXPECT_FALSE(form.ModifiedBeforeCheck.Checked()) << "a day that does not exist is ignored";
    EXPECT_EQ(form.SkipFiles.Text(), "~*") << "the values after a damaged one are read";
}

TEST_F(MainWindow, ClosingDuringASearchLetsItFinishThenSaves) {
    const std::string root = TempFolder("close");
    WriteSparseFile(root + "\\big.bin", 3LL << 30);
    TForm1& form = Open(root);
    form.selfadj.SetChecked(false);
    form.maxbuf.SetValue(1);
    form.ss.SetText("needle");
    form.searchClick();
    ASSERT_TRUE(PumpUntil([&] { return form.search.Caption() == "Stop"; }));
    form.Close();
    EXPECT_FALSE(form.searchControl.Searching());
    EXPECT_EQ(form.StatusBar.PanelText(0), "Done") << "the worker's last step ran during the wait";
    TRegistry registry(HKEY_CURRENT_USER, KEY_READ);
    ASSERT_TRUE(registry.OpenKeyReadOnly(kSettingsKey));
    EXPECT_EQ(registry.ReadInteger("Buffer"), 1);
    EXPECT_EQ(registry.ReadInteger("Self Adjust Buffer"), 0);
}

TEST_F(MainWindow, BufferBoxFollowsTheRules) {
    TForm1& form = Open("");
    // Unchecking stops the timer; a typed 500 stays until a search has ended...
    form.selfadj.SetChecked(false);
    form.selfadjClick();
    EXPECT_FALSE(form.autoadjust.Enabled());
    form.maxbuf.SetText("500");
    Pump(1300);
    EXPECT_EQ(form.maxbuf.Text(), "500");
    // ...after which the running timer caps it at its next tick.
    const std::string root = TempFolder("buffer");
    form.pathlist.SetEditText(root);
    form.pathlist.SetItemIndex(-1);
    form.pathlist.SetEditText(root);
    form.searchClick();
    ASSERT_TRUE(WaitForDone());
    form.maxbuf.SetText("500");
    ASSERT_TRUE(PumpUntil([&] { return form.maxbuf.Text() == "200"; }, 30000));
    // Checking it again sets the size at once.
    form.maxbuf.SetText("0");
    PressKey(form.selfadj, VK_SPACE);
    EXPECT_TRUE(form.selfadj.Checked());
    EXPECT_NE(form.maxbuf.Text(), "0");
    EXPECT_TRUE(form.autoadjust.Enabled());
    // A letter re-applies the state without changing it.
    PressKey(form.selfadj, 'A');
    EXPECT_TRUE(form.selfadj.Checked());

    BoxWatcher help("Information");
    form.BufferHelpButton.Click();
    const auto& seen = help.Serve();
    EXPECT_EQ(seen.text, kBufferHelpText); // whole, its line breaks as they are
    EXPECT_EQ(seen.buttons, std::vector<std::string>{"OK"});

    BoxWatcher about("Information");
    form.AboutButton.Click();
    EXPECT_EQ(about.Serve().text, "Quennet - by Ketrel, www.morvane.com");
}

// Enter, as the keyboard brings it through the form's key handling, starts a search from
// every criterion that takes it.
TEST_F(MainWindow, EnterInEveryCriterionStartsASearch) {
    const std::string root = TempFolder("enter");
    WriteFile(root + "\\one.txt", "1");
    TForm1& form = Open(root);
    PressKey(form.SpecSize, VK_SPACE); // the size boxes take keys only when enabled
    PressKey(form.ModifiedAfterCheck, VK_SPACE); // and so do the days: today, both ends
    PressKey(form.ModifiedBeforeCheck, VK_SPACE);
    int searches = 0;
    for (TWinControl* control :
         {static_cast<TWinControl*>(&form.fname), static_cast<TWinControl*>(&form.ss),
          static_cast<TWinControl*>(&form.typeText), static_cast<TWinControl*>(&form.typeHEX),
          static_cast<TWinControl*>(&form.typeRegex), static_cast<TWinControl*>(&form.maxbuf), static_cast<TWinControl*>(&form.MinSize),
          static_cast<TWinControl*>(&form.MaxSize), static_cast<TWinControl*>(&form.pathlist),
          static_cast<TWinControl*>(&form.CaseSensitive), static_cast<TWinControl*>(&form.selfadj),
          static_cast<TWinControl*>(&form.SpecSize), static_cast<TWinControl*>(&form.IntegrateIntoShell),
          static_cast<TWinControl*>(&form.OnlyFiles), static_cast<TWinControl*>(&form.SkipFiles),
          static_cast<TWinControl*>(&form.SkipFolders), static_cast<TWinControl*>(&form.ModifiedAfterCheck),
          static_cast<TWinControl*>(&form.ModifiedAfter),
          static_cast<TWinControl*>(&form.ModifiedBeforeCheck),
          static_cast<TWinControl*>(&form.ModifiedBefore)}) {
        form.results.Clear();
        control->SetFocus();
        HWND focus = GetFocus();
        PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(focus, WM_KEYUP, VK_RETURN, 0xC0000001);
        ASSERT_TRUE(PumpUntil([&] { return form.results.Count() == 1 && !form.searchControl.Searching(); }))
            << "Enter in control " << searches << " started no search";
        ++searches;
    }
    EXPECT_EQ(searches, 20);
    EXPECT_FALSE(form.IntegrateIntoShell.Checked()) << "Enter re-applies, never toggles";
}

TEST_F(MainWindow, AShortWindowKeepsAboutAndWidensThePanelForItsScrollBar) {
    TForm1& form = Open("");
    const int aboutTop = form.AboutButton.Top();
    EXPECT_EQ(aboutTop, form.Panel2.Height() - 35);
    form.SetBounds(form.Left(), form.Top(), 817, 400);
    Pump(100);
    EXPECT_EQ(form.AboutButton.Top(), aboutTop) << "About keeps its place below 556";
    EXPECT_TRUE(GetWindowLongA(form.Panel2.Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(form.Panel2.Width(), 167);
    form.SetBounds(form.Left(), form.Top(), 817, 700 + kFiltersHeight);
    Pump(100);
    EXPECT_EQ(form.AboutButton.Top(), form.Panel2.Height() - 35);
}

TEST_F(MainWindow, DoubleClickOpensTheViewerWithTheMatchSelected) {
    const std::string root = TempFolder("view");
    WriteFile(root + "\\data.bin", std::string(5000, '.') + "needle" + std::string(100, '.'));
    // The phrase in a file saved as "Unicode" text: the selection covers twice its length.
    std::string wide = "\xFF\xFE";
    for (char c : std::string(300, '.') + "NEEDLE..")
        wide += {c, '\0'};
    WriteFile(root + "\\wide.txt", wide);
    TForm1& form = Open(root);
    TForm4 viewer;
    form.SetViewer(&viewer);
    form.ss.SetText("needle");
    form.searchClick();
    ASSERT_TRUE(WaitForDone());
    ASSERT_EQ(form.results.Count(), 2);

    form.filesDblClick(); // no row selected: nothing
    EXPECT_FALSE(viewer.HandleAllocated() && IsWindowVisible(viewer.HandleOrNull()));
    // The selection as the viewer shows it: closing it lets the file go.
    std::int64_t shownStart = -1, shownEnd = -1;
    viewer.OnShow = [&](TWinControl&) {
        shownStart = viewer.hexedit.SelStart();
        shownEnd = viewer.hexedit.SelEnd();
    };

    auto view = [&](const std::string& name) {
        const int index = std::string(form.results.Store().Name(0)) == name ? 0 : 1;
        form.files.SetItemIndex(index);
        std::atomic<bool> seen{false};
        std::thread closer([&] {
            const std::string caption = "Viewing: " + root + "\\" + name;
            for (int i = 0; i < 500 && !seen; ++i) {
                if (HWND window = FindWindowA(nullptr, caption.c_str()); window && IsWindowVisible(window)) {
                    seen = true;
                    Sleep(200);
                    PostMessageA(window, WM_CLOSE, 0, 0);
                }
                Sleep(10);
            }
        });
        // A real double click on the row.
        RECT row{LVIR_BOUNDS, 0, 0, 0};
        SendMessageA(form.files.Handle(), LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row));
        const LPARAM at = MAKELPARAM(row.left + 20, (row.top + row.bottom) / 2);
        PostMessageA(form.files.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(form.files.Handle(), WM_LBUTTONUP, 0, at);
        PumpUntil([&] { return seen.load(); }, 30000);
        closer.join();
        return seen.load();
    };
    ASSERT_TRUE(view("data.bin"));
    EXPECT_EQ(shownStart, 5000);
    EXPECT_EQ(shownEnd, 5005);
    EXPECT_EQ(viewer.hexedit.DataSize(), 0); // closed, the viewer lets the file go
    ASSERT_TRUE(view("wide.txt"));
    EXPECT_EQ(shownStart, 602);
    EXPECT_EQ(shownEnd, 613);
    EXPECT_EQ(form.results.Count(), 2);
}

// "Browse...": a folder picked once is added once; one already listed is selected; a cancel
// leaves "Browse..." selected.
TEST_F(MainWindow, BrowseAddsAFolderOnceSelectsAListedOneAndCancelKeepsBrowse) {
    const std::string folder = TempFolder("browse");
    TForm1& form = Open("");
    const int count = form.pathlist.ItemCount();
    form.Form3 = std::make_unique<TForm3>();
    TForm3& picker = *form.Form3;
    picker.folders.SetRoot(folder);
    const HWND tree = picker.folders.Handle();
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    auto browse = [&](bool ok) {
        form.pathlist.SetItemIndex(form.lookIn.BrowseIndex());
        test::WhenShown user(picker.Handle(), [&](HWND window) {
            PostMessageA(ok ? picker.okBut.HandleOrNull() : picker.cancelBut.HandleOrNull(), BM_CLICK, 0, 0);
            test::CloseIfStillOpen(window);
        });
        form.pathlistClick();
    };
    browse(true);
    ASSERT_EQ(form.pathlist.ItemCount(), count + 1);
    EXPECT_EQ(form.pathlist.ItemCaption(count), folder);
    EXPECT_EQ(form.pathlist.ItemIndex(), count);
    browse(true);
    EXPECT_EQ(form.pathlist.ItemCount(), count + 1) << "the same folder is not added twice";
    EXPECT_EQ(form.pathlist.ItemIndex(), count);
    browse(false);
    EXPECT_EQ(form.pathlist.ItemIndex(), form.lookIn.BrowseIndex());
    EXPECT_EQ(form.pathlist.ItemCount(), count + 1);

    // Reaching "Browse..." with the arrow keys opens the picker too.
    form.pathlist.SetItemIndex(form.lookIn.BrowseIndex() - 1);
    form.pathlist.SetFocus();
    std::atomic<bool> shown{false};
    {
        test::WhenShown user(picker.Handle(), [&](HWND window) {
            shown = IsWindowVisible(window) != FALSE; // the helper goes on after a timeout too
            PostMessageA(picker.cancelBut.HandleOrNull(), BM_CLICK, 0, 0);
            test::CloseIfStillOpen(window);
        });
        test::PostKey(GetFocus(), VK_DOWN);
        PumpUntil([&] { return shown.load() && !IsWindowVisible(picker.HandleOrNull()); }, 30000);
    }
    EXPECT_TRUE(shown);
    EXPECT_EQ(form.pathlist.ItemIndex(), form.lookIn.BrowseIndex());

    // A drive already listed is selected, not added.
    picker.folders.SetRoot("C:\\");
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    browse(true);
    EXPECT_EQ(form.pathlist.ItemCount(), count + 1);
    EXPECT_EQ(form.pathlist.ItemCaption(form.pathlist.ItemIndex()), "C:\\");
}

// The results menu acts on the window's own rows: Delete removes the file and its row, and the
// list view shows the rows that are left.
TEST_F(MainWindow, TheResultsMenuWorksOnTheWindowsRows) {
    const std::string root = TempFolder("menu");
    for (const char* name : {"one.txt", "two.txt", "three.txt"})
        WriteFile(root + "\\" + name, name);
    TForm1& form = Open(root);
    TFormChooseDestination destination;
    form.SetDestinationDialog(&destination);
    form.searchClick();
    ASSERT_TRUE(WaitForDone());
    ASSERT_EQ(form.results.Count(), 3);
    TResultsMenu& menu = *form.menu;

    menu.PopupMenu1Popup();
    EXPECT_FALSE(menu.PopupMenu1.Enabled(TResultsMenu::aaaa)) << "no row selected";
    EXPECT_FALSE(menu.PopupMenu1.Enabled(TResultsMenu::Delete1));
    for (int row = 0; row < 3; ++row)
        form.files.SetSelected(row, true);
    menu.PopupMenu1Popup();
    EXPECT_FALSE(menu.PopupMenu1.Enabled(TResultsMenu::aaaa));
    EXPECT_TRUE(menu.PopupMenu1.Enabled(TResultsMenu::Move1));

    form.files.SetItemIndex(1);
    const std::string gone = form.results.CellText(1, 0);
    {
        BoxWatcher question("Confirm", "&Yes");
        menu.Delete1Click();
        question.Serve();
    }
    EXPECT_EQ(GetFileAttributesA((root + "\\" + gone).c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(form.results.Count(), 2);
    EXPECT_EQ(SendMessageA(form.files.Handle(), LVM_GETITEMCOUNT, 0, 0), 2);
    for (int row = 0; row < 2; ++row)
        EXPECT_NE(form.results.CellText(row, 0), gone);
    EXPECT_EQ(form.StatusBar.PanelText(1), "3 files found.") << "the count of the search stays";
}

} // namespace
} // namespace quennet
