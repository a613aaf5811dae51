#include "runtime/TreeView.h"

namespace quennet {

TTreeView::TTreeView() {
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
}

void TTreeView::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = WC_TREEVIEWA;
    params.SystemClass = true;
    params.Style = (params.Style & ~WS_CLIPCHILDREN) | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
                   TVS_SHOWSELALWAYS;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TTreeView::HandleCreated() {
    if (images_)
        SendMessageA(HandleOrNull(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
}

void TTreeView::SetImages(HIMAGELIST images) {
    images_ = images;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
}

HTREEITEM TTreeView::AddItem(HTREEITEM parent, const std::string& text, int image, int selectedImage,
                             bool hasChildren, LPARAM data) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    TVITEMA& item = insert.item;
    item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    std::string caption = text;
    item.pszText = caption.data();
    item.lParam = data;
    item.cChildren = hasChildren ? 1 : 0;
    if (image >= 0) {
        item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.iImage = image;
        item.iSelectedImage = selectedImage >= 0 ? selectedImage : image;
    }
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TTreeView::DeleteItem(HTREEITEM item) {
    if (item)
        SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

void TTreeView::DeleteChildren(HTREEITEM item) {
    while (HTREEITEM child = FirstChild(item))
        DeleteItem(child);
}

void TTreeView::Clear() {
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

int TTreeView::Count() const {
    return HandleAllocated() ? static_cast<int>(SendMessageA(HandleOrNull(), TVM_GETCOUNT, 0, 0)) : 0;
}

HTREEITEM TTreeView::Next(HTREEITEM item, UINT relation) const {
    if (!HandleAllocated())
        return nullptr;
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(HandleOrNull(), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

std::string TTreeView::ItemText(HTREEITEM item) const {
    char buffer[MAX_PATH * 2] = "";
    TVITEMA query{};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = buffer;
    query.cchTextMax = sizeof buffer;
    if (!item || !SendMessageA(HandleOrNull(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query)))
        return std::string();
    return buffer;
}

LPARAM TTreeView::ItemData(HTREEITEM item) const {
    TVITEMA query{};
    query.mask = TVIF_PARAM | TVIF_HANDLE;
    query.hItem = item;
    if (!item || !SendMessageA(HandleOrNull(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query)))
        return 0;
    return query.lParam;
}

void TTreeView::SetHasChildren(HTREEITEM item, bool value) {
    TVITEMA change{};
    change.mask = TVIF_CHILDREN | TVIF_HANDLE;
    change.hItem = item;
    change.cChildren = value ? 1 : 0;
    SendMessageA(Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change));
}

void TTreeView::Select(HTREEITEM item) {
    SendMessageA(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void TTreeView::Expand(HTREEITEM item, bool expand) {
    SendMessageA(Handle(), TVM_EXPAND, expand ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
}

bool TTreeView::Expanded(HTREEITEM item) const {
    return HandleAllocated() && item &&
           (SendMessageA(HandleOrNull(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
            TVIS_EXPANDED);
}

bool TTreeView::HandleNotify(NMHDR& header, LRESULT& result) {
    auto& tree = reinterpret_cast<NMTREEVIEWA&>(header);
    switch (header.code) {
    case TVN_ITEMEXPANDINGA: {
        bool allow = true;
        if (tree.action & TVE_EXPAND) {
            if (OnExpanding)
                OnExpanding(*this, tree.itemNew.hItem, allow);
        } else if (tree.action & TVE_COLLAPSE) {
            if (OnCollapsing)
                OnCollapsing(*this, tree.itemNew.hItem, allow);
        }
        result = allow ? FALSE : TRUE; // TRUE keeps the item as it is
        return true;
    }
    case TVN_SELCHANGEDA:
        if (OnChange)
            OnChange(*this, tree.itemNew.hItem);
        result = 0;
        return true;
    case TVN_DELETEITEMA:
        if (OnDeletion)
            OnDeletion(*this, tree.itemOld.hItem, tree.itemOld.lParam);
        result = 0;
        return true;
    default:
        return false;
    }
}

} // namespace quennet
