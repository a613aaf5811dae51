#pragma once
// THexEditor: the hex view window. It holds a HexModel (data, layout, cursor, selection and
// input rules), paints it double-buffered, and connects it to the caret, the scroll bars, the
// mouse capture and the 60 ms drag-scroll timer.
#include "hexcontrol/HexCaret.h"
#include "hexcontrol/HexColors.h"
#include "hexcontrol/HexModel.h"
#include "hexcontrol/HexScrollMap.h"
#include "runtime/Window.h"

#include <functional>
#include <string>

namespace quennet {

class THexEditor : public TWinControl, protected HexModelHost {
  public:
    THexEditor();
    ~THexEditor() override;

    HexModel& Model() { return model_; }
    const HexModel& Model() const { return model_; }
    HexPos DataSize() const { return model_.DataSize(); }
    const std::string& FileName() const { return model_.FileName(); }

    // Settings; each repaints.
    THexColors& Colors() { return colors_; }
    void SetColors(const THexColors& colors);
    void SetReadOnlyView(bool value) { model_.ReadOnlyView = value; }
    bool ReadOnlyView() const { return model_.ReadOnlyView; }
    void SetBytesPerRow(int value) { model_.SetBytesPerRow(value); }
    void SetTranslation(THexTranslationKind value);
    void SetMaskChar(std::uint8_t value);
    void SetMaskCharAsInteger(int value) { SetMaskChar(static_cast<std::uint8_t>(value)); }
    void SetOffsetFormat(const std::string& text);
    void SetHexLowerCase(bool value);
    void SetShowRuler(bool value);
    void SetDrawGridLines(bool value) { SetSwitch(drawGridLines_, value); }
    void SetDrawGutter3D(bool value) { SetSwitch(drawGutter3D_, value); }
    void SetFocusFrame(bool value) { SetSwitch(focusFrame_, value); }
    void SetGraySelectionIfNotFocused(bool value) { SetSwitch(graySelectionIfNotFocused_, value); }
    void SetHideSelection(bool value) { SetSwitch(hideSelection_, value); }
    void SetShowPositionIfNotFocused(bool value) { SetSwitch(showPositionIfNotFocused_, value); }
    // The cell font: face name, size in points (the wheel with Ctrl+Shift changes the size) and
    // the character field's text colour.
    void SetHexFont(const std::string& face, int points, TColor color);
    int CharWidth() const { return model_.Layout().CharWidth(); }
    int CharHeight() const { return model_.Layout().CharHeight(); }

    // Selection (see HexModel) and the window's own parts of it.
    void SetSelectionStart(HexPos position) { model_.SetSelectionStart(position); }
    void SetSelectionEnd(HexPos position) { model_.SetSelectionEnd(position); }
    void SelectAllData() { model_.SelectAllData(); }
    HexPos SelStart() const { return model_.SelStart(); }
    HexPos SelEnd() const { return model_.SelEnd(); }
    HexPos SelectionCount() const { return model_.SelectionCount(); }

    // Paints the whole control into dc as it would appear on screen (used by WM_PAINT and tests).
    void PaintTo(HDC dc);

    // The hourglass over the control while it works on something the user waits for.
    void SetBusy(bool value);
    bool Busy() const { return busy_; }

    std::function<void(THexEditor&)> OnSelectionChanged;
    // Bytes of the file could not be read; they are painted as unreadable (text says which).
    std::function<void(THexEditor&, const std::string&)> OnReadFault;
    // Takes effect when the caret is next made (on focus).
    THexCaretKind CaretKind = THexCaretKind::ckAuto;

  protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyUp(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    UINT WantKeys(UINT standard) override;

    // Dragging the selection out; the base class has no drag and drop.
    virtual void StartDragOut() {}

    // HexModelHost
    void HexRepaint() override;
    void HexSelectionChanged() override;
    void HexViewMoved() override;
    void HexFontSizeChanged() override;
    void HexTakeFocus() override;
    void HexReadFault(const std::string& text) override;
    void HexPopupMenu(int x, int y) override;

  private:
    void SetSwitch(bool& field, bool value);
    void MakeCellFont();
    void MeasureFont();
    void PlaceCaret();
    void MakeCaret();
    void UpdateScrollBars();
    HexScrollMap VerticalMap() const;
    void ScrollRows(WORD request);
    void Scroll(int bar, WORD request);
    void StopDragTimer();
    void PaintRuler(HDC dc);
    void PaintGutter(HDC dc, HexPos row, int top);
    void PaintDataCell(HDC dc, int col, HexPos row, const RECT& r);
    void PaintTwinFrame(HDC dc, int col, const RECT& r);
    void PaintCursorFrame(HDC dc, const RECT& frame, COLORREF color);
    void PaintBands(HDC dc, int gridRight, int gridBottom);
    void DrawBookmarks(HDC dc, HexPos row, const RECT& cell);

    HexModel model_;
    THexColors colors_;
    bool drawGridLines_ = false;
    bool drawGutter3D_ = true;
    bool focusFrame_ = true;
    bool graySelectionIfNotFocused_ = false;
    bool hideSelection_ = false;
    bool showPositionIfNotFocused_ = false;

    TFont cellFont_{"Courier New", 11, false, false, false, clBlack, true};
    GdiFont cellFontHandle_;
    GdiBitmap caretBitmap_;
    GdiBitmap bookmarkGlyphs_;
    bool hasCaret_ = false;
    bool focused_ = false;
    bool dragTimer_ = false;
    bool selectionNotePending_ = false;
    bool inScrollBarUpdate_ = false;
    bool busy_ = false;
};

} // namespace quennet
