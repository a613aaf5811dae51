#include "hexcontrol/HexEditor.h"

#include "hexcontrol/HexScrollMap.h"
#include "runtime/Canvas.h"

#include <windowsx.h>

#include <algorithm>

namespace quennet {

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
    model_.SetHost(this);
    SetOpaque(true);
    SetTabStop(true);
    SetCursor(LoadCursor(nullptr, IDC_IBEAM));
    SetHexFont("Courier New", 11, clBlack);
}

THexEditor::~THexEditor() {
    model_.SetHost(nullptr);
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
    colors_ = colors;
    SetColor(colors.Background);
    Invalidate();
}

void THexEditor::SetBusy(bool value) {
    busy_ = value;
    if (!HandleAllocated())
        return;
    // The pointer changes now, not at the next mouse move.
    POINT at{};
    GetCursorPos(&at);
    if (WindowFromPoint(at) == HandleOrNull())
        SendMessageA(HandleOrNull(), WM_SETCURSOR, reinterpret_cast<WPARAM>(HandleOrNull()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void THexEditor::SetSwitch(bool& field, bool value) {
    if (field == value)
        return;
    field = value;
    Invalidate();
}

void THexEditor::SetTranslation(THexTranslationKind value) {
    model_.Layout().SetTranslation(value);
    Invalidate();
}

void THexEditor::SetMaskChar(std::uint8_t value) {
    model_.Layout().SetMaskChar(value);
    Invalidate();
}

void THexEditor::SetOffsetFormat(const std::string& text) {
    model_.Layout().SetOffsetFormat(text);
    model_.RecomputeGrid();
}

void THexEditor::SetHexLowerCase(bool value) {
    model_.Layout().SetHexLowerCase(value);
    Invalidate();
}

void THexEditor::SetShowRuler(bool value) {
    model_.Layout().SetShowRuler(value);
    model_.RecomputeGrid();
}

void THexEditor::SetHexFont(const std::string& face, int points, TColor color) {
    cellFont_.Name = face;
    cellFont_.Size = points;
    cellFont_.Color = color;
    MakeCellFont();
}

void THexEditor::MakeCellFont() {
    model_.FontSize = cellFont_.Size;
    // Fixed pitch: where the named face is missing, the font mapper picks another fixed-pitch
    // one (Wine has no Courier New), never a proportional face that would break the columns.
    cellFontHandle_ = CreateFontFor(cellFont_);
    MeasureFont();
    Invalidate();
}

void THexEditor::MeasureFont() {
    WindowDC screen(nullptr);
    const TCanvas canvas(screen.get());
    const SIZE w = canvas.TextExtent("w", cellFontHandle_.get()),
               yy = canvas.TextExtent("yY", cellFontHandle_.get());
    model_.SetCharMetrics(w.cx, yy.cy + 2);
    if (hasCaret_) {
        MakeCaret();
        PlaceCaret();
    }
}

// ---- host callbacks ---------------------------------------------------------------------------

void THexEditor::HexRepaint() {
    Invalidate();
}

void THexEditor::HexReadFault(const std::string& text) {
    if (OnReadFault)
        OnReadFault(*this, text);
}

void THexEditor::HexSelectionChanged() {
    if (!HandleAllocated() || selectionNotePending_)
        return;
    selectionNotePending_ = true;
    PostMessageA(HandleOrNull(), WM_HEX_SELCHANGED, 0, 0);
}

void THexEditor::HexViewMoved() {
    UpdateScrollBars();
    PlaceCaret();
}

void THexEditor::HexFontSizeChanged() {
    cellFont_.Size = model_.FontSize;
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
    caretBitmap_.reset(CreateCompatibleBitmap(screen.get(), w, h));
    MemoryDC dc(CreateCompatibleDC(screen.get()));
    {
        SelectGuard bitmap(dc.get(), caretBitmap_.get());
        RECT all{0, 0, w, h};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        // Insert mode is never on: this control does not type over or into the data.
        const HexCaretBar white = HexCaretShape(CaretKind, ReadOnlyView(), false, w, CharHeight());
        RECT bar{white.Left, white.Top, white.Right, white.Bottom};
        FillRect(dc.get(), &bar, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    CreateCaret(HandleOrNull(), caretBitmap_.get(), 0, 0);
    ShowCaret(HandleOrNull());
}

void THexEditor::PlaceCaret() {
    if (model_.SyncActiveField())
        Invalidate();
    if (!hasCaret_)
        return;
    const HexCell c = model_.Cursor();
    const bool shown = model_.ColLeft(c.Col) >= 0 && model_.RowTop(c.Row) >= 0 &&
                       model_.ColLeft(c.Col) < model_.ClientWidth() &&
                       model_.RowTop(c.Row) < model_.ClientHeight();
    if (shown)
        SetCaretPos(model_.ColLeft(c.Col), model_.RowTop(c.Row));
    else
        SetCaretPos(-50, -50);
}

void THexEditor::UpdateScrollBars() {
    if (!HandleAllocated() || inScrollBarUpdate_)
        return;
    // Showing or hiding a bar resizes the client area, which comes back here through Resize.
    inScrollBarUpdate_ = true;
    const HexLayout& l = model_.Layout();
    const HexScrollMap rows = VerticalMap();
    SCROLLINFO v{sizeof(v),
                 SIF_ALL | SIF_DISABLENOSCROLL,
                 0,
                 rows.BarMax(),
                 static_cast<UINT>(rows.BarPage()),
                 rows.BarPos(model_.TopRow() - kFirstDataRow),
                 0};
    v.fMask = SIF_ALL;
    SetScrollInfo(HandleOrNull(), SB_VERT, &v, TRUE);
    const int cols = l.ColCount() - kFirstDataCol;
    SCROLLINFO h{sizeof(h),
                 SIF_ALL,
                 0,
                 cols - 1,
                 static_cast<UINT>(std::max(1, cols - (model_.MaxLeftCol() - kFirstDataCol))),
                 model_.LeftCol() - kFirstDataCol,
                 0};
    SetScrollInfo(HandleOrNull(), SB_HORZ, &h, TRUE);
    inScrollBarUpdate_ = false;
}

HexScrollMap THexEditor::VerticalMap() const {
    return HexScrollMap(model_.Layout().RowCount() - kFirstDataRow, model_.PageRows());
}

void THexEditor::ScrollRows(WORD request) {
    // Lines and pages count rows; only the thumb goes through the bar's positions, which may
    // stand for many rows each.
    const HexPos top = model_.TopRow();
    const int page = std::max(1, model_.PageRows() - 1);
    switch (request) {
    case SB_LINEUP:
        model_.SetTopRow(top - 1);
        break;
    case SB_LINEDOWN:
        model_.SetTopRow(top + 1);
        break;
    case SB_PAGEUP:
        model_.SetTopRow(top - page);
        break;
    case SB_PAGEDOWN:
        model_.SetTopRow(top + page);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info{sizeof(info), SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(HandleOrNull(), SB_VERT, &info);
        model_.SetTopRow(VerticalMap().TopOf(info.nTrackPos) + kFirstDataRow);
        break;
    }
    case SB_TOP:
        model_.SetTopRow(kFirstDataRow);
        break;
    case SB_BOTTOM:
        model_.SetTopRow(model_.MaxTopRow());
        break;
    default:
        return;
    }
    UpdateScrollBars();
    PlaceCaret();
}

void THexEditor::Scroll(int bar, WORD request) {
    if (bar == SB_VERT) {
        ScrollRows(request);
        return;
    }
    SCROLLINFO info{sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(HandleOrNull(), bar, &info);
    int pos = info.nPos;
    const int page = std::max(1, static_cast<int>(info.nPage));
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
    model_.SetLeftCol(pos + kFirstDataCol);
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
        model_.MouseWheel(shift, GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    }
    case WM_TIMER:
        if (wParam == DragScrollTimerId) {
            POINT at{};
            GetCursorPos(&at);
            ScreenToClient(HandleOrNull(), &at);
            model_.DragScrollTick(ToHex(KeyboardShiftState()), at.x, at.y);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (busy_ && LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
        if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == HandleOrNull()) {
            POINT at{};
            GetCursorPos(&at);
            ScreenToClient(HandleOrNull(), &at);
            const bool arrow = model_.PointerAt(ToHex(KeyboardShiftState()), at.x, at.y) == HexPointer::Arrow;
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
        selectionNotePending_ = false;
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
    model_.SetClientSize(ClientWidth(), ClientHeight());
    if (HandleAllocated())
        PostMessageA(HandleOrNull(), WM_HEX_PLACECARET, 0, 0);
}

UINT THexEditor::WantKeys(UINT standard) {
    return standard | DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTTAB;
}

// ---- input ------------------------------------------------------------------------------------

void THexEditor::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseDown(button, shift, x, y);
    model_.MouseDown(static_cast<HexMouseButton>(button), ToHex(shift), x, y);
    if (model_.MouseSelecting() && !dragTimer_) {
        SetTimer(HandleOrNull(), DragScrollTimerId, DragScrollInterval, nullptr);
        dragTimer_ = true;
    }
}

void THexEditor::MouseMove(TShiftState shift, int x, int y) {
    TWinControl::MouseMove(shift, x, y);
    if (model_.MouseMove(ToHex(shift), x, y))
        StartDragOut();
}

void THexEditor::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseUp(button, shift, x, y);
    if (button == mbLeft)
        StopDragTimer();
    model_.MouseUp(static_cast<HexMouseButton>(button), ToHex(shift), x, y);
}

void THexEditor::StopDragTimer() {
    if (dragTimer_ && HandleAllocated())
        KillTimer(HandleOrNull(), DragScrollTimerId);
    dragTimer_ = false;
}

void THexEditor::KeyDown(WORD& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    if (key == 0)
        return;
    // F10 and Alt combinations stay with the system menu.
    if (shift.Has(ssAlt) || key == VK_F10)
        return;
    model_.KeyDown(key, ToHex(shift));
    if (key == VK_TAB || (key >= VK_PRIOR && key <= VK_DOWN))
        key = 0;
}

void THexEditor::KeyUp(WORD& key, TShiftState shift) {
    TWinControl::KeyUp(key, shift);
    model_.KeyUp(key, ToHex(shift));
}

void THexEditor::KeyPress(char& key) {
    TWinControl::KeyPress(key);
    // Typing changes nothing in the read-only view.
    if (model_.ReadOnlyView)
        key = 0;
}

void THexEditor::DoEnter() {
    TWinControl::DoEnter();
    focused_ = true;
    MakeCaret();
    hasCaret_ = true;
    PlaceCaret();
    Invalidate();
}

void THexEditor::DoExit() {
    TWinControl::DoExit();
    focused_ = false;
    model_.FocusLost();
    StopDragTimer();
    if (hasCaret_) {
        DestroyCaret();
        hasCaret_ = false;
    }
    Invalidate();
}

} // namespace quennet
