#include "dialogs/hexview.h"

#include "hexcontrol/HexError.h"
#include "runtime/MessageBoxes.h"
#include "base/WidePath.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

using namespace quennet;

namespace {

// Why no path can name this file alone, or nothing. Windows reads a backslash or a slash in a
// path as a folder separator and a colon as a stream's; a "?" or "*" is what the ANSI
// functions give for a character outside the code page, U+FFFD what a broken UTF-16 name
// becomes: the path would name another file, or none.
std::string NameNoPathCanSay(const std::string& name) {
    if (name.find_first_of("\\/") != std::string::npos)
        return "its name holds a \"\\\" or a \"/\", which Windows reads as a folder separator";
    if (name.find(':') != std::string::npos)
        return "its name holds a \":\", which Windows reads as the start of a stream name";
    if (name.find_first_of("?*") != std::string::npos || name.find("\xEF\xBF\xBD") != std::string::npos)
        return "its name holds a character this system could not give, so the name shown is not the file's own";
    return std::string();
}

// The path that names exactly this file. A name ending in a dot or a space is kept only by a
// "\\?\" path, which the system takes as it is: any other form drops the dot or the space and
// names another file. The folder is made such a path on its own (a typed root may hold ".."
// steps, which only the other form resolves) and the name goes after it untouched.
std::string ExactPath(const std::string& folder, const std::string& name) {
    if (name.empty() || (name.back() != '.' && name.back() != ' '))
        return folder + name;
    return WideToUtf8(LongPathW(folder)) + name;
}

// F3 reads this much between two looks at the window's messages (a few milliseconds), and
// goes on slice after slice for kFindBurst while no key or mouse input waits.
constexpr std::size_t kFindSlice = 4u << 20;
constexpr auto kFindBurst = std::chrono::milliseconds(40);
// After the caption, while F3 has nothing further to select.
constexpr const char* kNoMoreMatches = " - No more matches";

THexColors ViewerColors() {
    THexColors c;
    c.Background = RGB(240, 240, 240);
    c.ChangedBackground = RGB(255, 255, 168);
    c.ChangedText = RGB(128, 0, 0);
    c.CursorFrame = RGB(0, 0, 128);
    c.NonFocusCursorFrame = RGB(0, 255, 255);
    c.Offset = RGB(128, 128, 128);
    c.OffsetBackground = RGB(192, 220, 192);
    c.CurrentOffset = RGB(255, 255, 255);
    c.CurrentOffsetBackground = RGB(128, 128, 128);
    c.OddColumn = RGB(0, 0, 255);
    c.EvenColumn = RGB(0, 0, 128);
    c.ActiveFieldBackground = RGB(255, 255, 255);
    c.Grid = clBtnFace;
    return c;
}
} // namespace

namespace {
constexpr int kDefaultWidth = 804, kDefaultHeight = 421;
} // namespace

TForm4::TForm4() : hexedit(Add<THexEditorEx>()) {
    SetCaption("Viewer");
    SetBorderStyle(bsSizeable);
    SetPosition(poDesktopCenter);
    SetBounds(0, 0, kDefaultWidth, kDefaultHeight);

    hexedit.SetReadOnlyView(true);
    hexedit.SetBytesPerRow(20);
    hexedit.SetTranslation(THexTranslationKind::tkAsIs);
    hexedit.SetMaskCharAsInteger(183);
    hexedit.SetOffsetFormat("-!10:0x|");
    hexedit.SetHexLowerCase(true);
    hexedit.SetShowRuler(true);
    hexedit.SetDrawGridLines(true);
    hexedit.SetDrawGutter3D(false);
    hexedit.SetFocusFrame(true);
    hexedit.SetGraySelectionIfNotFocused(true);
    hexedit.SetOleDragDrop(true);
    hexedit.SetHexFont("Courier New", 11, clBlack); // 15 pixels high on a 96 dpi screen
    hexedit.SetColors(ViewerColors());
    hexedit.Model().ResetDocument();

    PopupMenu1.Add("&Copy", [this] { Copy1Click(); });
    PopupMenu1.AddSeparator();
    PopupMenu1.Add("&Select all", [this] { Selectall1Click(); });
    hexedit.SetPopupMenu(&PopupMenu1);
    hexedit.OnKeyDown = [this](TWinControl&, WORD& Key, TShiftState Shift) { hexeditKeyDown(Key, Shift); };
    // Painting meets the bytes that cannot be read: the caption says so while the file is shown.
    hexedit.OnReadFault = [this](THexEditor&, const std::string& text) {
        readFault_ = text;
        ShowCaption();
    };
    SetActiveControl(&hexedit);
    // The lowest of the window's messages: keys, the mouse and painting come first.
    findTimer_.SetInterval(1);
    findTimer_.OnTimer = [this](TTimer&) { FindTimer(); };
}

void TForm4::Resize() {
    TForm::Resize();
    hexedit.SetBounds(0, 0, ClientWidth(), ClientHeight());
}

void TForm4::Prepare(const std::string& folder, const std::string& name, std::int64_t matchOffset,
                     int phraseLength) {
    CancelFind(); // it reads the data about to be replaced
    const std::string path = folder + name;
    if (const std::string why = NameNoPathCanSay(name); !why.empty())
        throw std::runtime_error("Cannot view \"" + name + "\" in " + folder + ": " + why + ".");
    hexedit.LoadFile(ExactPath(folder, name));
    caption_ = "Viewing: " + path;
    readFault_.clear();
    ShowCaption();
    FitTheWholeRows();
    if (matchOffset != 0) {
        try {
            Select(matchOffset, static_cast<HexPos>(phraseLength));
        } catch (...) {
            // The file shrank since the search: the viewer stays closed, so it lets the file go.
            hexedit.CloseFile();
            throw;
        }
    }
}

void TForm4::FitTheWholeRows() {
    Handle();
    hexedit.Handle();
    hexedit.SetBounds(0, 0, ClientWidth(), ClientHeight()); // before the first showing too
    // A maximised viewer is whole as it is: sizing it would leave it flagged maximised at
    // another size, which its frame can then neither move nor size.
    if (Maximized())
        return;
    const HexLayout& layout = hexedit.Model().Layout();
    int gridWidth = 0;
    for (int col = 0; col < layout.ColCount(); ++col)
        gridWidth += layout.ColWidth(col);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    // The user's size stays. Wider only by what the grid lacks; the horizontal scroll bar then
    // goes, and the height it leaves is measured after.
    if (gridWidth > hexedit.ClientWidth())
        SetClientSize(std::min<int>(ClientWidth() + gridWidth - hexedit.ClientWidth(),
                                    work.right - work.left - (Width() - ClientWidth())),
                      ClientHeight());
    // The first opening cuts the default height to whole rows; later the height is the user's.
    if (fitted_)
        return;
    fitted_ = true;
    const int rowsHeight = hexedit.ClientHeight() - layout.RulerHeight();
    if (rowsHeight > layout.CharHeight())
        SetClientSize(ClientWidth(), ClientHeight() - rowsHeight % layout.CharHeight());
}

void TForm4::Select(HexPos start, HexPos length) {
    const HexModel& m = hexedit.Model();
    const HexPos row = m.Layout().CellOfPosition(start, HexField::Hex).Row;
    const bool inView = row >= m.TopRow() && row < m.TopRow() + m.VisibleRowCount();
    hexedit.SetSelectionStart(start);
    if (length > 0)
        hexedit.SetSelectionEnd(start + length - 1);
    // A target scrolled to is put a third down, not on the last row: what follows it shows.
    if (!inView)
        hexedit.Model().SetTopRow(row - m.VisibleRowCount() / 3);
}

void TForm4::ShowCaption(const char* note) {
    SetCaption(caption_ + (readFault_.empty() ? std::string() : " - " + readFault_) + note);
}

void TForm4::Open(const std::string& folder, const std::string& name, std::int64_t matchOffset,
                  int phraseLength) {
    Prepare(folder, name, matchOffset, phraseLength);
    ShowModal();
    // Closed: the file and its pages go now, not at the next opening.
    CancelFind();
    hexedit.CloseFile();
}

void TForm4::Copy1Click() {
    hexedit.CopySelection();
}

void TForm4::Selectall1Click() {
    hexedit.SelectAllData();
}

void TForm4::SetSearchPhrase(const SearchedPhrase& phrase) {
    phrase_ = phrase;
}

void TForm4::hexeditKeyDown(WORD& Key, TShiftState Shift) {
    const bool plain = !Shift.Has(ssCtrl) && !Shift.Has(ssAlt) && !Shift.Has(ssShift);
    if (Key == VK_ESCAPE && plain) {
        // The view takes every key for itself; Escape stops F3's search, or closes the viewer.
        Key = 0;
        if (Finding())
            CancelFind();
        else
            Close();
    } else if (Key == VK_F3 && plain) {
        FindNext();
        Key = 0;
    } else if (Key == 'G' && Shift.Has(ssCtrl) && !Shift.Has(ssAlt) && !Shift.Has(ssShift)) {
        Key = 0;
        GotoOffsetClick();
    }
}

void TForm4::FindNext() {
    if (Finding())
        return; // one search at a time; it goes on
    const HexModel& m = hexedit.Model();
    if (phrase_.Bytes.empty() || m.DataSize() == 0) {
        MessageBeep(MB_OK);
        return;
    }
    // From the cursor, so a match at the cursor (the first byte, at opening) is found; past the
    // selected match, so F3 again moves on from it.
    const HexPos from = m.SelectionCount() > 0 ? m.SelStart() + 1 : m.CursorPosition();
    ShowCaption();
    finding_ = std::make_unique<HexFindJob>(m.Data(), from, phrase_);
    hexedit.SetBusy(true);
    FindTimer(); // a small file is done at once
    if (Finding())
        findTimer_.SetEnabled(true);
}

void TForm4::FindTimer() {
    if (!finding_)
        return;
    const auto until = std::chrono::steady_clock::now() + kFindBurst;
    try {
        // Slice after slice while nobody waits: a key (Escape) or the mouse ends the burst.
        while (!finding_->Step(kFindSlice))
            if (std::chrono::steady_clock::now() >= until || HIWORD(GetQueueStatus(QS_INPUT)) != 0)
                return;
    } catch (...) {
        CancelFind();
        throw;
    }
    EndFind();
}

void TForm4::EndFind() {
    const HexFound found = finding_->Result();
    CancelFind();
    if (found.At < 0) {
        // The beep alone is easily missed, or not heard at all.
        MessageBeep(MB_OK);
        ShowCaption(kNoMoreMatches);
        return;
    }
    Select(found.At, found.Length);
}

void TForm4::CancelFind() {
    findTimer_.SetEnabled(false);
    if (!finding_)
        return;
    finding_.reset();
    hexedit.SetBusy(false);
}

void TForm4::GotoOffsetClick() {
    if (hexedit.DataSize() == 0) {
        ShowErrorBox("This file is empty: it has no offset to go to.");
        return;
    }
    if (gotoForm_.ShowModal() == mrOk)
        GotoOffset(gotoForm_.Offset());
}

bool TForm4::GotoOffset(const std::string& text) {
    const std::optional<HexPos> offset = ParseHexOffset(text);
    if (!offset || *offset >= hexedit.DataSize()) {
        ShowErrorBox("\"" + text + "\" is not an offset in this file: type a number from 0 to " +
                     std::to_string(hexedit.DataSize() - 1) + " (0x1F or 1Fh for hexadecimal).");
        return false;
    }
    Select(*offset, 0);
    return true;
}
