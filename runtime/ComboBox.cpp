#include "runtime/ComboBox.h"

namespace quennet {

TComboBox::TComboBox() {
    SetTabStop(true);
    SetBounds(0, 0, 145, 200);
}

void TComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "COMBOBOX";
    params.SystemClass = true;
    params.Style = (params.Style & ~WS_CLIPCHILDREN) | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
}

void TComboBox::HandleCreated() {
    ForwardInnerWindow(EditWindow());
    SetItems(items_);
}

HWND TComboBox::EditWindow() const {
    if (!HandleAllocated())
        return nullptr;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(HandleOrNull(), &info) ? info.hwndItem : nullptr;
}

void TComboBox::SetItems(const std::vector<std::string>& items) {
    items_ = items;
    if (!HandleAllocated())
        return;
    // Emptying the list empties the edit field too: its text and caret are put back.
    const std::string text = Text();
    const LRESULT selection = SendMessageA(HandleOrNull(), CB_GETEDITSEL, 0, 0);
    SendMessageA(HandleOrNull(), CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageA(HandleOrNull(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SetText(text);
    SendMessageA(HandleOrNull(), CB_SETEDITSEL, 0, MAKELPARAM(LOWORD(selection), HIWORD(selection)));
}

int TComboBox::ItemCount() const {
    return HandleAllocated() ? static_cast<int>(SendMessageA(HandleOrNull(), CB_GETCOUNT, 0, 0))
                             : static_cast<int>(items_.size());
}

std::string TComboBox::ItemText(int index) const {
    if (!HandleAllocated())
        return index >= 0 && index < static_cast<int>(items_.size()) ? items_[index] : std::string();
    const LRESULT length = SendMessageA(HandleOrNull(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(HandleOrNull(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

bool TComboBox::DroppedDown() const {
    return HandleAllocated() && SendMessageA(HandleOrNull(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TComboBox::SetDroppedDown(bool value) {
    SendMessageA(Handle(), CB_SHOWDROPDOWN, value ? TRUE : FALSE, 0);
}

bool TComboBox::HandleCommand(WORD notifyCode) {
    // What the user typed, before the arrows put entries into the field.
    if (notifyCode == CBN_DROPDOWN || notifyCode == CBN_EDITCHANGE)
        typedText_ = Text();
    return TWinControl::HandleCommand(notifyCode);
}

void TComboBox::KeyDown(WORD& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    const bool alt = shift.Has(ssAlt);
    const bool plain = shift.Empty();
    if ((key == VK_F4 && !alt) || ((key == VK_DOWN || key == VK_UP) && alt)) {
        // Done here for every system alike, and kept from the edit inside, which does it on
        // some systems and so closed the list again.
        SetDroppedDown(!DroppedDown());
        if (alt) {
            // The default handling is told of the key all the same: otherwise it takes Alt,
            // once released, for Alt pressed alone and opens the window's menu, which then
            // has the keyboard.
            DefWindowProcA(EditWindow(), WM_SYSKEYDOWN, key, MAKELPARAM(1, KF_ALTDOWN));
        }
        key = 0;
        return;
    }
    if (key == VK_DOWN && plain && !DroppedDown() && ItemCount() > 0) {
        // The earlier values are shown first rather than stepped through unseen.
        SetDroppedDown(true);
        key = 0;
        return;
    }
    if (key == VK_UP && plain && !DroppedDown()) {
        key = 0; // the box would put an older value over the typed text
        return;
    }
    if (key == VK_DELETE && plain && DroppedDown()) {
        const int index = static_cast<int>(SendMessageA(HandleOrNull(), CB_GETCURSEL, 0, 0));
        if (index < 0)
            return; // nothing highlighted: Delete edits the text
        SendMessageA(HandleOrNull(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
        if (index < static_cast<int>(items_.size()))
            items_.erase(items_.begin() + index);
        SendMessageA(HandleOrNull(), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        // The field showed the entry; it goes with it, and what was typed comes back.
        SetText(typedText_);
        key = 0;
        if (OnDeleteItem)
            OnDeleteItem(*this, index);
    }
}

} // namespace quennet
