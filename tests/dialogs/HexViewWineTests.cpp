// The hex viewer's opening operation under Wine: caption, the match selected, and the errors
// that keep the viewer closed.
#include "dialogs/hexview.h"
#include "hexcontrol/HexError.h"
#include "runtime/Handles.h"
#include "runtime/Application.h"
#include "base/UniqueHandle.h"
#include "search/FileFind.h"
#include "base/WidePath.h"
#include "tests/runtime/BoxWatcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace quennet;

namespace {
std::string TempFolder() {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return dir;
}

void WriteFile(const std::string& path, size_t size) {
    std::vector<char> bytes(size, 'v');
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class Viewer : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ole = new THexOleSession(); }
    static void TearDownTestSuite() {
        delete ole;
        ole = nullptr;
    }
    void SetUp() override {
        folder = TempFolder();
        WriteFile(folder + "view5000.bin", 5000);
        form = std::make_unique<TForm4>();
    }
    std::string Error(std::int64_t offset, int length, const std::string& name = "view5000.bin") {
        try {
            form->Prepare(folder, name, offset, length);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "(nothing thrown)";
    }

    static THexOleSession* ole;
    std::string folder;
    std::unique_ptr<TForm4> form;
};
THexOleSession* Viewer::ole = nullptr;
} // namespace

TEST_F(Viewer, OpeningNamesTheFileAndSelectsTheMatch) {
    form->Prepare(folder, "view5000.bin", 4990, 5);
    EXPECT_EQ(form->Caption(), "Viewing: " + folder + "view5000.bin");
    EXPECT_EQ(form->hexedit.SelStart(), 4990);
    EXPECT_EQ(form->hexedit.SelEnd(), 4994);
    EXPECT_EQ(form->hexedit.Model().CursorPosition(), 4990);

    // No content match: nothing selected, the cursor on the first byte.
    form->Prepare(folder, "view5000.bin", 0, 5);
    EXPECT_EQ(form->hexedit.SelectionCount(), 0);
    EXPECT_EQ(form->hexedit.Model().CursorPosition(), 0);
}

TEST_F(Viewer, ErrorsReachTheCallerAndTheViewerStaysClosed) {
    const std::string missing = Error(10, 2, "no-such-viewed-file.bin");
    EXPECT_EQ(missing.rfind("Cannot open " + folder + "no-such-viewed-file.bin.\r\n(", 0), 0u) << missing;
    // The file shrank since the search.
    EXPECT_EQ(Error(5000, 3), "Invalid selection start");
    EXPECT_EQ(Error(4999, 3), "Invalid selection end");
    // A match end no position can hold is refused too, not taken as "no selection".
    EXPECT_EQ(Error(10, INT_MAX), "Invalid selection end");
    EXPECT_EQ(Error(std::int64_t{1} << 32, 1), "Invalid selection start");
    EXPECT_FALSE(form->Visible());
}

namespace {
constexpr int kBytesPerRow = 20; // the viewer's configuration

// The control's client area as the screen shows it.
struct Screen {
    explicit Screen(THexEditorEx& editor) {
        quennet::Application().ProcessMessages();
        RECT r;
        GetClientRect(editor.Handle(), &r);
        width = r.right;
        height = r.bottom;
        quennet::WindowDC screen(editor.Handle());
        dc.reset(CreateCompatibleDC(screen.get()));
        bitmap.reset(CreateCompatibleBitmap(screen.get(), width, height));
        SelectObject(dc.get(), bitmap.get());
        BitBlt(dc.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc.get(), x, y); }

    int width = 0, height = 0;
    quennet::MemoryDC dc;
    quennet::GdiBitmap bitmap;
};

// After an opening with a match at `match` (below the first page): its row a third down the
// view, the first hex column in view, and the match's first digit drawn selected at that place
// on the screen.
void ExpectMatchAThirdDown(TForm4& form, std::int64_t match, const char* which) {
    SCOPED_TRACE(which);
    THexEditorEx& editor = form.hexedit;
    const HexLayout& layout = editor.Model().Layout();
    const Screen screen(editor);
    const int pageRows = (screen.height - layout.RulerHeight()) / layout.CharHeight();
    const int matchRow = match / kBytesPerRow + 2;
    EXPECT_EQ(editor.Model().TopRow(), matchRow - pageRows / 3);
    EXPECT_EQ(editor.Model().LeftCol(), 2);

    // The match's high digit: column 2 + 2 * (match mod 20), counted from the first hex column.
    int x = layout.FixedWidth();
    for (int col = 2; col < 2 + 2 * static_cast<int>(match % kBytesPerRow); ++col)
        x += layout.ColWidth(col);
    const int y = layout.RulerHeight() + (pageRows / 3) * layout.CharHeight();
    EXPECT_EQ(screen.At(x, y + 1), RGB(0, 0, 0)); // white text background, inverted
    EXPECT_EQ(screen.At(x, y + 1 - layout.CharHeight()), RGB(255, 255, 255)); // the row above
}
} // namespace

TEST_F(Viewer, EveryOpeningPutsTheMatchAThirdDownAndShowsTheFirstColumn) {
    // The match was scrolled to the last row, the rest of it and what follows hidden below.
    const int match = 2507; // row 127, the eighth byte: far below the first page
    form->Prepare(folder, "view5000.bin", match, 3);
    form->Show(); // as ShowModal does, without waiting
    ExpectMatchAThirdDown(*form, match, "first opening");

    form->Prepare(folder, "view5000.bin", 0, 3); // another file's opening in between
    form->Prepare(folder, "view5000.bin", match, 3);
    ExpectMatchAThirdDown(*form, match, "later opening");
}

TEST_F(Viewer, EveryOpeningOfA20MBFilePutsTheMatchAThirdDownAndShowsTheFirstColumn) {
    // 16 MB and more: offsets of 7 digits widen the gutter until the grid no longer fits.
    WriteFile(folder + "view20mb.bin", 20u << 20);
    const int match = 10000007;
    form->Prepare(folder, "view20mb.bin", match, 4);
    form->Show();
    ExpectMatchAThirdDown(*form, match, "first opening");

    form->Prepare(folder, "view20mb.bin", 0, 4);
    form->Prepare(folder, "view20mb.bin", match, 4);
    ExpectMatchAThirdDown(*form, match, "later opening");
    form.reset();
    DeleteFileA((folder + "view20mb.bin").c_str());
}

TEST_F(Viewer, PaintsWithItsOwnColoursTwentyBytesPerRowAndGridLines) {
    std::vector<char> bytes(100, ' ');
    bytes[1] = 0x01; // a control byte: the middle dot
    {
        std::ofstream out(folder + "viewcolours.bin", std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    form->Prepare(folder, "viewcolours.bin", 20, 1); // byte 20 selected, the cursor on it
    form->Show();
    ASSERT_TRUE(form->hexedit.Focused());
    const HexModel& m = form->hexedit.Model();
    const Screen screen(form->hexedit);
    const int row2 = m.RowTop(2) + 1, row3 = m.RowTop(3) + 1;
    const int firstHex = m.ColLeft(2), firstChar = m.ColLeft(m.Layout().FirstCharCol());

    // Twenty bytes per row: byte 20 is the first of the second row.
    EXPECT_EQ(screen.At(firstHex, row3), RGB(0, 0, 0)); // selected: inverted
    EXPECT_EQ(screen.At(firstHex + 8 * m.Layout().CharWidth(), row3), RGB(255, 255, 255));
    EXPECT_EQ(screen.At(firstChar, row3), RGB(15, 15, 15)); // and its character
    // Colours: the field with the cursor on white, the other on RGB(240,240,240).
    EXPECT_EQ(screen.At(firstHex, row2), RGB(255, 255, 255));
    EXPECT_EQ(screen.At(firstChar, row2), RGB(240, 240, 240));
    // The gutter money green, the cursor's row in grey; the ruler band money green too, the
    // ruler cell over the cursor's column grey.
    EXPECT_EQ(screen.At(2, row2), RGB(192, 220, 192));
    EXPECT_EQ(screen.At(2, row3), RGB(128, 128, 128));
    EXPECT_EQ(screen.At(2, 2), RGB(192, 220, 192));
    EXPECT_EQ(screen.At(firstHex, 1), RGB(128, 128, 128));
    EXPECT_EQ(screen.At(firstHex + 2 * m.Layout().CharWidth(), 1), RGB(192, 220, 192));
    // Grid lines in the button-face colour at the bottom of every cell and after the fields.
    const int cellBottom = m.RowTop(2) + m.Layout().CharHeight() - 1;
    EXPECT_EQ(screen.At(firstHex + 1, cellBottom), GetSysColor(COLOR_BTNFACE));
    EXPECT_NE(GetSysColor(COLOR_BTNFACE), RGB(255, 255, 255));
    // Digit groups alternate blue and navy; the control byte shows a black middle dot.
    auto count = [&](COLORREF color, int x0, int x1, int y) {
        int n = 0;
        for (int yy = y; yy < y + m.Layout().CharHeight() - 2; ++yy)
            for (int x = x0; x < x1; ++x)
                n += screen.At(x, yy) == color;
        return n;
    };
    const int cw = m.Layout().CharWidth();
    EXPECT_GT(count(RGB(0, 0, 255), firstHex, firstHex + cw, row2), 3); // byte 0
    EXPECT_EQ(count(RGB(0, 0, 128), firstHex, firstHex + cw, row2), 0);
    EXPECT_GT(count(RGB(0, 0, 128), m.ColLeft(6), m.ColLeft(6) + cw, row2), 3); // byte 2
    EXPECT_GT(count(RGB(0, 0, 0), m.ColLeft(m.Layout().FirstCharCol() + 1),
                    m.ColLeft(m.Layout().FirstCharCol() + 1) + cw, row2),
              0); // byte 1: the dot
    EXPECT_EQ(count(RGB(0, 0, 0), m.ColLeft(m.Layout().FirstCharCol() + 2),
                    m.ColLeft(m.Layout().FirstCharCol() + 2) + cw, row2),
              0); // byte 2: a blank
}

TEST_F(Viewer, OpensAFileFoundUnderAPathOfAnyLengthAtItsMatch) {
    // 600 characters and names outside every code page: what the wide back-ends find.
    std::string deep = folder + "viewer-ünïcödé-😀";
    std::vector<std::string> made{deep};
    while (deep.size() < 600)
        made.push_back(deep += "\\" + std::string(100, 'd') + "Ω");
    for (const std::string& step : made)
        CreateDirectoryW(LongPathW(step).c_str(), nullptr);
    const std::string name = "Кириллица 中文.bin";
    std::string bytes(3000, '.');
    bytes.replace(1234, 6, "needle");
    {
        FileHandle file(CreateFileW(LongPathW(deep + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    form->Prepare(deep + "\\", name, 1234, 6);
    EXPECT_EQ(form->Caption(), "Viewing: " + deep + "\\" + name);
    EXPECT_EQ(form->hexedit.DataSize(), 3000);
    EXPECT_EQ(form->hexedit.SelStart(), 1234);
    EXPECT_EQ(form->hexedit.SelEnd(), 1239);
    EXPECT_EQ(form->hexedit.Model().Data().At(1234), 'n');

    DeleteFileW(LongPathW(deep + "\\" + name).c_str());
    for (auto step = made.rbegin(); step != made.rend(); ++step)
        RemoveDirectoryW(LongPathW(*step).c_str());
}

namespace {
// size bytes that take no room on disk (the file system keeps the gaps as holes), with text
// written at offset.
void WriteSparseFile(const std::string& path, std::int64_t size, std::int64_t offset, const std::string& text) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    ASSERT_TRUE(file);
    LARGE_INTEGER at{};
    at.QuadPart = size;
    ASSERT_TRUE(SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
    at.QuadPart = offset;
    DWORD written = 0;
    ASSERT_TRUE(SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) &&
                ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
}

// Dark pixels in the character cell of byte p on the screen (its row must be in view).
int DarkPixelsOfChar(const Screen& screen, const HexModel& m, std::int64_t p) {
    const HexCell cell = m.Layout().CellOfPosition(p, HexField::Char);
    int n = 0;
    for (int y = m.RowTop(cell.Row); y < m.RowTop(cell.Row) + m.Layout().CharHeight() - 1; ++y)
        for (int x = m.ColLeft(cell.Col); x < m.ColLeft(cell.Col) + m.Layout().CharWidth(); ++x)
            n += screen.At(x, y) == RGB(0, 0, 0);
    return n;
}
} // namespace

TEST_F(Viewer, AFileOfFiveGigabytesOpensAtItsMatchWithExactOffsets) {
    const std::int64_t size = (std::int64_t{5} << 30) + 7;
    const std::int64_t match = (size - 1000) / kBytesPerRow * kBytesPerRow + 3; // 4th byte of its row
    WriteSparseFile(folder + "view5gb.bin", size, match - 3, std::string("xx\0needle", 9));
    form->Prepare(folder, "view5gb.bin", match, 6);
    form->Show();
    EXPECT_EQ(form->Caption(), "Viewing: " + folder + "view5gb.bin");
    EXPECT_EQ(form->hexedit.SelStart(), match);
    EXPECT_EQ(form->hexedit.SelEnd(), match + 5);
    ExpectMatchAThirdDown(*form, match, "5 GB");
    // The bytes come from the file at that offset: "xx" and a zero byte (the middle dot)
    // before the match.
    const HexModel& m = form->hexedit.Model();
    const Screen screen(form->hexedit);
    EXPECT_GT(DarkPixelsOfChar(screen, m, match - 3), DarkPixelsOfChar(screen, m, match - 1) + 4);
    EXPECT_EQ(DarkPixelsOfChar(screen, m, match - 2), DarkPixelsOfChar(screen, m, match - 3));
    // The gutter is wide enough for nine digits after "0x".
    EXPECT_EQ(m.Layout().GutterPixels(), (2 + 9 + 1) * m.Layout().CharWidth() + 21);
    form.reset();
    DeleteFileA((folder + "view5gb.bin").c_str());
}

TEST_F(Viewer, SelectAllIsInstantAndCopyPastTheLimitSaysSoInstead) {
    const std::int64_t size = std::int64_t{100} << 20;
    WriteSparseFile(folder + "view100mb.bin", size, 0, "head");
    form->Prepare(folder, "view100mb.bin", 0, 0);
    form->Selectall1Click();
    EXPECT_EQ(form->hexedit.SelectionCount(), size);

    // What another program put on the clipboard stays there.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 5);
    std::memcpy(GlobalLock(text), "kept", 5);
    GlobalUnlock(text);
    SetClipboardData(CF_TEXT, text);
    CloseClipboard();
    try {
        form->Copy1Click();
        FAIL() << "copied " << size << " bytes";
    } catch (const EHexEditor& e) {
        EXPECT_STREQ(e.what(), HexSelectionTooLargeText(size).c_str());
    }
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE still = GetClipboardData(CF_TEXT);
    ASSERT_NE(still, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(still)), "kept");
    GlobalUnlock(still);
    CloseClipboard();

    // Up to the limit a copy is made, with the bytes read from the file.
    form->hexedit.SetSelectionStart(0);
    form->hexedit.SetSelectionEnd(HexModel::ClipboardLimit - 1);
    EXPECT_TRUE(form->hexedit.CopySelection());
    ASSERT_TRUE(OpenClipboard(nullptr));
    still = GetClipboardData(CF_TEXT);
    ASSERT_NE(still, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(still)), "head");
    GlobalUnlock(still);
    CloseClipboard();
    OleSetClipboard(nullptr);
    form.reset();
    DeleteFileA((folder + "view100mb.bin").c_str());
}

TEST_F(Viewer, ClosingTheViewerLetsTheFileGo) {
    const std::string path = folder + "view5000.bin";
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    form->Open(folder, "view5000.bin", 10, 2);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->hexedit.DataSize(), 0);
    // Nobody holds the file any more: it opens without sharing.
    FileHandle alone(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(alone);
}

// A match that no longer fits the file (it shrank since the search) kept the file open until
// the next opening, although the viewer never showed.
TEST_F(Viewer, AFailedOpeningLetsTheFileGoAtOnce) {
    const std::string path = folder + "view5000.bin";
    EXPECT_THROW(form->Open(folder, "view5000.bin", 4999, 3), EHexEditor);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->hexedit.DataSize(), 0);
    FileHandle alone(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(alone) << "the file is still held";
}

TEST_F(Viewer, CtrlGInAnEmptyFileSaysItHasNoOffsetInsteadOfARangeFrom0ToMinus1) {
    WriteFile(folder + "viewempty.bin", 0);
    form->Prepare(folder, "viewempty.bin", 0, 0);
    std::atomic<bool> asked{false};
    std::thread closer([&] { // a box asking for an offset is the fault: closed, so the test goes on
        for (int i = 0; i < 150; ++i, Sleep(20))
            if (HWND box = FindWindowA(nullptr, "Go to offset"); box && IsWindowVisible(box)) {
                asked = true;
                PostMessageA(box, WM_CLOSE, 0, 0);
                return;
            }
    });
    test::BoxWatcher box("Error");
    form->GotoOffsetClick();
    EXPECT_EQ(box.Serve().text, "This file is empty: it has no offset to go to.");
    closer.join();
    EXPECT_FALSE(asked) << "the box asked for an offset";
}

// F3 read a whole file on the window's thread: in a file of gigabytes the window did not
// answer, and Escape came only after the end.
TEST_F(Viewer, F3InAFileOfGigabytesSearchesBetweenMessagesUnderTheHourglassUntilCancelled) {
    const std::int64_t size = std::int64_t{64} << 30;
    WriteSparseFile(folder + "view64gb.bin", size, size - 10, "needle"); // the next match: the end
    SearchCriteria criteria;
    criteria.PhraseText = "needle";
    form->SetSearchPhrase(BuildSearchRequest(criteria).Request->Searched());
    form->Prepare(folder, "view64gb.bin", 10, 6);
    form->Show();
    form->FindNext();
    ASSERT_TRUE(form->Finding()) << "64 GB were read at once";
    EXPECT_TRUE(form->hexedit.Busy());
    // Another program's messages are answered meanwhile, and the search goes on.
    std::atomic<int> answered{0};
    std::atomic<bool> asked{false};
    std::thread other([&] {
        for (int i = 0; i < 5; ++i) {
            DWORD_PTR answer = 0;
            answered += SendMessageTimeoutA(form->Handle(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer) != 0;
        }
        asked = true;
    });
    while (!asked)
        quennet::Application().HandleMessage();
    other.join();
    EXPECT_EQ(answered, 5);
    EXPECT_TRUE(form->Finding());
    // Escape, as the keyboard brings it, stops the search and leaves the viewer open.
    PostMessageA(form->hexedit.Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
    for (int i = 0; i < 1000 && form->Finding(); ++i)
        quennet::Application().HandleMessage();
    EXPECT_FALSE(form->Finding());
    EXPECT_FALSE(form->hexedit.Busy());
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(form->hexedit.SelStart(), 10) << "the search ran to the match at the end instead of stopping";
    form.reset();
    DeleteFileA((folder + "view64gb.bin").c_str());
}

TEST_F(Viewer, F3FromTheFirstByteWithNothingSelectedFindsAMatchThere) {
    {
        std::ofstream out(folder + "viewfirst.bin", std::ios::binary);
        out << "needle and needle";
    }
    SearchCriteria criteria;
    criteria.PhraseText = "needle";
    form->SetSearchPhrase(BuildSearchRequest(criteria).Request->Searched());
    form->Prepare(folder, "viewfirst.bin", 0, 0);
    form->FindNext();
    EXPECT_EQ(form->hexedit.SelStart(), 0);
    EXPECT_EQ(form->hexedit.SelEnd(), 5);
    form->FindNext(); // on from the selected match
    EXPECT_EQ(form->hexedit.SelStart(), 11);
}

namespace {
// The bytes the viewer shows from the start.
std::string ShownBytes(const TForm4& form) {
    std::string bytes(static_cast<size_t>(form.hexedit.DataSize()), '\0');
    form.hexedit.Model().Data().Read(0, bytes.size(), reinterpret_cast<std::uint8_t*>(bytes.data()));
    return bytes;
}
} // namespace

// Names Windows paths drop or split, made on the host by odd-names.sh (the folder in
// QUENNET_ODD_NAMES), each beside the file a path built from it would name instead: the viewer
// showed that other file's bytes under the chosen row.
TEST_F(Viewer, ARowIsViewedAsItsOwnFileOrRefusedWithTheReason) {
    const char* odd = std::getenv("QUENNET_ODD_NAMES");
    if (!odd)
        GTEST_SKIP() << "run by odd-names.sh";
    const std::string dir = std::string(odd) + "\\";
    // As the search lists them: the names its enumeration gives.
    std::vector<std::string> names;
    TSearchRec rec;
    for (std::uint32_t s = FindFirstEntry(dir + "*", faAnyFile, rec); s == 0; s = FindNextEntry(rec))
        if (!(rec.Attr & faDirectory))
            names.push_back(rec.Name);
    CloseFindHandle(rec);
    const std::vector<std::pair<std::string, std::string>> files{{"trailing dot.", "dotted file, 18 b."},
                                                                  {"trailing dot", "plain"},
                                                                  {"tspace ", "sp "},
                                                                  {"tspace", "nospace"}};
    for (const auto& [name, bytes] : files) {
        ASSERT_NE(std::find(names.begin(), names.end(), name), names.end()) << "[" << name << "] is listed";
        form->Prepare(dir, name, 0, 0);
        EXPECT_EQ(ShownBytes(*form), bytes) << "[" << name << "]";
        EXPECT_EQ(form->Caption(), "Viewing: " + dir + name);
        // Under a typed root with a ".." step, which the exact form of a path does not resolve.
        form->Prepare(dir + "..\\odd-names\\", name, 0, 0);
        EXPECT_EQ(ShownBytes(*form), bytes) << "[" << name << "] under a \"..\" step";
    }
    ASSERT_NE(std::find(names.begin(), names.end(), "back\\slash.txt"), names.end());
    form->Prepare(dir, "tspace", 0, 0);
    try {
        form->Prepare(dir, "back\\slash.txt", 0, 0);
        ADD_FAILURE() << "opened as " << ShownBytes(*form);
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot view \"back\\slash.txt\" in " + dir +
                                             ": its name holds a \"\\\" or a \"/\", which Windows reads as a "
                                             "folder separator.");
    }
}

// At the default size a file of 16 MB or more (offsets of seven digits) had its character
// column cut, and the row below the match half under the horizontal scroll bar.
TEST_F(Viewer, OpensWithTheMatchRowWholeAndItsCharactersInView) {
    WriteFile(folder + "view20mb.bin", 20u << 20);
    const int match = 10000007;
    form->Prepare(folder, "view20mb.bin", match, 4);
    form->Show();
    quennet::Application().ProcessMessages();
    const HexModel& m = form->hexedit.Model();
    const HexLayout& layout = m.Layout();
    const int lastChar = layout.LastCharCol();
    EXPECT_GE(m.ColLeft(lastChar), 0);
    EXPECT_LE(m.ColLeft(lastChar) + layout.ColWidth(lastChar), m.ClientWidth()) << "the character column is cut";
    EXPECT_EQ(GetWindowLongA(form->hexedit.Handle(), GWL_STYLE) & WS_HSCROLL, 0) << "a horizontal scroll bar";
    EXPECT_EQ((m.ClientHeight() - layout.RulerHeight()) % layout.CharHeight(), 0) << "a row cut at the bottom";
    const HexPos matchRow = match / kBytesPerRow + 2;
    EXPECT_LE(m.RowTop(matchRow) + layout.CharHeight(), m.ClientHeight());
    form.reset();
    DeleteFileA((folder + "view20mb.bin").c_str());
}

// Ctrl+G went to the offset with its row as the last one in view; F3 with no further match
// only beeped.
TEST_F(Viewer, CtrlGPutsItsRowAThirdDownAndF3SaysWhenNoMatchIsLeft) {
    form->Prepare(folder, "view5000.bin", 0, 0);
    form->Show();
    ASSERT_TRUE(form->GotoOffset("4000"));
    const HexModel& m = form->hexedit.Model();
    EXPECT_EQ(m.TopRow(), 4000 / kBytesPerRow + 2 - m.PageRows() / 3);
    ASSERT_TRUE(form->GotoOffset("4010")); // in view already: nothing scrolls
    EXPECT_EQ(m.TopRow(), 4000 / kBytesPerRow + 2 - m.PageRows() / 3);

    SearchCriteria criteria;
    criteria.PhraseText = "vv";
    form->SetSearchPhrase(BuildSearchRequest(criteria).Request->Searched());
    form->Prepare(folder, "view5000.bin", 4998, 2);
    form->FindNext();
    EXPECT_EQ(form->hexedit.SelStart(), 4998);
    EXPECT_EQ(form->Caption(), "Viewing: " + folder + "view5000.bin - No more matches");
}

// Bytes that could not be read showed as 00 and were copied and searched as such. Wine does
// not hold reads to another handle's byte-range lock; a file cut short by another program
// while it is viewed fails its reads past the new end as well.
TEST_F(Viewer, BytesThatCannotBeReadAreMarkedAndCopyAndF3SaySo) {
    const std::string path = folder + "viewcut.bin";
    WriteFile(path, 200000);
    form->Prepare(folder, "viewcut.bin", 70001, 1);
    {
        FileHandle other(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(other);
        LARGE_INTEGER end{};
        end.QuadPart = 70000;
        ASSERT_TRUE(SetFilePointerEx(other.get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(other.get()));
    }
    form->Show();
    quennet::Application().ProcessMessages();
    EXPECT_EQ(form->Caption(), "Viewing: " + path +
                                   " - Some bytes from offset 0x11170 cannot be read (the file is shorter than "
                                   "when it was opened)");
    // Painted as unreadable, in both fields: a byte after the match, not selected.
    const Screen screen(form->hexedit);
    const HexModel& m = form->hexedit.Model();
    for (HexField field : {HexField::Hex, HexField::Char}) {
        const HexCell cell = m.Layout().CellOfPosition(70003, field);
        EXPECT_EQ(screen.At(m.ColLeft(cell.Col) + 1, m.RowTop(cell.Row) + 1), RGB(255, 210, 210));
    }
    EXPECT_THROW(form->Copy1Click(), EHexReadError);
    SearchCriteria criteria;
    criteria.PhraseText = "needle";
    form->SetSearchPhrase(BuildSearchRequest(criteria).Request->Searched());
    EXPECT_THROW(form->FindNext(), EHexReadError);
    EXPECT_FALSE(form->Finding());
    form.reset();
    DeleteFileA(path.c_str());
}
