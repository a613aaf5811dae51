// The hex view window under Wine: clipboard formats byte for byte, painting read back from a
// bitmap, and load failures.
#include "hexcontrol/HexEditorEx.h"
#include "hexcontrol/HexError.h"
#include "runtime/Application.h"
#include "runtime/Form.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using namespace quennet;

namespace {
std::string TempPath(const std::string& name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

class HexWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ole = new THexOleSession(); }
    static void TearDownTestSuite() {
        delete ole;
        ole = nullptr;
    }
    void SetUp() override {
        form = std::make_unique<TForm>();
        form->SetBounds(0, 0, 700, 300);
        editor = &form->Add<THexEditorEx>();
        editor->SetReadOnlyView(true);
        editor->SetBytesPerRow(20);
        editor->SetHexLowerCase(true);
        editor->SetShowRuler(true);
        editor->SetMaskCharAsInteger(183);
        editor->SetGraySelectionIfNotFocused(true);
        editor->SetDrawGutter3D(false);
        THexColors colors;
        colors.Background = RGB(240, 240, 240);
        colors.ActiveFieldBackground = RGB(255, 255, 255);
        colors.OddColumn = RGB(0, 0, 255);
        colors.EvenColumn = RGB(0, 0, 128);
        editor->SetColors(colors);
        editor->SetBounds(0, 0, 680, 260);
        form->Show();
        Application().ProcessMessages();
    }
    void TearDown() override {
        editor = nullptr;
        form.reset();
    }
    static std::vector<std::uint8_t> ClipboardBytes(CLIPFORMAT format, HRESULT* result = nullptr,
                                                    LONG index = -1) {
        ComPtr<IDataObject> data;
        EXPECT_EQ(OleGetClipboard(data.put()), S_OK);
        FORMATETC request{format, nullptr, DVASPECT_CONTENT, index, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        HRESULT hr = data->GetData(&request, &medium);
        if (result)
            *result = hr;
        if (FAILED(hr))
            return {};
        std::vector<std::uint8_t> out(GlobalSize(medium.hGlobal));
        {
            GlobalLockGuard<std::uint8_t> lock(medium.hGlobal);
            std::memcpy(out.data(), lock.get(), out.size());
        }
        ReleaseStgMedium(&medium);
        return out;
    }

    static THexOleSession* ole;
    std::unique_ptr<TForm> form;
    THexEditorEx* editor = nullptr;
};
THexOleSession* HexWindow::ole = nullptr;
} // namespace

TEST_F(HexWindow, CopyOffersFiveFormatsByteForByte) {
    std::string path = WriteFile("report.txt", {'x', 'A', 'B', 0, 'C', 'y'});
    editor->LoadFile(path);
    editor->SetSelectionStart(1);
    editor->SetSelectionEnd(4);
    ASSERT_TRUE(editor->CopySelection());
    const HexClipboardFormats& f = HexRegisterClipboardFormats();

    EXPECT_EQ(ClipboardBytes(f.Private),
              (std::vector<std::uint8_t>{0x4D, 0x50, 0x54, 0x48, 1, 0, 1, 0, 4, 0, 0, 0, 'A', 'B', 0, 'C'}));
    EXPECT_EQ(ClipboardBytes(CF_TEXT), (std::vector<std::uint8_t>{'A', 'B', 0}));
    EXPECT_EQ(ClipboardBytes(f.FileContents), (std::vector<std::uint8_t>{'A', 'B', 0, 'C'}));
    EXPECT_EQ(ClipboardBytes(f.RegEditHexData), (std::vector<std::uint8_t>{4, 0, 0, 0, 'A', 'B', 0, 'C'}));

    std::vector<std::uint8_t> descriptor = ClipboardBytes(f.FileGroupDescriptor);
    ASSERT_EQ(descriptor.size(), 336u);
    auto u32 = [&](size_t at) {
        std::uint32_t v;
        std::memcpy(&v, descriptor.data() + at, 4);
        return v;
    };
    EXPECT_EQ(u32(0), 1u);
    EXPECT_EQ(u32(4), 0x60u);
    for (size_t i = 8; i < 60; ++i)
        EXPECT_EQ(descriptor[i], 0) << i;
    EXPECT_NE(u32(60) | u32(64), 0u); // write time: now
    EXPECT_EQ(u32(68), 0u);
    EXPECT_EQ(u32(72), 4u);
    EXPECT_STREQ(reinterpret_cast<const char*>(descriptor.data() + 76), "Dump of report.bin");
}

// Bytes copied from "été.txt" arrived as "Dump of Ã©tÃ©.bin": the ANSI descriptor held UTF-8.
// Now the wide descriptor names the file whole and the ANSI one in the user's ANSI page.
TEST_F(HexWindow, DraggedFileNameSurvivesNonAscii) {
    const std::string name = "\xC3\xA9t\xC3\xA9 \xE6\x97\xA5.txt"; // "été 日.txt"
    editor->LoadFile(WriteFile(name, {'a', 'b', 'c'}));
    editor->SelectAllData();
    ASSERT_TRUE(editor->CopySelection());
    const HexClipboardFormats& f = HexRegisterClipboardFormats();
    const std::vector<std::uint8_t> wide = ClipboardBytes(f.FileGroupDescriptorW);
    ASSERT_EQ(wide.size(), 596u);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(wide.data() + 76)), L"Dump of \u00E9t\u00E9 \u65E5.bin");
    EXPECT_EQ(wide[72], 3);

    wchar_t page[8]{};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, page, 8);
    ASSERT_EQ(std::wstring(page), L"1252") << "the expected bytes below are those of code page 1252";
    const std::vector<std::uint8_t> ansi = ClipboardBytes(f.FileGroupDescriptor);
    ASSERT_EQ(ansi.size(), 336u);
    EXPECT_STREQ(reinterpret_cast<const char*>(ansi.data() + 76), "Dump of \xE9t\xE9 ?.bin");
}

TEST_F(HexWindow, DataObjectAnswersAndEnumerator) {
    auto object = ComPtr<THexDataObject>::Attach(new THexDataObject({1, 2, 3}, false, false, "C:\\a\\noext"));
    FORMATETC request{CF_TEXT, nullptr, DVASPECT_THUMBNAIL, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    EXPECT_EQ(object->GetData(&request, &medium), DV_E_DVASPECT);
    request.dwAspect = DVASPECT_CONTENT;
    request.tymed = TYMED_ISTREAM;
    EXPECT_EQ(object->QueryGetData(&request), DV_E_TYMED);
    request.tymed = TYMED_HGLOBAL;
    request.cfFormat = CF_BITMAP;
    EXPECT_EQ(object->QueryGetData(&request), DV_E_FORMATETC);
    EXPECT_EQ(object->GetDataHere(&request, &medium), DV_E_FORMATETC);
    // FileContents takes any index; the others only -1 and 0.
    request.cfFormat = HexRegisterClipboardFormats().FileContents;
    request.lindex = 3;
    EXPECT_EQ(object->QueryGetData(&request), S_OK);
    request.cfFormat = CF_TEXT;
    EXPECT_EQ(object->QueryGetData(&request), DV_E_LINDEX);
    request.lindex = 0;
    EXPECT_EQ(object->QueryGetData(&request), S_OK);
    FORMATETC canonical{};
    EXPECT_EQ(object->GetCanonicalFormatEtc(&request, &canonical), DATA_S_SAMEFORMATETC);
    EXPECT_EQ(object->DAdvise(&request, 0, nullptr, nullptr), OLE_E_ADVISENOTSUPPORTED);

    ComPtr<IEnumFORMATETC> formats;
    EXPECT_EQ(object->EnumFormatEtc(DATADIR_SET, formats.put()), E_NOTIMPL);
    ASSERT_EQ(object->EnumFormatEtc(DATADIR_GET, formats.put()), S_OK);
    FORMATETC got[7]{};
    ULONG fetched = 0;
    EXPECT_EQ(formats->Next(7, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 6u);
    EXPECT_EQ(got[5].cfFormat, HexRegisterClipboardFormats().FileGroupDescriptorW);
    EXPECT_EQ(got[1].cfFormat, CF_TEXT);
    EXPECT_EQ(got[3].cfFormat, HexRegisterClipboardFormats().FileContents);
    EXPECT_EQ(got[4].lindex, -1);
    // Skip answers S_OK when it skipped all it was asked to, S_FALSE when it ran out first;
    // either way it goes as far as it can.
    formats->Reset();
    EXPECT_EQ(formats->Skip(4), S_OK);
    EXPECT_EQ(formats->Next(1, got, &fetched), S_OK);
    EXPECT_EQ(got[0].cfFormat, HexRegisterClipboardFormats().RegEditHexData);
    formats->Reset();
    EXPECT_EQ(formats->Skip(6), S_OK); // exactly the six left: at the end
    EXPECT_EQ(formats->Next(1, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    formats->Reset();
    EXPECT_EQ(formats->Skip(2), S_OK);
    EXPECT_EQ(formats->Skip(5), S_FALSE); // four left
    EXPECT_EQ(formats->Next(1, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);

    // A clone starts where the original stands and then goes its own way.
    formats->Reset();
    EXPECT_EQ(formats->Skip(1), S_OK);
    ComPtr<IEnumFORMATETC> copy;
    ASSERT_EQ(formats->Clone(copy.put()), S_OK);
    EXPECT_EQ(copy->Next(1, got, &fetched), S_OK);
    EXPECT_EQ(got[0].cfFormat, CF_TEXT);
    EXPECT_EQ(formats->Next(1, got, &fetched), S_OK);
    EXPECT_EQ(got[0].cfFormat, CF_TEXT);
    EXPECT_EQ(copy->Skip(3), S_OK); // the clone at its end; the original is not
    EXPECT_EQ(formats->Next(1, got, &fetched), S_OK);
    EXPECT_EQ(got[0].cfFormat, HexRegisterClipboardFormats().FileGroupDescriptor);

    // The drop effect a target reports is kept.
    FORMATETC effectFormat{HexRegisterClipboardFormats().PerformedDropEffect, nullptr, DVASPECT_CONTENT, -1,
                           TYMED_HGLOBAL};
    STGMEDIUM effect{};
    effect.tymed = TYMED_HGLOBAL;
    effect.hGlobal = GlobalAlloc(GMEM_MOVEABLE, 4);
    *static_cast<DWORD*>(GlobalLock(effect.hGlobal)) = DROPEFFECT_MOVE;
    GlobalUnlock(effect.hGlobal);
    EXPECT_EQ(object->SetData(&effectFormat, &effect, TRUE), S_OK);
    EXPECT_TRUE(object->HasDropEffectOverride());
    EXPECT_EQ(object->DropEffectOverride(), static_cast<DWORD>(DROPEFFECT_MOVE));
}

TEST_F(HexWindow, CopyWithoutSelectionDoesNothing) {
    std::string path = WriteFile("plain.bin", {1, 2, 3});
    editor->LoadFile(path);
    EXPECT_FALSE(editor->CopySelection());
    std::string empty = WriteFile("empty.bin", {});
    editor->LoadFile(empty);
    editor->SelectAllData();
    EXPECT_FALSE(editor->CopySelection());
}

TEST_F(HexWindow, LoadErrorsKeepThePreviousData) {
    std::string path = WriteFile("kept.bin", {9, 8, 7});
    editor->LoadFile(path);
    std::string missing = TempPath("no-such-file.bin");
    try {
        editor->LoadFile(missing);
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open " + missing + ".\r\n(", 0), 0u) << e.what();
        EXPECT_EQ(std::string(e.what()).substr(std::strlen(e.what()) - 2), ".)");
    }
    EXPECT_EQ(editor->DataSize(), 3);
    EXPECT_EQ(editor->FileName(), path);

    // A file held open by someone else without sharing cannot be opened either. (Not the
    // file on show: the control holds that one open, sharing it, while it shows it.)
    std::string other = WriteFile("locked.bin", {6, 5});
    FileHandle locked(CreateFileA(other.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(locked);
    EXPECT_THROW(editor->LoadFile(other), EFOpenError);
    EXPECT_EQ(editor->FileName(), path);
    locked.reset();

    // Shared for reading and writing: loads, but counts as read-only.
    FileHandle shared(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    editor->LoadFile(path);
    EXPECT_TRUE(editor->Model().FileIsReadOnly());
}

namespace {
// The control painted once into a bitmap, with the cells' places as the model scrolls them.
class Painted {
  public:
    explicit Painted(THexEditorEx& editor) : editor_(editor) {
        const int w = editor.ClientWidth(), h = editor.ClientHeight();
        WindowDC screen(nullptr);
        dc_.reset(CreateCompatibleDC(screen.get()));
        bitmap_.reset(CreateCompatibleBitmap(screen.get(), w, h));
        SelectObject(dc_.get(), bitmap_.get());
        editor.PaintTo(dc_.get());
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }
    // The cell of a byte's high digit (hex field) or character; `digit` 1 is the low digit.
    RECT Cell(int position, bool charField, int digit = 0) const {
        HexCell cell =
            editor_.Model().Layout().CellOfPosition(position, charField ? HexField::Char : HexField::Hex);
        cell.Col += digit;
        const int x = editor_.Model().ColLeft(cell.Col), y = editor_.Model().RowTop(cell.Row);
        return RECT{x, y, x + editor_.Model().Layout().ColWidth(cell.Col),
                    y + editor_.Model().Layout().RowHeight(cell.Row)};
    }
    COLORREF AtCell(int position, bool charField, int dx, int dy, int digit = 0) const {
        const RECT r = Cell(position, charField, digit);
        return At(r.left + dx, r.top + dy);
    }
    // How many pixels of the rectangle have the colour.
    int Count(COLORREF color, const RECT& r) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += At(x, y) == color;
        return n;
    }
    // The character box of a cell: one CharWidth wide, the cell's height.
    RECT Box(int position, bool charField, int digit = 0) const {
        RECT r = Cell(position, charField, digit);
        r.right = r.left + editor_.CharWidth();
        return r;
    }

  private:
    THexEditorEx& editor_;
    MemoryDC dc_;
    GdiBitmap bitmap_;
};

COLORREF PixelOfCell(THexEditorEx& editor, int position, bool charField, int dx, int dy) {
    return Painted(editor).AtCell(position, charField, dx, dy);
}

void Focus(THexEditorEx& editor, bool focused) {
    if (focused)
        editor.SetFocus();
    else
        SetFocus(nullptr);
    Application().ProcessMessages();
    ASSERT_EQ(editor.Focused(), focused);
}
} // namespace

TEST_F(HexWindow, SelectedByteIsInvertedAndGreyWhenUnfocused) {
    std::string path = WriteFile("paint.bin", std::vector<std::uint8_t>(60, 0x20));
    editor->LoadFile(path);
    Focus(*editor, true);
    editor->SetSelectionStart(5);
    editor->SetSelectionEnd(6);
    // Top-left pixel of a digit box: the text background. Active field white -> black.
    EXPECT_EQ(PixelOfCell(*editor, 5, false, 0, 1), RGB(0, 0, 0));
    EXPECT_EQ(PixelOfCell(*editor, 7, false, 0, 1), RGB(255, 255, 255));
    // Inactive field (light grey) inverted.
    EXPECT_EQ(PixelOfCell(*editor, 6, true, 0, 1), RGB(15, 15, 15));
    EXPECT_EQ(PixelOfCell(*editor, 7, true, 0, 1), RGB(240, 240, 240));
    // The digits of byte 5 are blue (first digit group) and invert to yellow.
    const COLORREF yellow = RGB(255, 255, 0), grayOfYellow = HexGray(yellow);
    ASSERT_EQ(grayOfYellow, RGB(219, 219, 219));
    {
        Painted focused(*editor);
        EXPECT_GT(focused.Count(yellow, focused.Box(5, false)), 3);
        EXPECT_EQ(focused.Count(grayOfYellow, focused.Box(5, false)), 0);
    }

    Focus(*editor, false);
    EXPECT_EQ(PixelOfCell(*editor, 5, false, 0, 1), RGB(0, 0, 0)); // gray of black is black
    EXPECT_EQ(PixelOfCell(*editor, 6, true, 0, 1), RGB(15, 15, 15));
    {
        // Unfocused the yellow text turns grey: this is where gray and not-gray differ.
        Painted unfocused(*editor);
        EXPECT_EQ(unfocused.Count(yellow, unfocused.Box(5, false)), 0);
        EXPECT_GT(unfocused.Count(grayOfYellow, unfocused.Box(5, false)), 3);
        // The last byte too: its navy digits invert to RGB(255,255,127), grey 237.
        EXPECT_GT(unfocused.Count(HexGray(RGB(255, 255, 127)), unfocused.Box(6, false, 1)), 3);
        EXPECT_EQ(unfocused.Count(RGB(255, 255, 127), unfocused.Box(6, false, 1)), 0);
    }
    editor->SetSelectionEnd(-1);
    EXPECT_EQ(PixelOfCell(*editor, 5, false, 0, 1), RGB(255, 255, 255));
}

TEST_F(HexWindow, LastSelectedByteIsInvertedButNoGapAfterIt) {
    editor->LoadFile(WriteFile("gaps.bin", std::vector<std::uint8_t>(60, 0x20)));
    Focus(*editor, true);
    editor->SetSelectionStart(2);
    editor->SetSelectionEnd(5); // bytes 2 and 3 end the second digit group, 4 and 5 the third
    Painted p(*editor);
    const int cw = editor->CharWidth();
    // The last byte's digits and character are inverted like every other selected byte.
    EXPECT_EQ(p.AtCell(5, false, 0, 1), RGB(0, 0, 0));
    EXPECT_EQ(p.AtCell(5, false, 0, 1, 1), RGB(0, 0, 0));
    EXPECT_EQ(p.AtCell(5, true, 0, 1), RGB(15, 15, 15));
    // A group gap inside the selection is inverted; the one after the last byte is not.
    EXPECT_EQ(p.AtCell(3, false, cw + 2, 1, 1), RGB(0, 0, 0));
    EXPECT_EQ(p.AtCell(5, false, cw + 2, 1, 1), RGB(255, 255, 255));
    // Not selected: byte 1 and byte 6.
    EXPECT_EQ(p.AtCell(1, false, 0, 1, 1), RGB(255, 255, 255));
    EXPECT_EQ(p.AtCell(6, false, 0, 1), RGB(255, 255, 255));
}

TEST_F(HexWindow, TwinFrameMarksTheCursorsByteInTheOtherFieldWhileFocused) {
    editor->LoadFile(WriteFile("twin.bin", std::vector<std::uint8_t>(60, 0x20)));
    editor->SetSelectionStart(7); // the cursor on byte 7's high digit
    Focus(*editor, true);
    auto topEdge = [](RECT r) { return RECT{r.left, r.top, r.right, r.top + 1}; };
    {
        // In the hex field: a dotted frame round byte 7's character (light grey, dots inverted).
        Painted p(*editor);
        EXPECT_GE(p.Count(RGB(15, 15, 15), topEdge(p.Box(7, true))), 2);
        EXPECT_EQ(p.Count(RGB(15, 15, 15), topEdge(p.Box(8, true))), 0);
        EXPECT_EQ(p.Count(RGB(15, 15, 15), topEdge(p.Box(6, true))), 0);
    }
    SendMessageA(editor->Handle(), WM_KEYDOWN, VK_TAB, 0); // to the character field
    ASSERT_EQ(editor->Model().CursorField(), HexField::Char);
    {
        // In the character field: one frame round both digits of byte 7 (the hex field is now
        // the inactive one, light grey, so the dots are dark grey).
        Painted p(*editor);
        const RECT high = p.Cell(7, false), low = p.Box(7, false, 1);
        EXPECT_GE(p.Count(RGB(15, 15, 15), topEdge(RECT{high.left, high.top, low.right, high.bottom})), 4);
        EXPECT_GE(p.Count(RGB(15, 15, 15), topEdge(high)), 2); // across the first digit as well
        EXPECT_EQ(p.Count(RGB(15, 15, 15), topEdge(p.Box(8, false))), 0);
        EXPECT_EQ(p.Count(RGB(0, 0, 0), topEdge(p.Box(7, true))), 0); // none on the cursor's own cell
    }
    Focus(*editor, false);
    {
        // Not focused: no frame (ShowPositionIfNotFocused is off).
        Painted p(*editor);
        EXPECT_EQ(p.Count(RGB(15, 15, 15), topEdge(p.Cell(7, false))), 0);
    }
}

TEST_F(HexWindow, BookmarkGlyphsAreDrawnTransparentlyInTheGutter) {
    editor->LoadFile(WriteFile("marks.bin", std::vector<std::uint8_t>(100, 0x20)));
    editor->SetSelectionStart(45); // row 4
    editor->Model().ToggleBookmark(3);
    editor->SetSelectionStart(87); // row 6, in the character field then
    SendMessageA(editor->Handle(), WM_KEYDOWN, VK_TAB, 0);
    editor->Model().ToggleBookmark(3 + 1);
    editor->SetSelectionStart(5); // the cursor away from both rows
    GdiBitmap strip(LoadBitmapA(GetModuleHandleA(nullptr), "BOOKMARKICONS"));
    ASSERT_TRUE(strip);
    MemoryDC glyphs(CreateCompatibleDC(nullptr));
    SelectGuard select(glyphs.get(), strip.get());
    Painted p(*editor);
    const COLORREF gutter = GetSysColor(COLOR_BTNFACE), magenta = RGB(255, 0, 255);
    auto expectGlyph = [&](int glyph, int row) {
        const int top = editor->Model().RowTop(row) + (editor->CharHeight() - 10) / 2;
        int shown = 0, transparent = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                const COLORREF source = GetPixel(glyphs.get(), glyph * 10 + x, y);
                const COLORREF expected = source == magenta ? gutter : source;
                EXPECT_EQ(p.At(3 + x, top + y), expected) << "glyph " << glyph << " at " << x << "," << y;
                (source == magenta ? transparent : shown)++;
            }
        EXPECT_GT(shown, 10);
        EXPECT_GT(transparent, 2); // the corners
    };
    expectGlyph(3, 4);                                             // bookmark 3, set in the hex field
    expectGlyph(10 + 4, 6);                                        // bookmark 4, set in the character field
    EXPECT_EQ(p.At(3 + 4, editor->Model().RowTop(5) + 8), gutter); // no bookmark on row 5
}

TEST_F(HexWindow, GutterMarksTheCursorsRow) {
    editor->LoadFile(WriteFile("gutter.bin", std::vector<std::uint8_t>(100, 0x20)));
    editor->SetSelectionStart(45); // row 4
    Painted p(*editor);
    const int rowTop = editor->Model().RowTop(4), height = editor->CharHeight();
    EXPECT_EQ(p.At(2, rowTop + 1), GetSysColor(COLOR_BTNSHADOW));        // CurrentOffsetBackground
    EXPECT_EQ(p.At(2, rowTop - height + 1), GetSysColor(COLOR_BTNFACE)); // OffsetBackground
    EXPECT_EQ(p.At(2, rowTop + height + 1), GetSysColor(COLOR_BTNFACE));
    // The offset text of the cursor's row is drawn in CurrentOffset.
    RECT gutter{0, rowTop, editor->Model().Layout().GutterPixels(), rowTop + height};
    EXPECT_GT(p.Count(GetSysColor(COLOR_BTNHIGHLIGHT), gutter), 3);
}

namespace {
// Holds Shift down in this thread's keyboard state, as GetKeyState reports it to the control.
struct ShiftHeld {
    ShiftHeld() { Set(0x80); }
    ~ShiftHeld() { Set(0); }
    static void Set(BYTE state) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = keys[VK_LSHIFT] = state;
        SetKeyboardState(keys);
    }
};
} // namespace

TEST_F(HexWindow, KeysMouseAndWheelThroughWindowMessages) {
    editor->LoadFile(WriteFile("keys.bin", std::vector<std::uint8_t>(5000, 'k')));
    editor->SetFocus();
    Application().ProcessMessages();
    const HWND window = editor->Handle();

    // A click on byte 5 of the hex field puts the cursor there.
    const HexCell cell = editor->Model().Layout().CellOfPosition(5, HexField::Hex);
    const LPARAM at = MAKELPARAM(editor->Model().ColLeft(cell.Col) + 2, editor->Model().RowTop(cell.Row) + 2);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(window, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(editor->Model().CursorPosition(), 5);

    // Shift+Right three times selects bytes 5 to 8.
    {
        ShiftHeld shift;
        for (int i = 0; i < 3; ++i)
            SendMessageA(window, WM_KEYDOWN, VK_RIGHT, 0);
    }
    EXPECT_EQ(editor->SelStart(), 5);
    EXPECT_EQ(editor->Model().SelEnd(), 8);

    // One notch of the wheel towards the user scrolls down; away from the user back up.
    const int first = editor->Model().TopRow(); // the first data row, below the fixed ones
    POINT screen{10, 10};
    ClientToScreen(window, &screen);
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                 MAKELPARAM(screen.x, screen.y));
    const int scrolled = editor->Model().TopRow();
    EXPECT_GT(scrolled, first);
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(editor->Model().TopRow(), first);
    // A touchpad's thirds of a notch act once they make a whole one (each scrolled a page), and
    // with Ctrl so do halves (each widened the row).
    auto wheel = [&](WORD keys, int delta) {
        PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(delta)), MAKELPARAM(screen.x, screen.y));
        Application().ProcessMessages();
    };
    for (int third = 1; third <= 3; ++third) {
        wheel(0, -WHEEL_DELTA / 3);
        EXPECT_EQ(editor->Model().TopRow(), third < 3 ? first : scrolled) << third << " thirds";
    }
    for (int half = 0; half < 3; ++half)
        wheel(MK_CONTROL, WHEEL_DELTA / 2);
    EXPECT_EQ(editor->Model().Layout().BytesPerRow(), 21);

    // Ctrl+End goes to the last byte and scrolls it into view.
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(window, WM_KEYDOWN, VK_END, 0);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(editor->Model().CursorPosition(), 4999);
    EXPECT_EQ(editor->Model().TopRow(), editor->Model().MaxTopRow());
}

TEST_F(HexWindow, CtrlShiftWheelZoomsTheFixedPitchCellFont) {
    editor->LoadFile(WriteFile("zoom.bin", std::vector<std::uint8_t>(100, 'i')));
    const int width = editor->CharWidth(), height = editor->CharHeight();
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    SetKeyboardState(keys);
    POINT at{10, 10};
    ClientToScreen(editor->Handle(), &at);
    for (int i = 0; i < 4; ++i)
        SendMessageA(editor->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL | MK_SHIFT, WHEEL_DELTA),
                     MAKELPARAM(at.x, at.y));
    keys[VK_CONTROL] = keys[VK_LCONTROL] = keys[VK_SHIFT] = keys[VK_LSHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(editor->Model().FontSize, 15);
    EXPECT_GT(editor->CharWidth(), width);
    EXPECT_GT(editor->CharHeight(), height);
    EXPECT_EQ(editor->Model().Layout().ColWidth(2), editor->CharWidth());
}

TEST_F(HexWindow, CursorCellFramedWhileUnfocusedOnlyWhenAsked) {
    editor->LoadFile(WriteFile("frame.bin", std::vector<std::uint8_t>(60, 0x20)));
    editor->SetFocusFrame(false);
    editor->SetSelectionStart(7);
    SetFocus(nullptr);
    Application().ProcessMessages();
    ASSERT_FALSE(editor->Focused());
    const COLORREF aqua = RGB(0, 255, 255);
    EXPECT_NE(PixelOfCell(*editor, 7, false, 0, 0), aqua);

    editor->SetShowPositionIfNotFocused(true);
    EXPECT_EQ(PixelOfCell(*editor, 7, false, 0, 0), aqua);
    EXPECT_EQ(PixelOfCell(*editor, 7, false, editor->CharWidth() - 1, 5), aqua);
    EXPECT_NE(PixelOfCell(*editor, 7, true, 0, 0), aqua); // the other field keeps no frame

    editor->SetFocus();
    Application().ProcessMessages();
    ASSERT_TRUE(editor->Focused());
    EXPECT_NE(PixelOfCell(*editor, 7, false, 0, 0), aqua);
}

TEST(HexDropSource, EscapeCancelsReleaseDropsOtherwiseGoesOn) {
    auto source = ComPtr<IDropSource>::Attach(new THexDropSource());
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON | MK_SHIFT), S_OK);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_RBUTTON), DRAGDROP_S_DROP);
    EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source->QueryContinueDrag(TRUE, 0), DRAGDROP_S_CANCEL); // Escape wins over the release
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_NONE), DRAGDROP_S_USEDEFAULTCURSORS);
}

TEST_F(HexWindow, DropTargetRefusesEveryDropWhileTrackingThePosition) {
    editor->LoadFile(WriteFile("drop.bin", std::vector<std::uint8_t>(5000, 'd')));
    editor->SetOleDragDrop(true);
    const HWND window = editor->Handle();
    // Registered with the platform: a second registration for the window is refused.
    auto other = ComPtr<THexDropTarget>::Attach(new THexDropTarget(nullptr));
    EXPECT_EQ(RegisterDragDrop(window, other.get()), DRAGDROP_E_ALREADYREGISTERED);
    IDropTarget* target = editor->RegisteredDropTarget();
    ASSERT_NE(target, nullptr);

    auto data = ComPtr<THexDataObject>::Attach(new THexDataObject({'x', 'y'}, false, false, "C:\\in.txt"));
    const HexCell cell = editor->Model().Layout().CellOfPosition(25, HexField::Hex);
    POINT at{editor->Model().ColLeft(cell.Col + 1) + 2, editor->Model().RowTop(cell.Row) + 2}; // low digit
    ClientToScreen(window, &at);
    const COLORREF blue = RGB(0, 0, 255); // the digits of byte 25 (7th group)
    EXPECT_NE(PixelOfCell(*editor, 25, false, 1, 3), blue);

    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(data.get(), MK_LBUTTON, POINTL{at.x, at.y}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(editor->Model().DropCell(), cell);
    EXPECT_EQ(PixelOfCell(*editor, 25, false, 1, 3), blue); // the marker, in the text colour
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, POINTL{at.x, at.y}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));

    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(data.get(), 0, POINTL{at.x, at.y}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(editor->DataSize(), 5000);
    EXPECT_EQ(editor->Model().Data().At(25), 'd');
    EXPECT_EQ(editor->Model().DropCell(), (HexCell{-1, -1}));
    EXPECT_NE(PixelOfCell(*editor, 25, false, 1, 3), blue);

    // Switched off, the window is no drop target any more.
    editor->SetOleDragDrop(false);
    EXPECT_EQ(editor->RegisteredDropTarget(), nullptr);
    EXPECT_EQ(RegisterDragDrop(window, other.get()), S_OK);
    EXPECT_EQ(RevokeDragDrop(window), S_OK);
}

namespace {
// A drop target that takes virtual files, as Explorer does, and claims to have moved them.
class VirtualFileTarget final : public IDropTarget {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        allowed = *effect;
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        descriptor = Read(data, HexRegisterClipboardFormats().FileGroupDescriptor);
        contents = Read(data, HexRegisterClipboardFormats().FileContents);
        *effect = DROPEFFECT_MOVE;
        return S_OK;
    }
    static std::vector<std::uint8_t> Read(IDataObject* data, CLIPFORMAT format) {
        FORMATETC request{format, nullptr, DVASPECT_CONTENT, 0, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (FAILED(data->GetData(&request, &medium)))
            return {};
        std::vector<std::uint8_t> out(GlobalSize(medium.hGlobal));
        {
            GlobalLockGuard<std::uint8_t> lock(medium.hGlobal);
            std::memcpy(out.data(), lock.get(), out.size());
        }
        ReleaseStgMedium(&medium);
        return out;
    }

    ULONG refs = 1;
    DWORD allowed = 0;
    std::vector<std::uint8_t> descriptor, contents;
};
} // namespace

TEST_F(HexWindow, DraggingTheSelectionOutHandsOverAVirtualFileAndKeepsTheData) {
    std::vector<std::uint8_t> bytes(100);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>('0' + i % 10);
    editor->LoadFile(WriteFile("drag.txt", bytes));
    editor->SetOleDragDrop(true);
    editor->SetSelectionStart(5);
    editor->SetSelectionEnd(10);
    const HWND window = editor->Handle();
    VirtualFileTarget target;
    ASSERT_EQ(RevokeDragDrop(window), S_OK);
    ASSERT_EQ(RegisterDragDrop(window, &target), S_OK);

    // The drop lands where the pointer is: on the control itself.
    const HexCell cell = editor->Model().Layout().CellOfPosition(6, HexField::Hex);
    const int x = editor->Model().ColLeft(cell.Col) + 2, y = editor->Model().RowTop(cell.Row) + 2;
    POINT screen{x, y + 40};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    Application().ProcessMessages();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    // Past the threshold the drag loop runs; with no button held in this thread it drops at once.
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y + 40));
    RevokeDragDrop(window);

    EXPECT_EQ(target.allowed, static_cast<DWORD>(DROPEFFECT_COPY)); // never a move from the viewer
    ASSERT_EQ(target.descriptor.size(), 336u);
    EXPECT_STREQ(reinterpret_cast<const char*>(target.descriptor.data() + 76), "Dump of drag.bin");
    EXPECT_EQ(target.contents, std::vector<std::uint8_t>(bytes.begin() + 5, bytes.begin() + 11));
    // The target said it moved the bytes; the viewer still holds and selects them all.
    EXPECT_EQ(editor->DataSize(), 100);
    EXPECT_EQ(editor->SelStart(), 5);
    EXPECT_EQ(editor->SelEnd(), 10);
    EXPECT_EQ(editor->Model().DropCell(), (HexCell{-1, -1}));
}
