#include "runtime/Window.h"

#include "runtime/Canvas.h"

#include <algorithm>
#include <cctype>

namespace quennet {

namespace {

const TFont& DefaultFont() {
    static const TFont font;
    return font;
}

HFONT DefaultFontHandle() {
    static GdiFont font = CreateFontFor(DefaultFont());
    return font.get();
}

} // namespace

// ---------------------------------------------------------------- geometry

int TWinControl::Left() const {
    if (!handle_)
        return left_;
    RECT r;
    GetWindowRect(handle_, &r);
    if (HWND parent = GetParent(handle_); parent && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r.left;
}

int TWinControl::Top() const {
    if (!handle_)
        return top_;
    RECT r;
    GetWindowRect(handle_, &r);
    if (HWND parent = GetParent(handle_); parent && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r.top + (parent_ ? parent_->scrollY_ : 0);
}

int TWinControl::Width() const {
    if (!handle_)
        return width_;
    RECT r;
    GetWindowRect(handle_, &r);
    return r.right - r.left;
}

int TWinControl::Height() const {
    if (!handle_)
        return height_;
    RECT r;
    GetWindowRect(handle_, &r);
    return r.bottom - r.top;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (handle_)
        SetWindowPos(handle_, nullptr, left, top - (parent_ ? parent_->scrollY_ : 0), width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    if (parent_ && !parent_->realigning_)
        RecordAnchorMargins();
}

RECT TWinControl::ClientRect() const {
    RECT r{0, 0, width_, height_};
    if (handle_)
        GetClientRect(handle_, &r);
    return r;
}

int TWinControl::ClientWidth() const {
    RECT r = ClientRect();
    return r.right - r.left;
}

int TWinControl::ClientHeight() const {
    RECT r = ClientRect();
    return r.bottom - r.top;
}

// ---------------------------------------------------------------- state

std::string TWinControl::Caption() const {
    if (!handle_)
        return caption_;
    int length = GetWindowTextLengthA(handle_);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int got = GetWindowTextA(handle_, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return text;
}

void TWinControl::SetCaption(const std::string& text) {
    caption_ = text;
    if (handle_)
        SetWindowTextA(handle_, text.c_str());
}

bool TWinControl::Visible() const {
    if (!handle_)
        return visible_;
    return (GetWindowLongA(handle_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TWinControl::SetVisible(bool value) {
    visible_ = value;
    if (value && !handle_ && parent_ && parent_->handle_)
        CreateHandle();
    if (handle_)
        ShowWindow(handle_, value ? SW_SHOW : SW_HIDE);
}

bool TWinControl::Enabled() const {
    if (!handle_)
        return enabled_;
    return IsWindowEnabled(handle_) != FALSE;
}

void TWinControl::SetEnabled(bool value) {
    enabled_ = value;
    if (handle_)
        EnableWindow(handle_, value);
}

void TWinControl::UpdateStyleBit(DWORD bit, bool on) {
    if (!handle_)
        return;
    LONG style = GetWindowLongA(handle_, GWL_STYLE);
    SetWindowLongA(handle_, GWL_STYLE,
                   on ? (style | static_cast<LONG>(bit)) : (style & ~static_cast<LONG>(bit)));
}

void TWinControl::SetTabStop(bool value) {
    tabStop_ = value;
    UpdateStyleBit(WS_TABSTOP, value);
}

bool TWinControl::Focused() const {
    return handle_ && GetFocus() == handle_;
}

bool TWinControl::CanFocus() const {
    for (const TWinControl* c = this; c; c = c->parent_)
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

void TWinControl::SetFocus() {
    ::SetFocus(Handle());
}

TColor TWinControl::Color() const {
    if (parentColor_ && parent_)
        return parent_->Color();
    return color_;
}

void TWinControl::SetColor(TColor color) {
    color_ = color;
    parentColor_ = false;
    Invalidate();
    RepaintColorFollowers();
}

void TWinControl::SetParentColor(bool value) {
    parentColor_ = value;
    Invalidate();
    RepaintColorFollowers();
}

// Children painted in their parent's colour show the new one too, however deep.
void TWinControl::RepaintColorFollowers() {
    for (auto& child : children_) {
        if (!child->parentColor_)
            continue;
        child->Invalidate();
        child->RepaintColorFollowers();
    }
}

const TFont& TWinControl::Font() const {
    if (parentFont_)
        return parent_ ? parent_->Font() : DefaultFont();
    return font_;
}

HFONT TWinControl::FontHandle() const {
    if (parentFont_)
        return parent_ ? parent_->FontHandle() : DefaultFontHandle();
    return fontHandle_.get();
}

void TWinControl::SetFont(const TFont& font) {
    font_ = font;
    parentFont_ = false;
    fontHandle_ = CreateFontFor(font);
    if (handle_) {
        SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
        FontChanged();
    }
    ApplyFontToChildren();
}

void TWinControl::RecreateFonts(int dpi) {
    if (parentFont_ && !parent_) {
        // A window on the shared default font takes a copy of its own for the new scale.
        font_ = DefaultFont();
        parentFont_ = false;
    }
    if (!parentFont_) {
        fontHandle_ = CreateFontFor(font_, dpi);
        if (handle_) {
            SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
            FontChanged();
        }
    }
    for (auto& child : children_)
        child->RecreateFonts(dpi);
    ApplyFontToChildren();
}

void TWinControl::ApplyFontToChildren() {
    for (auto& child : children_) {
        if (!child->parentFont_)
            continue;
        if (child->handle_) {
            SendMessageA(child->handle_, WM_SETFONT, reinterpret_cast<WPARAM>(child->FontHandle()), TRUE);
            child->FontChanged();
        }
        child->ApplyFontToChildren();
    }
}

void TWinControl::Invalidate() {
    if (handle_)
        InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Repaint() {
    if (handle_) {
        InvalidateRect(handle_, nullptr, TRUE);
        UpdateWindow(handle_);
    }
}

void TWinControl::Update() {
    if (handle_)
        UpdateWindow(handle_);
}

// ---------------------------------------------------------------- free helpers

TShiftState KeyboardShiftState() {
    TShiftState state;
    if (GetKeyState(VK_SHIFT) < 0)
        state |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        state |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        state |= ssAlt;
    return state;
}

TShiftState MouseShiftState(WPARAM keys) {
    TShiftState state;
    if (keys & MK_SHIFT)
        state |= ssShift;
    if (keys & MK_CONTROL)
        state |= ssCtrl;
    if (keys & MK_LBUTTON)
        state |= ssLeft;
    if (keys & MK_RBUTTON)
        state |= ssRight;
    if (keys & MK_MBUTTON)
        state |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        state |= ssAlt;
    return state;
}

bool IsAccel(char ch, const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') { // "&&" is a literal ampersand
            ++i;
            continue;
        }
        return std::toupper(static_cast<unsigned char>(caption[i + 1])) ==
               std::toupper(static_cast<unsigned char>(ch));
    }
    return false;
}

} // namespace quennet
