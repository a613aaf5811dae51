#pragma once
// THexEditor: the hex view window. It holds a HexModel (data, layout, cursor, selection and
// input rules), paints it double-buffered, and connects it to the caret, the scroll bars, the
// mouse capture and the 60 ms drag-scroll timer.
#include "hexcontrol/HexCaret.h"
#include "hexcontrol/HexColors.h"
#include "hexcontrol/HexModel.h"
#include "runtime/Window.h"

#include <functional>
#include <string>

class THexEditor : public quennet::TWinControl, protected HexModelHost {
  public:
    THexEditor();
    ~THexEditor() override;

    HexModel& Model() { return m_model; }
    const HexModel& Model() const { return m_model; }
    int DataSize() const { return m_model.DataSize(); }
    const std::string& FileName() const { return m_model.FileName(); }

    // Settings; each repaints.
    THexColors& Colors() { return m_colors; }
    void SetColors(const THexColors& colors);
    void SetReadOnlyView(bool value) { m_model.ReadOnlyView = value; }
    bool ReadOnlyView() const { return m_model.ReadOnlyView; }
    void SetBytesPerRow(int value) { m_model.SetBytesPerRow(value); }
    void SetTranslation(THexTranslationKind value);
    void SetMaskChar(std::uint8_t value);
    void SetMaskCharAsInteger(int value) { SetMaskChar(static_cast<std::uint8_t>(value)); }
    void SetOffsetFormat(const std::string& text);
    void SetHexLowerCase(bool value);
    void SetShowRuler(bool value);
    void SetDrawGridLines(bool value) { SetSwitch(m_drawGridLines, value); }
    void SetDrawGutter3D(bool value) { SetSwitch(m_drawGutter3D, value); }
    void SetFocusFrame(bool value) { SetSwitch(m_focusFrame, value); }
    void SetGraySelectionIfNotFocused(bool value) { SetSwitch(m_graySelectionIfNotFocused, value); }
    void SetHideSelection(bool value) { SetSwitch(m_hideSelection, value); }
    void SetShowPositionIfNotFocused(bool value) { SetSwitch(m_showPositionIfNotFocused, value); }
    // The cell font: face name, size in points (the wheel with Ctrl+Shift changes the size) and
    // the character field's text colour.
    void SetHexFont(const std::string& face, int points, quennet::TColor color);
    int CharWidth() const { return m_model.Layout().CharWidth(); }
    int CharHeight() const { return m_model.Layout().CharHeight(); }

    // Selection (see HexModel) and the window's own parts of it.
    void SetSelectionStart(int position) { m_model.SetSelectionStart(position); }
    void SetSelectionEnd(int position) { m_model.SetSelectionEnd(position); }
    void SelectAllData() { m_model.SelectAllData(); }
    int SelStart() const { return m_model.SelStart(); }
    int SelEnd() const { return m_model.SelEnd(); }
    int SelectionCount() const { return m_model.SelectionCount(); }

    // Paints the whole control into dc as it would appear on screen (used by WM_PAINT and tests).
    void PaintTo(HDC dc);

    std::function<void(THexEditor&)> OnSelectionChanged;
    // Takes effect when the caret is next made (on focus).
    THexCaretKind CaretKind = THexCaretKind::ckAuto;

  protected:
    void CreateParams(quennet::TCreateParams& params) override;
    void HandleCreated() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    void MouseDown(quennet::TMouseButton button, quennet::TShiftState shift, int x, int y) override;
    void MouseMove(quennet::TShiftState shift, int x, int y) override;
    void MouseUp(quennet::TMouseButton button, quennet::TShiftState shift, int x, int y) override;
    void KeyDown(WORD& key, quennet::TShiftState shift) override;
    void KeyUp(WORD& key, quennet::TShiftState shift) override;
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
    void HexPopupMenu(int x, int y) override;

  private:
    void SetSwitch(bool& field, bool value);
    void MakeCellFont();
    void MeasureFont();
    void PlaceCaret();
    void MakeCaret();
    void UpdateScrollBars();
    void Scroll(int bar, WORD request);
    void StopDragTimer();
    void PaintRuler(HDC dc);
    void PaintGutter(HDC dc, int row, int top);
    void PaintDataCell(HDC dc, int col, int row, const RECT& r);
    void PaintTwinFrame(HDC dc, int col, int row, const RECT& r);
    void PaintCursorFrame(HDC dc, const RECT& frame, COLORREF color);
    void PaintBands(HDC dc, int gridRight, int gridBottom);
    void DrawBookmarks(HDC dc, int row, const RECT& cell);

    HexModel m_model;
    THexColors m_colors;
    bool m_drawGridLines = false;
    bool m_drawGutter3D = true;
    bool m_focusFrame = true;
    bool m_graySelectionIfNotFocused = false;
    bool m_hideSelection = false;
    bool m_showPositionIfNotFocused = false;

    quennet::TFont m_cellFont{"Courier New", 11, false, false, false, quennet::clBlack};
    quennet::GdiFont m_font;
    quennet::GdiBitmap m_caretBitmap;
    quennet::GdiBitmap m_bookmarkGlyphs;
    bool m_hasCaret = false;
    bool m_focused = false;
    bool m_dragTimer = false;
    bool m_selectionNotePending = false;
    bool m_inScrollBarUpdate = false;
};
