#include "runtime/StdControls.h"

#include "runtime/Canvas.h"
#include "runtime/Form.h"

namespace quennet {

HBRUSH TColorBrush::Get(COLORREF color) {
    if (!brush_ || color != color_) {
        brush_.reset(CreateSolidBrush(color));
        color_ = color;
    }
    return brush_.get();
}

namespace {

// Text of a standard control on this control's colour, in its font's colour.
HBRUSH ColourAnswer(TWinControl& control, TColorBrush& brush, HDC dc) {
    COLORREF back = ColorToRGB(control.Color());
    SetBkColor(dc, back);
    SetTextColor(dc, ColorToRGB(control.Font().Color));
    return brush.Get(back);
}

} // namespace

// ---------------------------------------------------------------- TEdit

TEdit::TEdit() {
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
}

void TEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "EDIT";
    params.SystemClass = true;
    params.Style = (params.Style & ~WS_CLIPCHILDREN) | ES_AUTOHSCROLL;
    if (flat_)
        params.Style |= WS_BORDER;
    else
        params.ExStyle |= WS_EX_CLIENTEDGE;
    if (readOnly_)
        params.Style |= ES_READONLY;
}

void TEdit::HandleCreated() {
    if (maxLength_)
        SendMessageA(HandleOrNull(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TEdit::SetReadOnly(bool value) {
    readOnly_ = value;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), EM_SETREADONLY, value, 0);
}

void TEdit::SetMaxLength(int length) {
    maxLength_ = length;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), EM_LIMITTEXT, static_cast<WPARAM>(length), 0);
}

void TEdit::SelectAll() {
    SendMessageA(Handle(), EM_SETSEL, 0, -1);
}

bool TEdit::HandleCommand(WORD notifyCode) {
    if (notifyCode == EN_CHANGE)
        Change();
    return false;
}

void TEdit::Change() {
    if (OnChange)
        OnChange(*this);
}

// ---------------------------------------------------------------- TButton

TButton::TButton() {
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "BUTTON";
    params.SystemClass = true;
    params.Style = (params.Style & ~WS_CLIPCHILDREN) | (default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void TButton::SetDefault(bool value) {
    default_ = value;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
    if (modalResult_ != mrNone)
        if (TForm* form = ParentForm())
            form->SetModalResult(modalResult_);
    TWinControl::Click();
}

bool TButton::HandleCommand(WORD notifyCode) {
    if (notifyCode != BN_CLICKED)
        return false;
    Click();
    return true;
}

bool TButton::DialogKey(WORD key, TShiftState shift) {
    if (!shift.Empty() || !CanFocus())
        return false;
    bool active = Focused();
    if (!active && default_ && key == VK_RETURN)
        active = !dynamic_cast<TButton*>(FromHandle(GetFocus()));
    if ((key == VK_RETURN && active) || (key == VK_ESCAPE && cancel_)) {
        Click();
        return true;
    }
    return false;
}

bool TButton::DialogChar(char ch) {
    if (!IsAccel(ch, Caption()) || !CanFocus())
        return false;
    Click();
    return true;
}

// ---------------------------------------------------------------- TLabel

TLabel::TLabel() {
    SetBounds(0, 0, 65, 13);
}

void TLabel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "STATIC";
    params.SystemClass = true;
    params.Style = (params.Style & ~WS_CLIPCHILDREN) | alignment_ | SS_NOTIFY;
    if (!wordWrap_ && alignment_ == SS_LEFT)
        params.Style = (params.Style & ~SS_LEFT) | SS_LEFTNOWORDWRAP;
}

void TLabel::SetAutoSize(bool value) {
    autoSize_ = value;
    AdjustSize();
}

void TLabel::SetWordWrap(bool value) {
    wordWrap_ = value;
    if (value)
        autoSize_ = false;
}

void TLabel::AdjustSize() {
    if (!autoSize_ || !HandleAllocated())
        return;
    WindowDC dc(HandleOrNull());
    RECT r{0, 0, 0, 0};
    std::string text = Caption();
    SelectGuard keep(dc.get(), FontHandle());
    DrawTextA(dc.get(), text.empty() ? " " : text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    SetBounds(Left(), Top(), r.right, r.bottom);
}

void TLabel::TextChanged() {
    AdjustSize();
    Invalidate();
}

void TLabel::FontChanged() {
    AdjustSize();
}

HBRUSH TLabel::HandleCtlColor(HDC dc, UINT) {
    return ColourAnswer(*this, brush_, dc);
}

// ---------------------------------------------------------------- radio button, check box

TButtonControl::TButtonControl(DWORD buttonStyle) : buttonStyle_(buttonStyle) {
    SetTabStop(true);
    SetBounds(0, 0, 113, 17);
}

void TButtonControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "BUTTON";
    params.SystemClass = true;
    params.Style = (params.Style & ~WS_CLIPCHILDREN) | buttonStyle_;
}

void TButtonControl::HandleCreated() {
    SendMessageA(HandleOrNull(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TButtonControl::Checked() const {
    if (!HandleAllocated())
        return checked_;
    return SendMessageA(HandleOrNull(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TButtonControl::SetChecked(bool value) {
    checked_ = value;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TButtonControl::HandleCommand(WORD notifyCode) {
    if (notifyCode != BN_CLICKED)
        return false;
    checked_ = Checked();
    Click();
    return true;
}

HBRUSH TButtonControl::HandleCtlColor(HDC dc, UINT) {
    return ColourAnswer(*this, brush_, dc);
}

// ---------------------------------------------------------------- TGroupBox

TGroupBox::TGroupBox() {
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "BUTTON";
    params.SystemClass = true;
    params.Style |= BS_GROUPBOX;
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

HBRUSH TGroupBox::HandleCtlColor(HDC dc, UINT) {
    return ColourAnswer(*this, brush_, dc);
}

LRESULT TGroupBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: { // the class leaves its inside to the parent's brush
        RECT r = ClientRect();
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush_.Get(ColorToRGB(Color())));
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (reinterpret_cast<HWND>(lParam) == HandleOrNull()) // its own caption
            return reinterpret_cast<LRESULT>(ColourAnswer(*this, brush_, reinterpret_cast<HDC>(wParam)));
        break;
    default:
        break;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

// ---------------------------------------------------------------- TPanel

TPanel::TPanel() {
    SetBounds(0, 0, 185, 41);
}

void TPanel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "TPanel";
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TPanel::SetBevelOuter(TBevelCut cut) {
    bevelOuter_ = cut;
    Invalidate();
}

void TPanel::Paint(HDC dc) {
    if (bevelOuter_ == bvNone)
        return;
    TCanvas canvas(dc);
    const int w = ClientWidth(), h = ClientHeight();
    TColor light = bevelOuter_ == bvRaised ? clBtnHighlight : clBtnShadow;
    TColor dark = bevelOuter_ == bvRaised ? clBtnShadow : clBtnHighlight;
    canvas.Polyline({{0, h - 1}, {0, 0}, {w - 1, 0}}, light);
    canvas.Polyline({{w - 1, 0}, {w - 1, h - 1}, {-1, h - 1}}, dark);
}

// ---------------------------------------------------------------- TBevel

TBevel::TBevel() {
    SetBounds(0, 0, 50, 50);
}

void TBevel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "TBevel";
    // The frame sits beneath the controls it surrounds: clipped by them, its background
    // never paints over them.
    params.Style = (params.Style & ~WS_CLIPCHILDREN) | WS_CLIPSIBLINGS;
}

namespace {
// Posted by a new bevel: a child window made later goes beneath the ones made before it, so
// the frame goes to the bottom once its siblings exist.
constexpr UINT WM_QUENNET_SENDTOBACK = WM_APP + 0x3F2;
} // namespace

void TBevel::HandleCreated() {
    SetWindowPos(HandleOrNull(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PostMessageA(HandleOrNull(), WM_QUENNET_SENDTOBACK, 0, 0);
}

LRESULT TBevel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCHITTEST)
        return HTTRANSPARENT; // a line, not a place to click
    if (message == WM_QUENNET_SENDTOBACK) {
        SetWindowPos(HandleOrNull(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return 0;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

void TBevel::SetShape(TBevelShape shape) {
    shape_ = shape;
    Invalidate();
}

void TBevel::SetLowered(bool lowered) {
    lowered_ = lowered;
    Invalidate();
}

void TBevel::Paint(HDC dc) {
    TCanvas canvas(dc);
    const int w = ClientWidth(), h = ClientHeight();
    const TColor first = lowered_ ? clBtnShadow : clBtnHighlight;
    const TColor second = lowered_ ? clBtnHighlight : clBtnShadow;
    switch (shape_) {
    case bsBox:
        canvas.Polyline({{0, h - 1}, {0, 0}, {w - 1, 0}}, first);
        canvas.Polyline({{w - 1, 0}, {w - 1, h - 1}, {-1, h - 1}}, second);
        break;
    case bsFrame: // etched: a frame in the second colour under one in the first, offset by one
        canvas.Rectangle({1, 1, w, h}, second);
        canvas.Rectangle({0, 0, w - 1, h - 1}, first);
        break;
    case bsTopLine:
        canvas.Line(0, 0, w, 0, first);
        canvas.Line(0, 1, w, 1, second);
        break;
    case bsBottomLine:
        canvas.Line(0, h - 2, w, h - 2, first);
        canvas.Line(0, h - 1, w, h - 1, second);
        break;
    case bsLeftLine:
        canvas.Line(0, 0, 0, h, first);
        canvas.Line(1, 0, 1, h, second);
        break;
    case bsRightLine:
        canvas.Line(w - 2, 0, w - 2, h, first);
        canvas.Line(w - 1, 0, w - 1, h, second);
        break;
    }
}

} // namespace quennet
