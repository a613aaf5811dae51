// The results list's selection belongs to the files: through a click on "Name", through rows
// merged into name order while a search goes on, and through the questions of Delete and
// Move, during which rows keep arriving. Checked on disk.
#include "dialogs/destinationForm.h"
#include "mainwindow/main.h"
#include "runtime/Application.h"
#include "search/SearchSink.h"
#include "tests/dialogs/ModalDriver.h"
#include "tests/runtime/BoxWatcher.h"
#include "tests/runtime/OleSuite.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <fstream>
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
    std::string path = std::string(base) + "quennet-sel-" + name + "-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path.c_str(), nullptr);
    return path + "\\";
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A real click of the left button, as the mouse brings it, at a point of `window`.
void Click(HWND window, POINT at, WPARAM keys = 0) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON | keys, where);
    PostMessageA(window, WM_LBUTTONUP, keys, where);
    PumpUntil([] { return false; }, 150);
}

class ResultsSelection : public test::OleSuite {
  protected:
    void SetUp() override {
        root = TempFolder("root");
        later = TempFolder("later");
        target = TempFolder("target");
        for (const char* name : {"z.txt", "k.txt", "c.txt", "q.txt"})
            std::ofstream(root + name) << name;
        // Rows that arrive later, all sorting before the chosen files.
        for (int i = 0; i < 60; ++i) {
            lateNames.push_back("a" + std::to_string(100 + i) + ".txt");
            std::ofstream(later + lateNames.back()) << i;
        }
        form = std::make_unique<TForm1>(root.substr(0, root.size() - 1));
        form->SetDestinationDialog(&destination);
        form->Show();
        form->searchClick();
        ASSERT_TRUE(PumpUntil([&] { return !form->searchControl.Searching(); }, 30000));
        ASSERT_EQ(form->results.Count(), 4);
        // A search still adding rows: a batch every 10 ms, as the worker hands them over.
        arrivals.SetInterval(10);
        arrivals.OnTimer = [this](TTimer&) {
            if (next >= budget)
                return;
            for (int i = 0; i < 2 && next < lateNames.size(); ++i)
                form->results.Append(ResultRow{lateNames[next++], later, 1, 0});
            form->results.Commit();
        };
    }
    void TearDown() override {
        form.reset();
        for (const std::string& folder : {root, later, target}) {
            WIN32_FIND_DATAA entry;
            FindHandle find(FindFirstFileA((folder + "*").c_str(), &entry));
            if (find)
                do
                    DeleteFileA((folder + entry.cFileName).c_str());
                while (FindNextFileA(find.get(), &entry));
            RemoveDirectoryA(folder.c_str());
        }
    }

    int PositionOf(const std::string& name) {
        for (int row = 0; row < form->results.Count(); ++row)
            if (form->results.CellText(row, 0) == name)
                return row;
        return -1;
    }
    void ClickRow(const std::string& name) {
        RECT row{LVIR_BOUNDS, 0, 0, 0};
        SendMessageA(form->files.Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(PositionOf(name)),
                     reinterpret_cast<LPARAM>(&row));
        Click(form->files.Handle(), POINT{row.left + 20, (row.top + row.bottom) / 2});
    }
    void ClickNameHeader() {
        const HWND header = reinterpret_cast<HWND>(SendMessageA(form->files.Handle(), LVM_GETHEADER, 0, 0));
        RECT item{};
        SendMessageA(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
        Click(header, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    }
    std::vector<std::string> SelectedNames() {
        std::vector<std::string> names;
        for (int row : form->files.SelectedIndices())
            names.push_back(form->results.CellText(row, 0));
        return names;
    }
    // Every file but `gone` is where it was.
    void ExpectOthersInPlace(const std::string& gone) {
        for (const char* name : {"z.txt", "k.txt", "c.txt", "q.txt"})
            if (name != gone) {
                EXPECT_TRUE(Exists(root + name)) << name;
            }
        for (const std::string& name : lateNames)
            EXPECT_TRUE(Exists(later + name)) << name;
    }

    std::string root, later, target;
    std::vector<std::string> lateNames;
    std::atomic<size_t> next{0}; // read by the threads that answer the dialogs
    size_t budget = 10; // rows that may arrive by now
    TFormChooseDestination destination;
    std::unique_ptr<TForm1> form;
    TTimer arrivals;
};

TEST_F(ResultsSelection, DeleteTakesExactlyTheFileSelectedWhileRowsAreMergedBeforeIt) {
    ClickRow("k.txt");
    ASSERT_EQ(SelectedNames(), std::vector<std::string>{"k.txt"}) << "the click selected it";
    ClickNameHeader();
    ASSERT_TRUE(form->results.Store().SortedByName());
    EXPECT_EQ(PositionOf("k.txt"), 1) << "sorted: c k q z";
    EXPECT_EQ(SelectedNames(), std::vector<std::string>{"k.txt"}) << "the same file is still selected";

    arrivals.SetEnabled(true);
    PumpUntil([&] { return next >= 10; }, 30000);
    EXPECT_EQ(SelectedNames(), std::vector<std::string>{"k.txt"}) << "rows merged before it";
    const size_t before = next;
    budget = lateNames.size();
    {
        BoxWatcher question("Confirm", "&Yes", [&] { return next > before + 4; });
        form->menu->Delete1Click();
        EXPECT_GT(next.load(), before) << "rows arrived while the question was up";
        question.Serve();
    }
    EXPECT_FALSE(Exists(root + "k.txt"));
    ExpectOthersInPlace("k.txt");
    EXPECT_EQ(PositionOf("k.txt"), -1);
    EXPECT_EQ(form->results.Count(), 3 + static_cast<int>(next));
}

TEST_F(ResultsSelection, MoveTakesExactlyTheFileSelectedWhileRowsAreMergedBeforeIt) {
    ClickNameHeader();
    ClickRow("q.txt");
    arrivals.SetEnabled(true);
    PumpUntil([&] { return next >= 10; }, 30000);
    ASSERT_EQ(SelectedNames(), std::vector<std::string>{"q.txt"});
    {
        const size_t before = next;
        test::WhenShown user(destination.Handle(), [&](HWND) {
            // Answered once rows have arrived and been merged before the chosen file.
            for (int wait = 0; wait < 500 && next <= before + 4; ++wait)
                Sleep(10);
            SendMessageA(destination.newDestination.HandleOrNull(), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(target.c_str()));
            PostMessageA(destination.Button1.HandleOrNull(), BM_CLICK, 0, 0);
        });
        budget = lateNames.size();
        form->menu->Move1Click(TResultsMenu::Move1);
        EXPECT_GT(next.load(), before) << "rows arrived while the dialog was up";
    }
    EXPECT_TRUE(Exists(target + "q.txt"));
    EXPECT_FALSE(Exists(root + "q.txt"));
    ExpectOthersInPlace("q.txt");
    EXPECT_EQ(PositionOf("q.txt"), -1);
}

} // namespace
} // namespace quennet
