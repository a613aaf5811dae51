#include "runtime/PopupMenu.h"

#include "runtime/Application.h"

namespace quennet {

namespace {

// Item identifiers are index + 1, since TrackPopupMenu reports "nothing chosen" as 0.
UINT IdOf(int index) {
    return static_cast<UINT>(index) + 1;
}

} // namespace

TPopupMenu::TPopupMenu() : menu_(CreatePopupMenu()) {}

int TPopupMenu::Add(const std::string& caption, std::function<void()> onClick) {
    int index = Count();
    AppendMenuA(menu_.get(), MF_STRING, IdOf(index), caption.c_str());
    items_.push_back(Item{std::move(onClick), false});
    return index;
}

void TPopupMenu::AddSeparator() {
    AppendMenuA(menu_.get(), MF_SEPARATOR, IdOf(Count()), nullptr);
    items_.push_back(Item{nullptr, true});
}

void TPopupMenu::SetEnabled(int index, bool enabled) {
    EnableMenuItem(menu_.get(), IdOf(index), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool TPopupMenu::Enabled(int index) const {
    UINT state = GetMenuState(menu_.get(), IdOf(index), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

void TPopupMenu::SetDefault(int index) {
    SetMenuDefaultItem(menu_.get(), IdOf(index), FALSE);
}

bool TPopupMenu::Popup(int x, int y) {
    if (OnPopup)
        OnPopup(*this);
    HWND owner = GetActiveWindow();
    if (!owner)
        owner = Application().UtilityWindow();
    // The owner must be in the foreground, or the menu does not close when the user
    // clicks elsewhere.
    SetForegroundWindow(owner);
    UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, x, y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    if (chosen == 0)
        return false;
    Choose(static_cast<int>(chosen) - 1);
    return true;
}

void TPopupMenu::Choose(int index) {
    if (index < 0 || index >= Count())
        return;
    const Item& item = items_[static_cast<size_t>(index)];
    if (!item.separator && item.onClick && Enabled(index))
        item.onClick();
}

} // namespace quennet
