#include "hexcontrol/HexEditor.h"

#include "runtime/Canvas.h"

#include <windowsx.h>

#include <algorithm>

using namespace quennet;

namespace {
// Private messages: the caret placement deferred after a resize, and the coalesced
// selection-changed notification.
constexpr UINT WM_HEX_PLACECARET = WM_USER + 0x4A0;
constexpr UINT WM_HEX_SELCHANGED = WM_USER + 0x4A1;
constexpr UINT_PTR DragScrollTimerId = 0x4845;
constexpr UINT DragScrollInterval = 60;

HexShiftState ToHex(TShiftState shift) {
    HexShiftState s = shift.Bits();
    if (GetKeyState(VK_LBUTTON) < 0)
        s |= hsLeft;
    return s;
}
} // namespace

THexEditor::THexEditor() {
    m_model.SetHost(this);
    SetOpaque(true);
    SetTabStop(true);
    SetCursor(LoadCursor(nullptr, IDC_IBEAM));
    SetHexFont("Courier New", 11, clBlack);
}

THexEditor::~THexEditor() {
    m_model.SetHost(nullptr);
}

void THexEditor::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "THexEditor";
    params.Style |= WS_CHILD | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_CLIPCHILDREN;
}

void THexEditor::HandleCreated() {
    TWinControl::HandleCreated();
    MeasureFont();
    UpdateScrollBars();
}

void THexEditor::SetColors(const THexColors& colors) {
    m_colors = colors;
    SetColor(colors.Background);
    Invalidate();
}

void THexEditor::SetSwitch(bool& field, bool value) {
    if (field == value)
        return;
    field = value;
    Invalidate();
}

void THexEditor::SetTranslation(THexTranslationKind value) {
    m_model.Layout().SetTranslation(value);
    Invalidate();
}

void THexEditor::SetMaskChar(std::uint8_t value) {
    m_model.Layout().SetMaskChar(value);
    Invalidate();
}

void THexEditor::SetOffsetFormat(const std::string& text) {
    m_model.Layout().SetOffsetFormat(text);
    m_model.RecomputeGrid();
}

void THexEditor::SetHexLowerCase(bool value) {
    m_model.Layout().SetHexLowerCase(value);
    Invalidate();
}

void THexEditor::SetShowRuler(bool value) {
    m_model.Layout().SetShowRuler(value);
    m_model.RecomputeGrid();
}

void THexEditor::SetHexFont(const std::string& face, int points, TColor color) {
    m_cellFont.Name = face;
    m_cellFont.Size = points;
    m_cellFont.Color = color;
    MakeCellFont();
}

void THexEditor::MakeCellFont() {
    m_model.FontSize = m_cellFont.Size;
    // Fixed pitch: where the named face is missing, the font mapper picks another fixed-pitch
    // one (Wine has no Courier New), never a proportional face that would break the columns.
    m_font = CreateFontFor(m_cellFont, true);
    MeasureFont();
    Invalidate();
}

void THexEditor::MeasureFont() {
    WindowDC screen(nullptr);
    const TCanvas canvas(screen.get());
    const SIZE w = canvas.TextExtent("w", m_font.get()), yy = canvas.TextExtent("yY", m_font.get());
    m_model.SetCharMetrics(w.cx, yy.cy + 2);
    if (m_hasCaret) {
        MakeCaret();
        PlaceCaret();
    }
}

// ---- host callbacks ---------------------------------------------------------------------------

void THexEditor::HexRepaint() {
    Invalidate();
}

void THexEditor::HexSelectionChanged() {
    if (!HandleAllocated() || m_selectionNotePending)
        return;
    m_selectionNotePending = true;
    PostMessageA(HandleOrNull(), WM_HEX_SELCHANGED, 0, 0);
}

void THexEditor::HexViewMoved() {
    UpdateScrollBars();
    PlaceCaret();
}

void THexEditor::HexFontSizeChanged() {
    m_cellFont.Size = m_model.FontSize;
    MakeCellFont();
}

void THexEditor::HexTakeFocus() {
    if (CanFocus() && !Focused())
        SetFocus();
}

void THexEditor::HexPopupMenu(int x, int y) {
    // The runtime opens the attached popup menu on WM_CONTEXTMENU, which the right button's
    // release produces; nothing more to do here.
    (void)x;
    (void)y;
}

// ---- caret and scroll bars --------------------------------------------------------------------

void THexEditor::MakeCaret() {
    const int w = CharWidth(), h = std::max(1, CharHeight() - 2);
    WindowDC screen(nullptr);
    m_caretBitmap.reset(CreateCompatibleBitmap(screen.get(), w, h));
    MemoryDC dc(CreateCompatibleDC(screen.get()));
    {
        SelectGuard bitmap(dc.get(), m_caretBitmap.get());
        RECT all{0, 0, w, h};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        // Insert mode is never on: this control does not type over or into the data.
        const HexCaretBar white = HexCaretShape(CaretKind, ReadOnlyView(), false, w, CharHeight());
        RECT bar{white.Left, white.Top, white.Right, white.Bottom};
        FillRect(dc.get(), &bar, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    CreateCaret(HandleOrNull(), m_caretBitmap.get(), 0, 0);
    ShowCaret(HandleOrNull());
}

void THexEditor::PlaceCaret() {
    if (m_model.SyncActiveField())
        Invalidate();
    if (!m_hasCaret)
        return;
    const HexCell c = m_model.Cursor();
    const bool shown = m_model.ColLeft(c.Col) >= 0 && m_model.RowTop(c.Row) >= 0 &&
                       m_model.ColLeft(c.Col) < m_model.ClientWidth() &&
                       m_model.RowTop(c.Row) < m_model.ClientHeight();
    if (shown)
        SetCaretPos(m_model.ColLeft(c.Col), m_model.RowTop(c.Row));
    else
        SetCaretPos(-50, -50);
}

void THexEditor::UpdateScrollBars() {
    if (!HandleAllocated() || m_inScrollBarUpdate)
        return;
    // Showing or hiding a bar resizes the client area, which comes back here through Resize.
    m_inScrollBarUpdate = true;
    const HexLayout& l = m_model.Layout();
    SCROLLINFO v{sizeof(v),
                 SIF_ALL | SIF_DISABLENOSCROLL,
                 0,
                 l.RowCount() - 3,
                 static_cast<UINT>(m_model.PageRows()),
                 m_model.TopRow() - kFirstDataRow,
                 0};
    v.fMask = SIF_ALL;
    SetScrollInfo(HandleOrNull(), SB_VERT, &v, TRUE);
    const int cols = l.ColCount() - kFirstDataCol;
    SCROLLINFO h{sizeof(h),
                 SIF_ALL,
                 0,
                 cols - 1,
                 static_cast<UINT>(std::max(1, cols - (m_model.MaxLeftCol() - kFirstDataCol))),
                 m_model.LeftCol() - kFirstDataCol,
                 0};
    SetScrollInfo(HandleOrNull(), SB_HORZ, &h, TRUE);
    m_inScrollBarUpdate = false;
}

void THexEditor::Scroll(int bar, WORD request) {
    SCROLLINFO info{sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(HandleOrNull(), bar, &info);
    int pos = info.nPos;
    const int page = std::max(1, static_cast<int>(info.nPage) - (bar == SB_VERT ? 1 : 0));
    switch (request) {
    case SB_LINEUP:
        --pos;
        break;
    case SB_LINEDOWN:
        ++pos;
        break;
    case SB_PAGEUP:
        pos -= page;
        break;
    case SB_PAGEDOWN:
        pos += page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        pos = info.nTrackPos;
        break;
    case SB_TOP:
        pos = info.nMin;
        break;
    case SB_BOTTOM:
        pos = info.nMax;
        break;
    default:
        return;
    }
    if (bar == SB_VERT)
        m_model.SetTopRow(pos + kFirstDataRow);
    else
        m_model.SetLeftCol(pos + kFirstDataCol);
    UpdateScrollBars();
    PlaceCaret();
}

// ---- messages ---------------------------------------------------------------------------------

LRESULT THexEditor::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_VSCROLL:
        Scroll(SB_VERT, LOWORD(wParam));
        return 0;
    case WM_HSCROLL:
        Scroll(SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL: {
        HexShiftState shift = 0;
        const WORD keys = GET_KEYSTATE_WPARAM(wParam);
        if (keys & MK_SHIFT)
            shift |= hsShift;
        if (keys & MK_CONTROL)
            shift |= hsCtrl;
        if (keys & MK_LBUTTON)
            shift |= hsLeft;
        if (keys & MK_RBUTTON)
            shift |= hsRight;
        if (keys & MK_MBUTTON)
            shift |= hsMiddle;
        if (GetKeyState(VK_MENU) < 0)
            shift |= hsAlt;
        m_model.MouseWheel(shift, GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    }
    case WM_TIMER:
        if (wParam == DragScrollTimerId) {
            POINT at{};
            GetCursorPos(&at);
            ScreenToClient(HandleOrNull(), &at);
            m_model.DragScrollTick(ToHex(KeyboardShiftState()), at.x, at.y);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == HandleOrNull()) {
            POINT at{};
            GetCursorPos(&at);
            ScreenToClient(HandleOrNull(), &at);
            const bool arrow =
                m_model.PointerAt(ToHex(KeyboardShiftState()), at.x, at.y) == HexPointer::Arrow;
            ::SetCursor(arrow ? LoadCursor(nullptr, IDC_ARROW) : Cursor());
            return TRUE;
        }
        break;
    case WM_CAPTURECHANGED:
        StopDragTimer();
        break;
    case WM_HEX_PLACECARET:
        PlaceCaret();
        return 0;
    case WM_HEX_SELCHANGED:
        m_selectionNotePending = false;
        if (OnSelectionChanged)
            OnSelectionChanged(*this);
        return 0;
    case WM_DESTROY:
        StopDragTimer();
        break;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

void THexEditor::Paint(HDC dc) {
    // Off-screen first, then one copy: the whole control is repainted on every cursor move.
    TOffscreen buffer(dc, ClientWidth(), ClientHeight());
    PaintTo(buffer.DC());
    buffer.CopyTo(dc);
}

void THexEditor::Resize() {
    TWinControl::Resize();
    m_model.SetClientSize(ClientWidth(), ClientHeight());
    if (HandleAllocated())
        PostMessageA(HandleOrNull(), WM_HEX_PLACECARET, 0, 0);
}

UINT THexEditor::WantKeys(UINT standard) {
    return standard | DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTTAB;
}

// ---- input ------------------------------------------------------------------------------------

void THexEditor::MouseDown(quennet::TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseDown(button, shift, x, y);
    m_model.MouseDown(static_cast<HexMouseButton>(button), ToHex(shift), x, y);
    if (m_model.MouseSelecting() && !m_dragTimer) {
        SetTimer(HandleOrNull(), DragScrollTimerId, DragScrollInterval, nullptr);
        m_dragTimer = true;
    }
}

void THexEditor::MouseMove(TShiftState shift, int x, int y) {
    TWinControl::MouseMove(shift, x, y);
    if (m_model.MouseMove(ToHex(shift), x, y))
        StartDragOut();
}

void THexEditor::MouseUp(quennet::TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseUp(button, shift, x, y);
    if (button == mbLeft)
        StopDragTimer();
    m_model.MouseUp(static_cast<HexMouseButton>(button), ToHex(shift), x, y);
}

void THexEditor::StopDragTimer() {
    if (m_dragTimer && HandleAllocated())
        KillTimer(HandleOrNull(), DragScrollTimerId);
    m_dragTimer = false;
}

void THexEditor::KeyDown(WORD& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    if (key == 0)
        return;
    // F10 and Alt combinations stay with the system menu.
    if (shift.Has(ssAlt) || key == VK_F10)
        return;
    m_model.KeyDown(key, ToHex(shift));
    if (key == VK_TAB || (key >= VK_PRIOR && key <= VK_DOWN))
        key = 0;
}

void THexEditor::KeyUp(WORD& key, TShiftState shift) {
    TWinControl::KeyUp(key, shift);
    m_model.KeyUp(key, ToHex(shift));
}

void THexEditor::KeyPress(char& key) {
    TWinControl::KeyPress(key);
    // Typing changes nothing in the read-only view.
    if (m_model.ReadOnlyView)
        key = 0;
}

void THexEditor::DoEnter() {
    TWinControl::DoEnter();
    m_focused = true;
    MakeCaret();
    m_hasCaret = true;
    PlaceCaret();
    Invalidate();
}

void THexEditor::DoExit() {
    TWinControl::DoExit();
    m_focused = false;
    m_model.FocusLost();
    StopDragTimer();
    if (m_hasCaret) {
        DestroyCaret();
        m_hasCaret = false;
    }
    Invalidate();
}
