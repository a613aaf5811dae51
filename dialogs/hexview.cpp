#include "dialogs/hexview.h"

#include <algorithm>
#include <climits>

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

int ToPosition(std::int64_t offset) {
    // An offset the control cannot hold is refused by it like any other outside the data; it
    // must not become -1, which the selection end takes as "no selection".
    return static_cast<int>(std::clamp<std::int64_t>(offset, INT_MIN, INT_MAX));
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
    SetActiveControl(&hexedit);
    // The view takes every key for itself; Escape closes the viewer all the same.
    SetCloseOnEscape(true);
    hexedit.OnKeyDown = [this](TWinControl&, WORD& key, TShiftState shift) {
        if (key == VK_ESCAPE && shift.Empty()) {
            key = 0;
            Close();
        }
    };
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
        hexedit.SetSelectionStart(ToPosition(matchOffset));
        hexedit.SetSelectionEnd(ToPosition(matchOffset + phraseLength - 1));
    }
}

void TForm4::Open(const std::string& folder, const std::string& name, std::int64_t matchOffset,
                  int phraseLength) {
    Prepare(folder, name, matchOffset, phraseLength);
    ShowModal();
}

void TForm4::Copy1Click() {
    hexedit.CopySelection();
}

void TForm4::Selectall1Click() {
    hexedit.SelectAllData();
}
