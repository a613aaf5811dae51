#include "runtime/ListView.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace quennet {

TListView::TListView() {
    SetTabStop(true);
    SetBounds(0, 0, 250, 150);
}

void TListView::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = WC_LISTVIEWA;
    params.SystemClass = true;
    params.Style = (params.Style & ~WS_CLIPCHILDREN) | LVS_REPORT | LVS_SHOWSELALWAYS;
    if (ownerData_)
        params.Style |= LVS_OWNERDATA;
    if (!multiSelect_)
        params.Style |= LVS_SINGLESEL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::HandleCreated() {
    if (rowSelect_)
        SendMessageA(HandleOrNull(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                     LVS_EX_FULLROWSELECT);
    for (int i = 0; i < ColumnCount(); ++i)
        InsertColumn(i);
    if (smallImages_)
        SendMessageA(HandleOrNull(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallImages_));
    if (ownerData_ && pendingCount_)
        SetItemCount(pendingCount_);
}

void TListView::InsertColumn(int index) {
    const Column& c = columns_[static_cast<size_t>(index)];
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = c.format;
    column.cx = c.width;
    column.pszText = const_cast<char*>(c.caption.c_str());
    column.iSubItem = index;
    SendMessageA(HandleOrNull(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

int TListView::AddColumn(const std::string& caption, int width, int format) {
    columns_.push_back(Column{caption, width, format});
    int index = ColumnCount() - 1;
    if (HandleAllocated())
        InsertColumn(index);
    return index;
}

int TListView::ColumnWidth(int column) const {
    if (!HandleAllocated())
        return columns_.at(static_cast<size_t>(column)).width;
    return static_cast<int>(SendMessageA(HandleOrNull(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

void TListView::SetColumnWidth(int column, int width) {
    columns_.at(static_cast<size_t>(column)).width = width;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
}

void TListView::SetSmallImages(HIMAGELIST images) {
    smallImages_ = images;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

void TListView::SetItemCount(int count) {
    pendingCount_ = count;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count),
                     LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void TListView::RedrawItems(int first, int last) {
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), LVM_REDRAWITEMS, static_cast<WPARAM>(first), last);
}

int TListView::AddItem(const std::vector<std::string>& texts, int image) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = ItemCount();
    item.iImage = image;
    std::string first = texts.empty() ? std::string() : texts[0];
    item.pszText = first.data();
    int index = static_cast<int>(SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    for (size_t sub = 1; sub < texts.size(); ++sub) {
        LVITEMA cell{};
        cell.iSubItem = static_cast<int>(sub);
        std::string text = texts[sub];
        cell.pszText = text.data();
        SendMessageA(HandleOrNull(), LVM_SETITEMTEXTA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&cell));
    }
    return index;
}

std::string TListView::ItemText(int item, int subItem) const {
    if (ownerData_)
        return OnGetText ? OnGetText(item, subItem) : std::string();
    char buffer[1024] = "";
    LVITEMA cell{};
    cell.iSubItem = subItem;
    cell.pszText = buffer;
    cell.cchTextMax = sizeof buffer;
    SendMessageA(HandleOrNull(), LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&cell));
    return buffer;
}

void TListView::Clear() {
    if (ownerData_)
        SetItemCount(0);
    else if (HandleAllocated())
        SendMessageA(HandleOrNull(), LVM_DELETEALLITEMS, 0, 0);
}

int TListView::ItemCount() const {
    if (!HandleAllocated())
        return ownerData_ ? pendingCount_ : 0;
    return static_cast<int>(SendMessageA(HandleOrNull(), LVM_GETITEMCOUNT, 0, 0));
}

std::vector<int> TListView::SelectedIndices() const {
    std::vector<int> result;
    if (!HandleAllocated())
        return result;
    // Asking for a selected row after the last one makes the list look at every row after it:
    // 12 ms for a million under Wine, twice for each batch of rows a sorted search brings. So
    // the search stops at the count, which the list keeps.
    const int count = SelectedCount();
    result.reserve(static_cast<std::size_t>(count));
    for (int i = -1; static_cast<int>(result.size()) < count;) {
        i = static_cast<int>(
            SendMessageA(HandleOrNull(), LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED));
        if (i < 0)
            break;
        result.push_back(i);
    }
    return result;
}

int TListView::SelectedCount() const {
    return HandleAllocated() ? static_cast<int>(SendMessageA(HandleOrNull(), LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}

int TListView::ItemIndex() const {
    // With none selected the search below would look at every row (see SelectedIndices).
    if (SelectedCount() == 0)
        return -1;
    return static_cast<int>(
        SendMessageA(HandleOrNull(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool TListView::Selected(int item) const {
    return HandleAllocated() &&
           (SendMessageA(HandleOrNull(), LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_SELECTED) &
            LVIS_SELECTED);
}

TListView::DrawingHeld::DrawingHeld(TListView& list) : list_(list) {
    if (list_.drawingHeld_++ == 0 && list_.HandleAllocated())
        SendMessageA(list_.HandleOrNull(), WM_SETREDRAW, FALSE, 0);
}

TListView::DrawingHeld::~DrawingHeld() {
    if (--list_.drawingHeld_ == 0 && list_.HandleAllocated()) {
        SendMessageA(list_.HandleOrNull(), WM_SETREDRAW, TRUE, 0);
        RedrawWindow(list_.HandleOrNull(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void TListView::SetSelected(int item, bool value) {
    std::optional<DrawingHeld> held;
    if (item < 0) // -1: every item
        held.emplace(*this);
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    state.state = value ? LVIS_SELECTED : 0;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

void TListView::SetItemIndex(int item) {
    SetSelected(-1, false); // -1: every item
    if (item < 0)
        return;
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

int TListView::FocusedIndex() const {
    if (!HandleAllocated())
        return -1;
    return static_cast<int>(
        SendMessageA(HandleOrNull(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void TListView::SetFocused(int item) {
    LVITEMA state{};
    state.stateMask = LVIS_FOCUSED;
    state.state = LVIS_FOCUSED;
    if (item >= 0)
        SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

int TListView::SelectionMark() const {
    return HandleAllocated() ? static_cast<int>(SendMessageA(HandleOrNull(), LVM_GETSELECTIONMARK, 0, 0)) : -1;
}

void TListView::SetSelectionMark(int item) {
    SendMessageA(Handle(), LVM_SETSELECTIONMARK, 0, item);
}

void TListView::SelectAll() {
    SetSelected(-1, true);
}

LRESULT TListView::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETDLGCODE && wantReturn_ && wParam == VK_RETURN)
        return TWinControl::WndProc(message, wParam, lParam) | DLGC_WANTALLKEYS;
    if (message == WM_CONTEXTMENU && lParam == -1 && reinterpret_cast<HWND>(wParam) == HandleOrNull()) {
        // From the keyboard: the menu opens at the focused row, where the user's eyes are.
        const int focused = FocusedIndex();
        RECT row{LVIR_LABEL, 0, 0, 0};
        if (focused >= 0 &&
            SendMessageA(HandleOrNull(), LVM_GETITEMRECT, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&row))) {
            POINT at{row.left, row.bottom};
            RECT client{};
            GetClientRect(HandleOrNull(), &client);
            at.y = std::max(0L, std::min<LONG>(at.y, client.bottom)); // a row scrolled out of sight
            ClientToScreen(HandleOrNull(), &at);
            lParam = MAKELPARAM(at.x, at.y);
        }
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

void TListView::MakeVisible(int item) {
    SendMessageA(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
}

bool TListView::HandleNotify(NMHDR& header, LRESULT& result) {
    switch (header.code) {
    case LVN_GETDISPINFOA: {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(header).item;
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            textBuffer_ = OnGetText ? OnGetText(item.iItem, item.iSubItem) : std::string();
            size_t n = std::min(textBuffer_.size(), static_cast<size_t>(item.cchTextMax - 1));
            std::memcpy(item.pszText, textBuffer_.data(), n);
            item.pszText[n] = '\0';
        }
        if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0)
            item.iImage = OnGetImage ? OnGetImage(item.iItem) : -1;
        result = 0;
        return true;
    }
    case NM_CUSTOMDRAW: {
        if (!OnCustomDraw)
            return false;
        const std::optional<LRESULT> answer = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
        if (!answer)
            return false;
        result = *answer;
        return true;
    }
    case LVN_COLUMNCLICK:
        if (OnColumnClick)
            OnColumnClick(*this, reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
        result = 0;
        return true;
    case LVN_ITEMCHANGED: {
        auto& change = reinterpret_cast<NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) &&
            OnSelectItem)
            OnSelectItem(*this);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

} // namespace quennet
