#include "controls/Spin.h"

#include "runtime/Canvas.h"
#include "runtime/Dpi.h"
#include "controls/Sounds.h"

namespace quennet {
namespace {

char DecimalSeparator() {
    char buffer[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) > 1)
        return buffer[0];
    return '.';
}

// Enabled itself and inside enabled parents: the speed buttons grey out with their edit.
bool EnabledWithParents(const TWinControl& control) {
    for (const TWinControl* c = &control; c; c = c->Parent())
        if (!c->Enabled())
            return false;
    return true;
}

} // namespace

// ---------------------------------------------------------------- TTimerSpeedButton

TTimerSpeedButton::TTimerSpeedButton(bool up)
    : up_(up), glyph_(LoadBitmapResource(up ? "SPINUP" : "SPINDOWN")) {
    SetOpaque(true);
    repeat_.OnTimer = [this](TTimer&) { RepeatTimer(); };
}

void TTimerSpeedButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "TTimerSpeedButton";
}

void TTimerSpeedButton::SetFocusMark(bool value) {
    focusMark_ = value;
    Invalidate();
}

void TTimerSpeedButton::SetShowFocus(bool value) {
    showFocus_ = value;
    Invalidate();
}

void TTimerSpeedButton::Paint(HDC dc) {
    TOffscreen buffer(dc, Width(), Height());
    PaintTo(buffer.DC());
    buffer.CopyTo(dc);
}

void TTimerSpeedButton::PaintTo(HDC dc) {
    const int w = Width(), h = Height();
    const int dpi = WindowDpi(HandleOrNull());
    const SIZE designSize = BitmapSize(glyph_.get());
    const COLORREF transparent = designSize.cy > 0 ? BitmapPixel(glyph_.get(), 0, designSize.cy - 1) : CLR_INVALID;
    const HBITMAP glyph = glyphAtScale_.At(glyph_.get(), dpi, transparent);
    RECT r{0, 0, w, h};
    TCanvas(dc).FillRect(r, GetSysColor(COLOR_BTNFACE));
    DrawEdge(dc, &r, pressed_ ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT);
    const SIZE size = BitmapSize(glyph);
    if (size.cx > 0) {
        const int shift = pressed_ ? 1 : 0;
        const int x = (w - size.cx) / 2 + shift, y = (h - size.cy) / 2 + shift;
        if (EnabledWithParents(*this)) {
            TCanvas(dc).DrawTransparent(x, y, glyph, transparent);
        } else {
            // The arrow in the shadow colour, over a highlight copy one pixel down-right.
            for (COLORREF ink : {GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW)}) {
                GdiBitmap copy(CreateCompatibleBitmap(dc, size.cx, size.cy));
                {
                    MemoryDC copyDC(CreateCompatibleDC(dc));
                    SelectGuard select(copyDC.get(), copy.get());
                    TCanvas(copyDC.get()).Draw(0, 0, glyph);
                    for (int py = 0; py < size.cy; ++py)
                        for (int px = 0; px < size.cx; ++px)
                            if (GetPixel(copyDC.get(), px, py) != transparent)
                                SetPixel(copyDC.get(), px, py, ink);
                }
                const int d = ink == GetSysColor(COLOR_BTNSHADOW) ? 0 : 1;
                TCanvas(dc).DrawTransparent(x + d, y + d, copy.get(), transparent);
            }
        }
    }
    if (focusMark_ && showFocus_) {
        const int shift = pressed_ ? 1 : 0;
        const int inset = ScaleDesignUnits(3, dpi);
        RECT focus{inset + shift, inset + shift, w - inset + shift, h - inset + shift};
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focus);
    }
}

void TTimerSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseDown(button, shift, x, y);
    if (button != mbLeft)
        return;
    held_ = true;
    pressed_ = true;
    if (auto* owner = dynamic_cast<TSpinButton*>(Parent()))
        owner->Pressed(*this);
    Repaint();
    repeat_.SetInterval(kSpinFirstRepeatMs);
    repeat_.SetEnabled(true);
}

void TTimerSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    TWinControl::MouseMove(shift, x, y);
    if (!held_)
        return;
    const bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
    if (inside != pressed_) {
        pressed_ = inside;
        Repaint();
    }
}

void TTimerSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    // The runtime has already clicked when the release was over the button.
    if (button == mbLeft)
        LetGo();
    else
        repeat_.SetEnabled(false);
    Update();
    TWinControl::MouseUp(button, shift, x, y);
}

// Losing the mouse (another window captured it, the program lost the foreground) is a
// release that never comes: without it the timer would step on and on.
LRESULT TTimerSpeedButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lParam) != HandleOrNull())
        LetGo();
    return TWinControl::WndProc(message, wParam, lParam);
}

void TTimerSpeedButton::LetGo() {
    repeat_.SetEnabled(false);
    if (held_) {
        held_ = false;
        pressed_ = false;
        Invalidate();
    }
}

void TTimerSpeedButton::RepeatTimer() {
    repeat_.SetInterval(kSpinNextRepeatMs);
    if (!pressed_)
        return;
    try {
        Click();
    } catch (...) {
        repeat_.SetEnabled(false);
        throw;
    }
}

// ---------------------------------------------------------------- TSpinButton

TSpinButton::TSpinButton() {
    up_ = &Add<TTimerSpeedButton>(true);
    down_ = &Add<TTimerSpeedButton>(false);
    focusMark_ = up_;
    up_->SetFocusMark(true);
    up_->OnClick = [this](TWinControl&) { ButtonClicked(*up_); };
    down_->OnClick = [this](TWinControl&) { ButtonClicked(*down_); };
    SetBounds(0, 0, 15, 17);
    Layout();
}

void TSpinButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "TSpinButton";
}

void TSpinButton::Layout() {
    const int minWidth = ScaleDesignUnits(kSpinButtonMinWidth, WindowDpi(HandleOrNull()));
    if (Width() < minWidth) {
        SetWidth(minWidth);
        return; // the resize lays out again
    }
    const SpinHalves halves = SplitSpinButton(Height());
    up_->SetBounds(0, 0, Width(), halves.upHeight);
    down_->SetBounds(0, halves.downTop, Width(), halves.downHeight);
}

void TSpinButton::Resize() {
    Layout();
    TWinControl::Resize();
}

void TSpinButton::MoveFocusMark(TTimerSpeedButton& button) {
    if (focusMark_ == &button)
        return;
    focusMark_->SetFocusMark(false);
    focusMark_ = &button;
    focusMark_->SetFocusMark(true);
}

void TSpinButton::Pressed(TTimerSpeedButton& button) {
    MoveFocusMark(button);
    if (focusControl_ && focusControl_->CanFocus())
        focusControl_->SetFocus();
    else if (CanFocus())
        SetFocus();
}

void TSpinButton::ButtonClicked(TTimerSpeedButton& button) {
    if (&button == up_) {
        if (OnUpClick)
            OnUpClick(*this);
    } else if (OnDownClick) {
        OnDownClick(*this);
    }
}

void TSpinButton::KeyDown(WORD& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    if (key == VK_SPACE) {
        focusMark_->Click();
    } else if (key == VK_UP || key == VK_DOWN) {
        TTimerSpeedButton& button = key == VK_UP ? *up_ : *down_;
        MoveFocusMark(button);
        button.Click();
    }
}

void TSpinButton::DoEnter() {
    up_->SetShowFocus(true);
    down_->SetShowFocus(true);
    TWinControl::DoEnter();
}

void TSpinButton::DoExit() {
    up_->SetShowFocus(false);
    down_->SetShowFocus(false);
    TWinControl::DoExit();
}

// ---------------------------------------------------------------- TSpinEdit

TSpinEdit::TSpinEdit() {
    button_ = &Add<TSpinButton>();
    button_->SetFocusControl(this);
    button_->OnUpClick = [this](TWinControl&) { UpClick(); };
    button_->OnDownClick = [this](TWinControl&) { DownClick(); };
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    SetText("0");
    SetBounds(0, 0, 121, 22);
}

void TSpinEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "EDIT";
    params.SystemClass = true;
    // Multi-line, so that the text area can be narrowed to leave room for the buttons.
    params.Style |= ES_MULTILINE | ES_AUTOHSCROLL | WS_CLIPCHILDREN;
    if (readOnly_)
        params.Style |= ES_READONLY;
    if (ctl3D_)
        params.ExStyle |= WS_EX_CLIENTEDGE;
    else
        params.Style |= WS_BORDER;
}

void TSpinEdit::HandleCreated() {
    TWinControl::HandleCreated();
    Layout();
}

std::int32_t TSpinEdit::Value() const {
    return SpinValueOfText(Text(), range_);
}

void TSpinEdit::SetValue(std::int64_t value) {
    // Writing the text again would clear the user's selection and move the caret, for a box
    // that a timer sets every second.
    const std::string text = SpinTextOfValue(value, range_);
    if (text != Text())
        SetText(text);
}

void TSpinEdit::SetReadOnly(bool value) {
    readOnly_ = value;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), EM_SETREADONLY, value, 0);
}

void TSpinEdit::Step(bool up) {
    if (readOnly_) {
        PlayControlSound(ControlSound::Beep);
        return;
    }
    SetText(std::to_string(SpinStep(Value(), increment_, up, range_)));
}

void TSpinEdit::UpClick() {
    Step(true);
}
void TSpinEdit::DownClick() {
    Step(false);
}

LRESULT TSpinEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_PASTE || message == WM_CUT) && (!editorEnabled_ || readOnly_))
        return 0;
    if (message == WM_NCPAINT) {
        // The themed edit (common controls 6) draws its frame with a window DC that does not
        // leave out the children: the frame's fill covers the buttons, which nothing else
        // repaints (it happens on focus in and out and on a new text).
        const LRESULT result = TWinControl::WndProc(message, wParam, lParam);
        if (button_->HandleAllocated())
            RedrawWindow(button_->HandleOrNull(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        return result;
    }
    if (message == WM_GETDLGCODE && wParam == VK_ESCAPE) {
        // A multi-line edit asks for every key; one line of digits has no use for Escape,
        // which stays the window's (it stops a search).
        return TWinControl::WndProc(message, wParam, lParam) & ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
    }
    if (message == WM_SETTEXT) {
        // A multi-line edit reports no change for a text set in code (a step, a new value),
        // so the change is reported here, once, whatever the edit says meanwhile.
        settingText_ = true;
        const LRESULT result = TWinControl::WndProc(message, wParam, lParam);
        settingText_ = false;
        return result;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

void TSpinEdit::TextChanged() {
    TWinControl::TextChanged();
    if (OnChange)
        OnChange(*this);
}

bool TSpinEdit::HandleCommand(WORD notifyCode) {
    if (notifyCode == EN_CHANGE && !settingText_ && OnChange)
        OnChange(*this);
    return TWinControl::HandleCommand(notifyCode);
}

void TSpinEdit::KeyDown(WORD& key, TShiftState shift) {
    if (key == VK_UP)
        UpClick();
    else if (key == VK_DOWN)
        DownClick();
    TWinControl::KeyDown(key, shift);
}

void TSpinEdit::KeyPress(char& key) {
    if (!SpinAcceptsChar(static_cast<unsigned char>(key), DecimalSeparator(), editorEnabled_)) {
        key = 0;
        PlayControlSound(ControlSound::Beep);
        return;
    }
    TWinControl::KeyPress(key);
}

void TSpinEdit::DoEnter() {
    // Selecting everything is for the keyboard; a mouse press places the caret instead.
    if (autoSelect_ && !(GetKeyState(VK_LBUTTON) & 0x8000) && HandleAllocated())
        SendMessageA(HandleOrNull(), EM_SETSEL, 0, -1);
    TWinControl::DoEnter();
}

void TSpinEdit::ShowValueInUse() {
    if (!SpinTextShowsValue(Text(), range_))
        SetValue(Value());
}

void TSpinEdit::DoExit() {
    ShowValueInUse();
    TWinControl::DoExit();
}

void TSpinEdit::Resize() {
    Layout();
    TWinControl::Resize();
}

void TSpinEdit::FontChanged() {
    TWinControl::FontChanged();
    Layout();
}

void TSpinEdit::EnabledChanged() {
    TWinControl::EnabledChanged();
    button_->UpButton().Invalidate();
    button_->DownButton().Invalidate();
}

void TSpinEdit::Layout() {
    if (!HandleAllocated() || layingOut_)
        return;
    layingOut_ = true;
    WindowDC screen(nullptr);
    TEXTMETRICA font{}, system{};
    {
        SelectGuard select(screen.get(), FontHandle());
        GetTextMetricsA(screen.get(), &font);
    }
    {
        SelectGuard select(screen.get(), GetStockObject(SYSTEM_FONT));
        GetTextMetricsA(screen.get(), &system);
    }
    const int minHeight = SpinMinHeight(font.tmHeight, system.tmHeight, GetSystemMetrics(SM_CYBORDER));
    if (Height() < minHeight)
        SetHeight(minHeight);
    const SpinButtonPlace place = PlaceSpinButton(Width(), Height(), button_->Width(), ctl3D_);
    button_->SetBounds(place.x, place.y, button_->Width(), place.height);
    SetEditRect();
    layingOut_ = false;
}

void TSpinEdit::SetEditRect() {
    RECT r{0, 0, ClientWidth() - button_->Width() - 2, ClientHeight() + 1};
    SendMessageA(HandleOrNull(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

} // namespace quennet
