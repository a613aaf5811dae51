#include "dialogs/hexview.h"

#include "hexcontrol/HexError.h"
#include "hexcontrol/HexFind.h"
#include "runtime/MessageBoxes.h"

using namespace quennet;

namespace {
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

TForm4::TForm4() : hexedit(Add<THexEditorEx>()) {
    SetCaption("Viewer");
    SetBorderStyle(bsSizeable);
    SetPosition(poDesktopCenter);
    SetBounds(0, 0, 804, 421);

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
    SetActiveControl(&hexedit);
}

void TForm4::Resize() {
    TForm::Resize();
    hexedit.SetBounds(0, 0, ClientWidth(), ClientHeight());
}

void TForm4::Prepare(const std::string& folder, const std::string& name, std::int64_t matchOffset,
                     int phraseLength) {
    const std::string path = folder + name;
    hexedit.LoadFile(path);
    SetCaption("Viewing: " + path);
    if (matchOffset != 0) {
        hexedit.SetSelectionStart(matchOffset);
        hexedit.SetSelectionEnd(matchOffset + phraseLength - 1);
    }
}

void TForm4::Open(const std::string& folder, const std::string& name, std::int64_t matchOffset,
                  int phraseLength) {
    Prepare(folder, name, matchOffset, phraseLength);
    ShowModal();
    // Closed: the file and its pages go now, not at the next opening.
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
        // The view takes every key for itself; Escape closes the viewer all the same.
        Key = 0;
        Close();
    } else if (Key == VK_F3 && plain) {
        FindNext();
        Key = 0;
    } else if (Key == 'G' && Shift.Has(ssCtrl) && !Shift.Has(ssAlt) && !Shift.Has(ssShift)) {
        Key = 0;
        if (gotoForm_.ShowModal() == mrOk)
            GotoOffset(gotoForm_.Offset());
    }
}

bool TForm4::FindNext() {
    const HexModel& m = hexedit.Model();
    if (phrase_.Bytes.empty() || m.DataSize() == 0) {
        MessageBeep(MB_OK);
        return false;
    }
    // From the byte after the cursor, so F3 again moves on from the match it selected.
    const HexFound found = HexFindNext(m.Data(), m.CursorPosition() + 1, phrase_);
    if (found.At < 0) {
        MessageBeep(MB_OK);
        return false;
    }
    hexedit.SetSelectionStart(found.At);
    hexedit.SetSelectionEnd(found.At + found.Length - 1);
    return true;
}

bool TForm4::GotoOffset(const std::string& text) {
    const std::optional<HexPos> offset = ParseHexOffset(text);
    if (!offset || *offset >= hexedit.DataSize()) {
        ShowErrorBox("\"" + text + "\" is not an offset in this file: type a number from 0 to " +
                     std::to_string(hexedit.DataSize() - 1) + " (0x1F or 1Fh for hexadecimal).");
        return false;
    }
    hexedit.SetSelectionStart(*offset);
    return true;
}
