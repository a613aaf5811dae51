#include "runtime/Window.h"

#include "runtime/Application.h"
#include "runtime/SystemError.h"
#include "runtime/Form.h"
#include "runtime/PopupMenu.h"

#include <windowsx.h>

#include <algorithm>
#include <cctype>
#include <mutex>
#include <set>
#include <unordered_map>

namespace quennet {

namespace {

// The object behind any window the runtime made or subclassed, kept by the process rather
// than in GWLP_USERDATA (standard controls may use their user data themselves) or in a window
// property: under Wine a property lives in the server, and reading one for every message to a
// list and every notification from it cost a round trip each (listing the rows of a
// 300,000-row selection took 12 seconds).
class WindowObjects {
  public:
    void Set(HWND window, TWinControl* object) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (object)
            objects_[window] = object;
        else
            objects_.erase(window);
    }
    TWinControl* Get(HWND window) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = objects_.find(window);
        return found == objects_.end() ? nullptr : found->second;
    }

  private:
    std::mutex mutex_; // windows of any thread
    std::unordered_map<HWND, TWinControl*> objects_;
};

WindowObjects& Objects() {
    static WindowObjects objects;
    return objects;
}
// The control an inner window belongs to, and the inner window's own procedure.
const char kInnerOwnerProperty[] = "Quennet.InnerOwner";
const char kInnerProcProperty[] = "Quennet.InnerProc";

void RegisterOwnClass(const TCreateParams& params, WNDPROC proc) {
    static std::set<std::string> registered;
    if (registered.count(params.ClassName))
        return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = params.ClassStyle;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = params.ClassName.c_str();
    if (!RegisterClassExA(&wc)) {
        const DWORD error = GetLastError();
        if (error != ERROR_CLASS_ALREADY_EXISTS)
            throw ESystemError("Cannot register window class " + params.ClassName, error);
    }
    registered.insert(params.ClassName);
}

int NextControlId() {
    static int next = 1000;
    return ++next;
}

TMouseButton ButtonOf(UINT message) {
    switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

} // namespace

TWinControl::TWinControl() = default;

TWinControl::~TWinControl() {
    children_.clear(); // each child destroys its own window first
    DestroyHandle();
}

void TWinControl::DestroyHandle() {
    if (!handle_)
        return;
    HWND window = handle_;
    Unbind();
    DestroyWindow(window);
}

// ---------------------------------------------------------------- tree

void TWinControl::Adopt(std::unique_ptr<TWinControl> child) {
    child->parent_ = this;
    child->tabOrder_ = static_cast<int>(children_.size());
    children_.push_back(std::move(child));
    if (handle_)
        children_.back()->CreateHandle();
}

void TWinControl::RemoveControl(TWinControl& child) {
    auto it = std::find_if(children_.begin(), children_.end(),
                           [&](const std::unique_ptr<TWinControl>& c) { return c.get() == &child; });
    if (it == children_.end())
        return;
    std::unique_ptr<TWinControl> doomed = std::move(*it);
    children_.erase(it);
    doomed.reset();
}

TForm* TWinControl::ParentForm() {
    for (TWinControl* c = this; c; c = c->parent_)
        if (auto* form = dynamic_cast<TForm*>(c))
            return form;
    return nullptr;
}

// ---------------------------------------------------------------- the window

HWND TWinControl::Handle() {
    if (!handle_)
        CreateHandle();
    return handle_;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.ClassName = "QuennetControl";
    params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (visible_)
        params.Style |= WS_VISIBLE;
    if (!enabled_)
        params.Style |= WS_DISABLED;
    if (tabStop_)
        params.Style |= WS_TABSTOP;
    params.Caption = caption_;
    params.X = left_;
    params.Y = top_ - (parent_ ? parent_->scrollY_ : 0);
    params.Width = width_;
    params.Height = height_;
    params.Parent = parent_ ? parent_->handle_ : nullptr;
}

void TWinControl::CreateHandle() {
    if (parent_ && !parent_->handle_) {
        parent_->CreateHandle(); // creates this one with the other children
        if (handle_)
            return;
    }
    TCreateParams params;
    CreateParams(params);
    systemClass_ = params.SystemClass;
    HMENU id = nullptr;
    if (params.Style & WS_CHILD) {
        if (!controlId_)
            controlId_ = NextControlId();
        id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId_));
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (systemClass_) {
        HWND window = CreateWindowExA(params.ExStyle, params.ClassName.c_str(), params.Caption.c_str(),
                                      params.Style, params.X, params.Y, params.Width, params.Height,
                                      params.Parent, id, instance, nullptr);
        if (window)
            Bind(window);
    } else {
        RegisterOwnClass(params, &TWinControl::OwnClassProc);
        CreateWindowExA(params.ExStyle, params.ClassName.c_str(), params.Caption.c_str(), params.Style,
                        params.X, params.Y, params.Width, params.Height, params.Parent, id, instance, this);
    }
    if (!handle_) {
        const DWORD error = GetLastError();
        throw ESystemError("Error creating window of class " + params.ClassName, error);
    }
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
    RecordAnchorMargins();
    HandleCreated();
    for (auto& child : children_)
        if (!child->handle_)
            child->CreateHandle();
    Realign();
}

void TWinControl::Bind(HWND window) {
    handle_ = window;
    Objects().Set(window, this);
    if (systemClass_) {
        oldProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::SubclassProc)));
    } else {
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
}

void TWinControl::Unbind() {
    if (!handle_)
        return;
    Objects().Set(handle_, nullptr);
    if (systemClass_ && oldProc_)
        SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
    else if (!systemClass_)
        SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
    handle_ = nullptr;
    mouseInside_ = false;
    clicked_ = false;
}

TWinControl* TWinControl::FromHandle(HWND window) {
    return window ? Objects().Get(window) : nullptr;
}

LRESULT TWinControl::Perform(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(Handle(), message, wParam, lParam);
}

// Exceptions must not unwind through the system's code that called the window procedure:
// they end here and go to the application's error box, and the program goes on.
LRESULT TWinControl::Dispatch(TWinControl* self, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return self->WndProc(message, wParam, lParam);
    } catch (...) {
        Application().HandleException(std::current_exception());
        return 0;
    }
}

LRESULT CALLBACK TWinControl::OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWinControl* self;
    if (message == WM_NCCREATE) {
        self = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self)
            self->Bind(window);
    } else {
        self = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    return Dispatch(self, message, wParam, lParam);
}

LRESULT CALLBACK TWinControl::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWinControl* self = Objects().Get(window);
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    return Dispatch(self, message, wParam, lParam);
}

void TWinControl::ForwardInnerWindow(HWND inner) {
    if (!inner || GetPropA(inner, kInnerOwnerProperty))
        return;
    SetPropA(inner, kInnerOwnerProperty, this);
    SetPropA(inner, kInnerProcProperty,
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(
                 inner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::InnerProc))));
}

LRESULT CALLBACK TWinControl::InnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* owner = static_cast<TWinControl*>(GetPropA(window, kInnerOwnerProperty));
    auto proc = reinterpret_cast<WNDPROC>(GetPropA(window, kInnerProcProperty));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
        RemovePropA(window, kInnerOwnerProperty);
        RemovePropA(window, kInnerProcProperty);
        return CallWindowProcA(proc, window, message, wParam, lParam);
    }
    try {
        switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            WORD key = static_cast<WORD>(wParam);
            if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
                owner->KeyDown(key, KeyboardShiftState());
            else
                owner->KeyUp(key, KeyboardShiftState());
            if (key == 0)
                return 0;
            wParam = key;
            break;
        }
        case WM_CHAR: {
            char ch = static_cast<char>(wParam);
            owner->KeyPress(ch);
            if (ch == 0)
                return 0;
            wParam = static_cast<unsigned char>(ch);
            break;
        }
        case WM_SETFOCUS: {
            LRESULT result = CallWindowProcA(proc, window, message, wParam, lParam);
            owner->DoEnter();
            return result;
        }
        case WM_KILLFOCUS: {
            LRESULT result = CallWindowProcA(proc, window, message, wParam, lParam);
            owner->DoExit();
            return result;
        }
        default:
            break;
        }
    } catch (...) {
        Application().HandleException(std::current_exception());
        return 0;
    }
    return CallWindowProcA(proc, window, message, wParam, lParam);
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!handle_)
        return 0;
    if (systemClass_)
        return CallWindowProcA(oldProc_, handle_, message, wParam, lParam);
    return DefWindowProcA(handle_, message, wParam, lParam);
}

// ---------------------------------------------------------------- message dispatch

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT reflected = 0;
    switch (message) {
    case WM_PAINT:
        if (!systemClass_) {
            PaintDC dc(handle_);
            Paint(dc.get());
            return 0;
        }
        break;
    case WM_PRINTCLIENT:
        if (!systemClass_) {
            if (lParam & PRF_ERASEBKGND)
                SendMessageA(handle_, WM_ERASEBKGND, wParam, 0);
            Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        if (!systemClass_) {
            if (!opaque_) {
                RECT r = ClientRect();
                GdiBrush brush(CreateSolidBrush(ColorToRGB(Color())));
                FillRect(reinterpret_cast<HDC>(wParam), &r, brush.get());
            }
            return 1;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        return MouseButtonMessage(message, wParam, lParam);
    case WM_MOUSEMOVE: {
        LRESULT result = DefaultHandler(message, wParam, lParam);
        int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        TrackMouse(x, y);
        MouseMove(MouseShiftState(wParam), x, y);
        return result;
    }
    case WM_MOUSELEAVE:
        if (mouseInside_ && GetCapture() != handle_) {
            mouseInside_ = false;
            MouseLeave();
        }
        return DefaultHandler(message, wParam, lParam);
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != handle_)
            clicked_ = false;
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WORD key = static_cast<WORD>(wParam);
        TShiftState shift = KeyboardShiftState();
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
            KeyDown(key, shift);
        else
            KeyUp(key, shift);
        if (key == 0 || !handle_)
            return 0;
        return DefaultHandler(message, key, lParam);
    }
    case WM_CHAR: {
        char ch = static_cast<char>(wParam);
        KeyPress(ch);
        if (ch == 0 || !handle_)
            return 0;
        return DefaultHandler(message, static_cast<unsigned char>(ch), lParam);
    }
    case WM_GETDLGCODE:
        return WantKeys(static_cast<UINT>(DefaultHandler(message, wParam, lParam)));
    case WM_SETFOCUS: {
        LRESULT result = DefaultHandler(message, wParam, lParam);
        DoEnter();
        return result;
    }
    case WM_KILLFOCUS: {
        LRESULT result = DefaultHandler(message, wParam, lParam);
        DoExit();
        return result;
    }
    case WM_ENABLE: {
        LRESULT result = DefaultHandler(message, wParam, lParam);
        EnabledChanged();
        return result;
    }
    case WM_SETTEXT: {
        LRESULT result = DefaultHandler(message, wParam, lParam);
        TextChanged();
        return result;
    }
    case WM_SIZE: {
        LRESULT result = DefaultHandler(message, wParam, lParam);
        Realign();
        Resize();
        // The system repaints only the strip a resize uncovers, but most of what a control
        // draws depends on its size: a centred caption, a border on the right edge, wrapped
        // text, the last divider of a status bar or of a list's header (a child window).
        // Kept, the old picture would stand beside the new one.
        if (handle_ && wParam != SIZE_MINIMIZED)
            RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return result;
    }
    case WM_SETCURSOR:
        if (cursor_ && LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == handle_) {
            ::SetCursor(cursor_);
            return TRUE;
        }
        break;
    case WM_CONTEXTMENU:
        if (popupMenu_ && reinterpret_cast<HWND>(wParam) == handle_) {
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (lParam == -1) { // from the keyboard: the control's top-left corner
                at = POINT{0, 0};
                ClientToScreen(handle_, &at);
            }
            popupMenu_->Popup(at.x, at.y);
            return 0;
        }
        break;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        if (ReflectToChild(message, wParam, lParam, reflected))
            return reflected;
        break;
    case WM_NCDESTROY: {
        LRESULT result = DefaultHandler(message, wParam, lParam);
        Unbind();
        return result;
    }
    default:
        break;
    }
    return DefaultHandler(message, wParam, lParam);
}

bool TWinControl::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND: {
        TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam));
        if (child && child != this && child->HandleCommand(HIWORD(wParam))) {
            result = 0;
            return true;
        }
        return false;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        TWinControl* child = FromHandle(header->hwndFrom);
        return child && child != this && child->HandleNotify(*header, result);
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType == ODT_MENU)
            return false;
        TWinControl* child = FromHandle(item->hwndItem);
        if (child && child != this && child->HandleDrawItem(*item)) {
            result = TRUE;
            return true;
        }
        return false;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item->CtlType == ODT_MENU)
            return false;
        TWinControl* child = FromHandle(GetDlgItem(handle_, static_cast<int>(item->CtlID)));
        if (child && child != this && child->HandleMeasureItem(*item)) {
            result = TRUE;
            return true;
        }
        return false;
    }
    default: { // WM_CTLCOLOR*
        TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam));
        if (!child || child == this)
            return false;
        HBRUSH brush = child->HandleCtlColor(reinterpret_cast<HDC>(wParam), message);
        result = reinterpret_cast<LRESULT>(brush);
        return brush != nullptr;
    }
    }
}

LRESULT TWinControl::MouseButtonMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    const TMouseButton button = ButtonOf(message);
    TShiftState shift = MouseShiftState(wParam);
    const bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
    const bool dbl =
        message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;

    if (down || dbl) {
        LRESULT result = DefaultHandler(message, wParam, lParam);
        if (!systemClass_ && captureMouse_)
            SetCapture(handle_);
        if (button == mbLeft && clickOnRelease_ && !systemClass_)
            clicked_ = true;
        if (dbl) {
            shift |= ssDouble;
            if (button == mbLeft)
                DblClick();
        }
        if (handle_)
            MouseDown(button, shift, x, y);
        return result;
    }
    const bool wasClicked = button == mbLeft && clicked_;
    if (button == mbLeft)
        clicked_ = false;
    LRESULT result = DefaultHandler(message, wParam, lParam);
    if (!systemClass_ && GetCapture() == handle_ && !(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)))
        ReleaseCapture();
    if (wasClicked) {
        RECT client = ClientRect();
        POINT at{x, y};
        if (PtInRect(&client, at))
            Click();
    }
    if (handle_)
        MouseUp(button, shift, x, y);
    if (handle_)
        TrackMouse(x, y);
    return result;
}

// Mouse enter and leave: TrackMouseEvent reports the leave; while the mouse is captured the
// cursor can be outside the window and still send moves here, so those count as well.
void TWinControl::TrackMouse(int x, int y) {
    RECT client = ClientRect();
    POINT at{x, y};
    bool inside = PtInRect(&client, at) != FALSE;
    if (inside && GetCapture() != handle_) {
        POINT screen = at;
        ClientToScreen(handle_, &screen);
        inside = WindowFromPoint(screen) == handle_;
    }
    if (inside && !mouseInside_) {
        mouseInside_ = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle_, 0};
        TrackMouseEvent(&track);
        MouseEnter();
    } else if (!inside && mouseInside_) {
        mouseInside_ = false;
        MouseLeave();
    }
}

// ---------------------------------------------------------------- handlers

void TWinControl::Paint(HDC) {}

void TWinControl::Click() {
    if (OnClick)
        OnClick(*this);
}

void TWinControl::DblClick() {
    if (OnDblClick)
        OnDblClick(*this);
}

void TWinControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(*this, button, shift, x, y);
}

void TWinControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp)
        OnMouseUp(*this, button, shift, x, y);
}

void TWinControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove)
        OnMouseMove(*this, shift, x, y);
}

void TWinControl::MouseEnter() {
    if (OnMouseEnter)
        OnMouseEnter(*this);
}

void TWinControl::MouseLeave() {
    if (OnMouseLeave)
        OnMouseLeave(*this);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown)
        OnKeyDown(*this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp)
        OnKeyUp(*this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress)
        OnKeyPress(*this, key);
}

void TWinControl::DoEnter() {
    if (OnEnter)
        OnEnter(*this);
}

void TWinControl::DoExit() {
    if (OnExit)
        OnExit(*this);
}

void TWinControl::EnabledChanged() {
    if (!systemClass_)
        Invalidate();
}

void TWinControl::TextChanged() {
    if (!systemClass_)
        Invalidate();
}

void TWinControl::FontChanged() {
    if (!systemClass_)
        Invalidate();
}

void TWinControl::Resize() {
    if (OnResize)
        OnResize(*this);
}

// Offered to the children in creation order until one takes it.
bool TWinControl::DialogKey(WORD key, TShiftState shift) {
    for (size_t i = 0; i < children_.size(); ++i)
        if (children_[i]->HandleAllocated() && children_[i]->DialogKey(key, shift))
            return true;
    return false;
}

bool TWinControl::DialogChar(char ch) {
    for (size_t i = 0; i < children_.size(); ++i)
        if (children_[i]->HandleAllocated() && children_[i]->DialogChar(ch))
            return true;
    return false;
}
bool TWinControl::HandleCommand(WORD) {
    return false;
}
bool TWinControl::HandleNotify(NMHDR&, LRESULT&) {
    return false;
}
bool TWinControl::HandleDrawItem(DRAWITEMSTRUCT&) {
    return false;
}
bool TWinControl::HandleMeasureItem(MEASUREITEMSTRUCT&) {
    return false;
}
HBRUSH TWinControl::HandleCtlColor(HDC, UINT) {
    return nullptr;
}

} // namespace quennet
