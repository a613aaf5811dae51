#include "runtime/ComboBoxEx.h"

#include "base/WidePath.h"

#include <cwchar>

namespace quennet {

namespace {

// The longest path Windows takes, and a little more.
constexpr std::size_t kMaxCaptionLength = 65536;

} // namespace

TComboBoxEx::TComboBoxEx() {
    SetTabStop(true);
    SetBounds(0, 0, 145, 200);
}

void TComboBoxEx::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = WC_COMBOBOXEXA;
    params.SystemClass = true;
    params.Style = (params.Style & ~WS_CLIPCHILDREN) | CBS_DROPDOWN | CBS_AUTOHSCROLL;
}

void TComboBoxEx::HandleCreated() {
    if (images_)
        SendMessageA(HandleOrNull(), CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
    // Only the edit: the box passes some of the edit's keys on to its inner combo box, which
    // would report them a second time.
    ForwardInnerWindow(EditWindow());
}

void TComboBoxEx::EnabledChanged() {
    // The box does not pass its state on to the combo box and edit inside it, which then
    // show no text after being enabled again.
    const BOOL enabled = IsWindowEnabled(HandleOrNull());
    if (HWND combo = reinterpret_cast<HWND>(SendMessageA(HandleOrNull(), CBEM_GETCOMBOCONTROL, 0, 0)))
        EnableWindow(combo, enabled);
    if (HWND edit = EditWindow())
        EnableWindow(edit, enabled);
    RedrawWindow(HandleOrNull(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    TWinControl::EnabledChanged();
}

void TComboBoxEx::KeyDown(WORD& key, TShiftState shift) {
    // F4 and Alt+Down / Alt+Up open and close the list, as in every combo box; Wine's box
    // does not do it for the edit inside it.
    const bool alt = shift.Has(ssAlt);
    if (key == VK_F4 && !alt) {
        SetDroppedDown(!DroppedDown());
        key = 0;
        return;
    }
    if ((key == VK_DOWN || key == VK_UP) && alt) {
        // The key goes on to the system's default handling, which then knows that Alt was
        // not pressed alone: released, it would otherwise open the menu and take the keys.
        SetDroppedDown(!DroppedDown());
        return;
    }
    indexAtKeyDown_ = ItemIndex();
    clickedSinceKeyDown_ = false;
    TWinControl::KeyDown(key, shift);
}

void TComboBoxEx::KeyUp(WORD& key, TShiftState shift) {
    // A choice made with the keyboard counts as a choice, once.
    if (!clickedSinceKeyDown_ && ItemIndex() != indexAtKeyDown_ && ItemIndex() >= 0) {
        clickedSinceKeyDown_ = true;
        Click();
    }
    TWinControl::KeyUp(key, shift);
}

void TComboBoxEx::DoExit() {
    ShowTextStart();
    TWinControl::DoExit();
}

LRESULT TComboBoxEx::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = TWinControl::WndProc(message, wParam, lParam);
    // Wine's box puts the chosen entry's text into the edit field, selected and so scrolled
    // to its end, whenever it draws the field.
    if (message == WM_DRAWITEM)
        ShowTextStart();
    return result;
}

void TComboBoxEx::ShowTextStart() {
    // The box leaves its edit field scrolled to the caret, at the end of a long entry, which
    // then reads "ard Drives (C:;D:;)" or the last folder of a path: without the focus the
    // text is shown from its beginning.
    HWND edit = EditWindow();
    if (!edit || GetFocus() == edit)
        return;
    SendMessageA(edit, EM_SETSEL, 0, 0);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

HWND TComboBoxEx::ComboWindow() const {
    return HandleAllocated()
               ? reinterpret_cast<HWND>(SendMessageA(HandleOrNull(), CBEM_GETCOMBOCONTROL, 0, 0))
               : nullptr;
}

HWND TComboBoxEx::EditWindow() const {
    return HandleAllocated() ? reinterpret_cast<HWND>(SendMessageA(HandleOrNull(), CBEM_GETEDITCONTROL, 0, 0))
                             : nullptr;
}

void TComboBoxEx::SetImages(HIMAGELIST images) {
    images_ = images;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
}

int TComboBoxEx::AddItem(const std::string& caption, int image, int indent) {
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT | CBEIF_INDENT | (image >= 0 ? CBEIF_IMAGE | CBEIF_SELECTEDIMAGE : 0);
    item.iItem = -1; // at the end
    std::string text = caption;
    item.pszText = text.data();
    item.iImage = image;
    item.iSelectedImage = image;
    item.iIndent = indent;
    return static_cast<int>(SendMessageA(Handle(), CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int TComboBoxEx::ItemCount() const {
    return HandleAllocated() ? static_cast<int>(SendMessageA(HandleOrNull(), CB_GETCOUNT, 0, 0)) : 0;
}

std::string TComboBoxEx::ItemCaption(int index) const {
    if (!HandleAllocated())
        return std::string();
    // The box cannot say how long a caption is, and a path may be far longer than MAX_PATH:
    // a caption that fills the buffer is read again with one twice the size.
    for (std::size_t size = MAX_PATH;; size *= 2) {
        std::wstring buffer(size, L'\0');
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT;
        item.iItem = index;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(size);
        if (!SendMessageW(HandleOrNull(), CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
            return std::string();
        buffer.resize(wcsnlen(buffer.c_str(), size));
        if (buffer.size() + 1 < size || size >= kMaxCaptionLength)
            return WideToUtf8(buffer);
    }
}

int TComboBoxEx::ItemIndex() const {
    return HandleAllocated() ? static_cast<int>(SendMessageA(HandleOrNull(), CB_GETCURSEL, 0, 0)) : -1;
}

void TComboBoxEx::SetItemIndex(int index) {
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string TComboBoxEx::EditText() const {
    HWND edit = EditWindow();
    if (!edit)
        return std::string();
    int length = GetWindowTextLengthA(edit);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(edit, text.data(), length + 1)));
    return text;
}

void TComboBoxEx::SetEditText(const std::string& text) {
    Handle();
    if (HWND edit = EditWindow())
        SetWindowTextA(edit, text.c_str());
}

bool TComboBoxEx::DroppedDown() const {
    return HandleAllocated() && SendMessageA(HandleOrNull(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TComboBoxEx::SetDroppedDown(bool value) {
    SendMessageA(Handle(), CB_SHOWDROPDOWN, value ? TRUE : FALSE, 0);
}

void TComboBoxEx::Clear() {
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), CB_RESETCONTENT, 0, 0);
}

bool TComboBoxEx::HandleCommand(WORD notifyCode) {
    switch (notifyCode) {
    case CBN_SELCHANGE:
        clickedSinceKeyDown_ = true;
        Click();
        return true;
    case CBN_CLOSEUP:
        // The open list took the keyboard to the combo box inside; the user types on in the
        // edit field, whose keys reach this control.
        if (HWND edit = EditWindow(); edit && GetFocus() == ComboWindow())
            ::SetFocus(edit);
        return false;
    case CBN_EDITCHANGE:
        if (OnChange)
            OnChange(*this);
        return true;
    default:
        return false;
    }
}

} // namespace quennet
