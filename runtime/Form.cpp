#include "runtime/Form.h"

#include "runtime/Application.h"
#include "runtime/Dpi.h"
#include "runtime/Exception.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace quennet {

namespace {

// Depth first: a container's controls come right after it, each level by TabOrder.
void CollectTabOrder(TWinControl& parent, std::vector<TWinControl*>& out) {
    std::vector<TWinControl*> level;
    for (auto& child : parent.Controls())
        if (child->HandleAllocated())
            level.push_back(child.get());
    std::stable_sort(level.begin(), level.end(),
                     [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
    for (TWinControl* child : level) {
        out.push_back(child);
        CollectTabOrder(*child, out);
    }
}

// The runtime's control that holds the focus window, also when the focus sits in a child
// window of a standard control (the edit inside a combo box).
TWinControl* ControlOfFocus() {
    for (HWND w = GetFocus(); w; w = GetParent(w))
        if (TWinControl* control = TWinControl::FromHandle(w))
            return control;
    return nullptr;
}

// What a window wants for itself (WM_GETDLGCODE) when `key` is pressed, asked with the key
// but without the message. Handing the message over (lParam) makes a standard edit take its
// parent for a dialog box: a multi-line edit then posts WM_CLOSE to its parent on Escape,
// which closes the form or destroys a panel or scroll box with everything on it, and sends
// it WM_NEXTDLGCTL on Tab and DM_GETDEFID on Enter. No parent in the runtime is a dialog box.
UINT WantedKeys(HWND window, WPARAM key) {
    return static_cast<UINT>(SendMessageA(window, WM_GETDLGCODE, key, 0));
}

// The combo box whose list is dropped down that the window is, or sits in, or null: Enter
// and Escape then close the list (the one case where a standard control's wish depends on
// the message, which WantedKeys does not hand over).
HWND DroppedComboBox(HWND window) {
    for (HWND w = window; w; w = GetParent(w)) {
        char name[16] = "";
        GetClassNameA(w, name, sizeof name);
        if (lstrcmpiA(name, "ComboBox") == 0 || lstrcmpiA(name, WC_COMBOBOXEXA) == 0)
            return SendMessageA(w, CB_GETDROPPEDSTATE, 0, 0) != 0 ? w : nullptr;
        if (!(GetWindowLongA(w, GWL_STYLE) & WS_CHILD))
            break;
    }
    return nullptr;
}

bool IsAutoRadioButton(HWND window) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, "Button") == 0 &&
           (GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

bool Contains(TWinControl& ancestor, TWinControl* control) {
    for (TWinControl* c = control; c; c = c->Parent())
        if (c == &ancestor)
            return true;
    return false;
}

} // namespace

TForm::TForm() {
    visible_ = false;
    parentColor_ = false;
    color_ = clBtnFace;
}

TForm::~TForm() {
    if (Application().MainForm() == this)
        Application().SetMainForm(nullptr);
}

void TForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "QuennetForm";
    params.Parent = nullptr;
    params.ExStyle = WS_EX_CONTROLPARENT;
    DWORD style = WS_CLIPCHILDREN;
    switch (borderStyle_) {
    case bsSizeable:
        style |= WS_OVERLAPPEDWINDOW;
        break;
    case bsDialog:
        style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case bsSingle:
        style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_BORDER;
        break;
    case bsToolWindow:
        style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsNone:
        style |= WS_POPUP;
        break;
    }
    params.Style = style; // shown by Show, never at creation
    if (HWND owner = Application().MainForm() && Application().MainForm() != this
                         ? Application().MainForm()->HandleOrNull()
                         : nullptr)
        params.Parent = owner;
}

void TForm::SetClientSize(int width, int height) {
    TCreateParams params;
    CreateParams(params);
    DWORD style = handle_ ? static_cast<DWORD>(GetWindowLongA(handle_, GWL_STYLE)) : params.Style;
    DWORD exStyle = handle_ ? static_cast<DWORD>(GetWindowLongA(handle_, GWL_EXSTYLE)) : params.ExStyle;
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::CenterOnDesktop() {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int w = Width(), h = Height();
    SetBounds(work.left + (work.right - work.left - w) / 2, work.top + (work.bottom - work.top - h) / 2, w,
              h);
}

void TForm::ApplyPosition() {
    switch (position_) {
    case poDesigned:
        break;
    case poDesktopCenter:
    case poScreenCenter:
        CenterOnDesktop();
        break;
    case poMainFormCenter: {
        TForm* main = Application().MainForm();
        if (!main || main == this || !main->HandleAllocated()) {
            CenterOnDesktop();
            break;
        }
        SetBounds(main->Left() + (main->Width() - Width()) / 2, main->Top() + (main->Height() - Height()) / 2,
                  Width(), Height());
        break;
    }
    }
}

bool TForm::Maximized() const {
    if (!handle_)
        return showMaximized_;
    return IsZoomed(handle_) != FALSE;
}

void TForm::SetMaximized(bool value) {
    showMaximized_ = value;
    if (handle_ && IsWindowVisible(handle_))
        ShowWindow(handle_, value ? SW_MAXIMIZE : SW_RESTORE);
}

void TForm::Show() {
    Handle();
    if (IsWindowVisible(handle_)) {
        SetForegroundWindow(handle_);
        return;
    }
    ApplyPosition();
    visible_ = true;
    ShowWindow(handle_, showMaximized_ ? SW_SHOWMAXIMIZED : SW_SHOW);
    FocusFirstControl();
    DoShow();
}

void TForm::DoShow() {
    if (OnShow)
        OnShow(*this);
}

TModalResult TForm::ShowModal() {
    Handle();
    if (IsWindowVisible(handle_))
        throw Exception("Cannot make a visible window modal");
    HWND owner = GetActiveWindow();
    if (!owner || owner == handle_)
        owner = Application().MainForm() && Application().MainForm() != this
                    ? Application().MainForm()->HandleOrNull()
                    : nullptr;
    SetWindowLongPtrA(handle_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));

    // Every other enabled window of this thread is switched off while the form runs.
    std::vector<HWND> disabled;
    std::pair<HWND, std::vector<HWND>*> enumData(handle_, &disabled);
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM data) -> BOOL {
            auto* list = reinterpret_cast<std::pair<HWND, std::vector<HWND>*>*>(data);
            if (w != list->first && IsWindowVisible(w) && IsWindowEnabled(w))
                list->second->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&enumData));
    for (HWND w : disabled)
        EnableWindow(w, FALSE);

    modal_ = true;
    modalResult_ = mrNone;
    bool quit = false;
    try {
        Show();
        while (modalResult_ == mrNone) {
            if (!Application().HandleMessage()) {
                quit = true;
                modalResult_ = mrCancel;
                break;
            }
            if (!handle_ || !IsWindowVisible(handle_))
                if (modalResult_ == mrNone)
                    modalResult_ = mrCancel;
        }
    } catch (...) {
        for (HWND w : disabled)
            EnableWindow(w, TRUE);
        modal_ = false;
        throw;
    }
    // Enabled again before hiding, so that the owner gets the activation back.
    for (HWND w : disabled)
        if (IsWindow(w))
            EnableWindow(w, TRUE);
    if (handle_) {
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        visible_ = false;
    }
    if (owner && IsWindow(owner))
        SetActiveWindow(owner);
    modal_ = false;
    if (quit)
        PostQuitMessage(0);
    return modalResult_;
}

void TForm::Close() {
    if (handle_)
        SendMessageA(handle_, WM_CLOSE, 0, 0);
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(*this, canClose);
    return canClose;
}

void TForm::DoClose(TCloseAction& action) {
    if (OnClose)
        OnClose(*this, action);
}

void TForm::SetActiveControl(TWinControl* control) {
    activeControl_ = control;
    if (control && handle_ && IsWindowVisible(handle_) && control->CanFocus())
        control->SetFocus();
}

TWinControl* TForm::ActiveControl() {
    TWinControl* focused = ControlOfFocus();
    if (focused && focused != this && Contains(*this, focused))
        return focused;
    return activeControl_;
}

void TForm::FocusChanged() {
    if (!handle_)
        return;
    TWinControl* active = ActiveControl();
    const LPARAM focus = reinterpret_cast<LPARAM>(active ? active->HandleOrNull() : nullptr);
    std::vector<TWinControl*> controls;
    CollectTabOrder(*this, controls);
    for (TWinControl* control : controls)
        SendMessageA(control->HandleOrNull(), CM_FOCUSCHANGED, 0, focus);
}

void TForm::FocusFirstControl() {
    if (activeControl_ && activeControl_->HandleAllocated() && activeControl_->CanFocus()) {
        activeControl_->SetFocus();
        return;
    }
    if (TWinControl* focused = ControlOfFocus(); focused && focused != this && Contains(*this, focused))
        return;
    SelectNext(true);
}

void TForm::SelectNext(bool forward, bool tabStopsOnly, TWinControl* within) {
    std::vector<TWinControl*> order;
    CollectTabOrder(within ? *within : *this, order);
    if (order.empty())
        return;
    TWinControl* current = ControlOfFocus();
    auto at = std::find(order.begin(), order.end(), current);
    const int n = static_cast<int>(order.size());
    int start = at == order.end() ? (forward ? -1 : n) : static_cast<int>(at - order.begin());
    for (int step = 1; step <= n; ++step) {
        int i = ((start + (forward ? step : -step)) % n + n) % n;
        TWinControl* candidate = order[static_cast<size_t>(i)];
        if (candidate == current)
            break;
        if ((!tabStopsOnly || candidate->TabStop()) && candidate->CanFocus()) {
            candidate->SetFocus();
            activeControl_ = candidate;
            return;
        }
    }
}

bool TForm::PreTranslateMessage(MSG& message) {
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
        const WORD key = static_cast<WORD>(message.wParam);
        UINT mask = 0;
        switch (key) {
        case VK_TAB:
            mask = DLGC_WANTTAB;
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            mask = DLGC_WANTARROWS;
            break;
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_EXECUTE:
        case VK_CANCEL:
            mask = DLGC_WANTALLKEYS;
            break;
        default:
            return false;
        }
        if (WantedKeys(message.hwnd, message.wParam) & mask)
            return false;
        if (mask == DLGC_WANTALLKEYS) {
            if (HWND combo = DroppedComboBox(message.hwnd)) {
                // Wine's box keeps its list open on Enter and Escape once the list has the
                // keyboard; either key closes it (the highlighted entry stays chosen), and
                // neither goes on to the window's own key handling.
                if (key == VK_RETURN || key == VK_ESCAPE) {
                    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
                    return true;
                }
                return false;
            }
        }
        const TShiftState shift = KeyboardShiftState();
        if (!shift.Has(ssAlt)) {
            if (key == VK_TAB && !shift.Has(ssCtrl)) {
                SelectNext(!shift.Has(ssShift));
                return true;
            }
            if (mask == DLGC_WANTARROWS) {
                TWinControl* current = ControlOfFocus();
                if (current && current != this && Contains(*this, current)) {
                    SelectNext(key == VK_RIGHT || key == VK_DOWN, false, current->Parent());
                    // As in a dialog box, the arrows choose the radio button they reach.
                    if (HWND reached = GetFocus(); reached != message.hwnd && IsAutoRadioButton(reached))
                        SendMessageA(reached, BM_CLICK, 0, 0);
                    return true;
                }
                return false;
            }
        }
        return DialogKey(key, shift);
    }
    if (message.message == WM_SYSCHAR)
        return DialogChar(static_cast<char>(message.wParam));
    if (message.message == WM_CHAR) {
        if (!(WantedKeys(message.hwnd, message.wParam) & DLGC_WANTCHARS))
            return DialogChar(static_cast<char>(message.wParam));
    }
    return false;
}

bool TForm::DialogKey(WORD key, TShiftState shift) {
    if (TWinControl::DialogKey(key, shift))
        return true;
    if (key != VK_ESCAPE || !closeOnEscape_ || !shift.Empty())
        return false;
    Close();
    return true;
}

TForm* TForm::FormOf(HWND window) {
    if (!window)
        return nullptr;
    return dynamic_cast<TForm*>(FromHandle(GetAncestor(window, GA_ROOT)));
}

void TForm::ScaleTo(int dpi) {
    if (dpi <= 0 || dpi == dpi_)
        return;
    const int from = dpi_;
    dpi_ = dpi;
    ScaleControls(dpi, from);
    DpiScaled(dpi, from);
    Realign();
}

int TForm::Scaled(int designUnits) const {
    return ScaleDesignUnits(designUnits, dpi_);
}

int TForm::Unscaled(int pixels) const {
    return DesignUnitsOf(pixels, dpi_);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DPICHANGED: {
        // The system suggests where the window keeps its look on the new monitor.
        ScaleTo(LOWORD(wParam));
        RecreateFonts(LOWORD(wParam));
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        if (suggested)
            SetBounds(suggested->left, suggested->top, suggested->right - suggested->left,
                      suggested->bottom - suggested->top);
        Realign();
        return 0;
    }
    case WM_GETMINMAXINFO: {
        const SIZE least = MinClientSize();
        if (least.cx <= 0 && least.cy <= 0)
            break;
        RECT outer{0, 0, least.cx, least.cy};
        AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(handle_, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongA(handle_, GWL_EXSTYLE)));
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, outer.right - outer.left);
        info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, outer.bottom - outer.top);
        return 0;
    }
    case WM_CLOSE: {
        if (!CloseQuery())
            return 0;
        TCloseAction action = modal_ ? caHide : (Application().MainForm() == this ? caFree : caHide);
        DoClose(action);
        if (action == caNone)
            return 0;
        if (modal_) {
            if (modalResult_ == mrNone)
                modalResult_ = mrCancel;
            return 0;
        }
        if (action == caMinimize) {
            ShowWindow(handle_, SW_MINIMIZE);
            return 0;
        }
        Hide();
        if (Application().MainForm() == this)
            Application().Terminate();
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (TWinControl* focused = ControlOfFocus();
                focused && focused != this && Contains(*this, focused))
                activeControl_ = focused;
        } else if (!HIWORD(wParam)) {
            DefaultHandler(message, wParam, lParam);
            if (activeControl_ && activeControl_->HandleAllocated() && activeControl_->CanFocus())
                activeControl_->SetFocus();
            return 0;
        }
        break;
    default:
        break;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

} // namespace quennet
