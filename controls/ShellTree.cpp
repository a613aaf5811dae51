#include "controls/ShellTree.h"

#include "base/WidePath.h"

#include "runtime/Exception.h"
#include "runtime/Form.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

namespace quennet {

namespace {

struct SpecialFolder {
    const char* name;
    int csidl;
};

constexpr SpecialFolder kSpecialFolders[] = {
    {"rfDesktop", 0},
    {"rfMyComputer", 17},
    {"rfNetwork", 18},
    {"rfRecycleBin", 10},
    {"rfAppData", 26},
    {"rfCommonDesktopDirectory", 25},
    {"rfCommonPrograms", 23},
    {"rfCommonStartMenu", 22},
    {"rfCommonStartup", 24},
    {"rfControlPanel", 3},
    {"rfDesktopDirectory", 16},
    {"rfFavorites", 6},
    {"rfFonts", 20},
    {"rfInternet", 1},
    {"rfPersonal", 5},
    {"rfPrinters", 4},
    {"rfPrintHood", 27},
    {"rfPrograms", 2},
    {"rfRecent", 8},
    {"rfSendTo", 9},
    {"rfStartMenu", 11},
    {"rfStartup", 7},
    {"rfTemplates", 21},
};

// The shell's own 8-bit text is in the system's code page; the program's is UTF-8.
std::string FromCodePage(const char* text, std::size_t size) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(size), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(size), wide.data(), length);
    return WideToUtf8(wide);
}

// The three shapes of a name record; a wide string's memory is the caller's to free.
std::string StrRetText(STRRET& record, LPCITEMIDLIST list) {
    switch (record.uType) {
    case STRRET_WSTR: {
        std::string text = record.pOleStr ? WideToUtf8(record.pOleStr) : std::string();
        CoTaskMemFree(record.pOleStr);
        return text;
    }
    case STRRET_OFFSET: {
        const char* text = reinterpret_cast<const char*>(list) + record.uOffset;
        return FromCodePage(text, std::strlen(text));
    }
    case STRRET_CSTR:
        return FromCodePage(record.cStr, strnlen(record.cStr, sizeof record.cStr));
    default:
        return std::string();
    }
}

// Some shells prefix the names of numbered drives with "?" marks; they are no part of the name.
void DropQuestionMarks(std::string& text) {
    if (text.size() > 1 && text[0] == '?' && text[1] >= '0' && text[1] <= '9')
        text.erase(std::remove(text.begin(), text.end(), '?'), text.end());
}

struct SmallIcons {
    int normal = 0;
    int open = 0;
};

SmallIcons ShellIcons(LPCITEMIDLIST absolute) {
    SHFILEINFOA info{};
    const UINT byList = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    SmallIcons icons;
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof info, byList);
    icons.normal = info.iIcon;
    info.iIcon = 0;
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof info, byList | SHGFI_OPENICON);
    icons.open = info.iIcon != 0 ? info.iIcon : icons.normal;
    return icons;
}

// Hourglass and no repainting while nodes are added in bulk; undone on every way out.
class BusyTree {
  public:
    explicit BusyTree(HWND tree) : tree_(tree), cursor_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {
        SendMessageA(tree_, WM_SETREDRAW, FALSE, 0);
    }
    ~BusyTree() {
        SendMessageA(tree_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(tree_, nullptr, TRUE);
        SetCursor(cursor_);
    }
    BusyTree(const BusyTree&) = delete;
    BusyTree& operator=(const BusyTree&) = delete;

  private:
    HWND tree_;
    HCURSOR cursor_;
};

int CALLBACK CompareInShellOrder(LPARAM first, LPARAM second, LPARAM parentFolder) {
    auto* folder = reinterpret_cast<IShellFolder*>(parentFolder);
    auto* a = reinterpret_cast<TShellFolder*>(first);
    auto* b = reinterpret_cast<TShellFolder*>(second);
    if (!folder || !a || !b)
        return 0;
    return static_cast<short>(HRESULT_CODE(folder->CompareIDs(0, a->relative.get(), b->relative.get())));
}

bool HasChildrenFlag(HWND tree, HTREEITEM node) {
    TVITEMA query{};
    query.mask = TVIF_CHILDREN | TVIF_HANDLE;
    query.hItem = node;
    return SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query)) && query.cChildren != 0;
}

std::string FolderPart(const std::string& path) {
    const size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string CurrentDirectory() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length < buffer.size()) {
            buffer.resize(length);
            return WideToUtf8(buffer);
        }
        buffer.resize(length);
    }
}

// The folder that holds `item`, and the item's identifier relative to it: the parent node's
// folder, or for the top node (which may sit several levels below the desktop) its own parent.
ComPtr<IShellFolder> HoldingFolder(const TShellFolder& item, LPCITEMIDLIST& relative) {
    ComPtr<IShellFolder> folder;
    relative = item.relative.get();
    if (item.level > 0 && item.parent)
        folder = item.parent->folder;
    else if (FAILED(SHBindToParent(item.absolute.get(), IID_IShellFolder, folder.put_void(), &relative)))
        folder.reset();
    return folder;
}

} // namespace

TShellTreeView::TShellTreeView() {
    // The desktop is every tree's outermost parent.
    SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, desktop_.absolute.put());
    desktop_.relative = CopyIdList(desktop_.absolute.get());
    SHGetDesktopFolder(desktop_.folder.put());
    SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, rootList_.put());
}

TShellTreeView::~TShellTreeView() {
    // The nodes' deletion notices still reach this object while the window goes.
    if (HandleAllocated())
        DestroyHandle();
}

void TShellTreeView::CreateParams(TCreateParams& params) {
    TTreeView::CreateParams(params);
    if (!showRoot_)
        params.Style &= ~TVS_LINESATROOT;
    params.Style |= TVS_EDITLABELS;
}

void TShellTreeView::HandleCreated() {
    TTreeView::HandleCreated();
    SetImagesFromShell();
    if (indent_ > 0)
        SendMessageA(HandleOrNull(), TVM_SETINDENT, static_cast<WPARAM>(indent_), 0);
    items_.clear(); // what an earlier window of this control left
    Build();
}

void TShellTreeView::SetImagesFromShell() {
    // The system's own list, shared: attached, never destroyed.
    SHFILEINFOA info{};
    auto images = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    SetImages(images);
}

void TShellTreeView::SetIndent(int pixels) {
    indent_ = pixels;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), TVM_SETINDENT, static_cast<WPARAM>(pixels), 0);
}

void TShellTreeView::SetRoot(const std::string& root) {
    if (lstrcmpiA(root.c_str(), root_.c_str()) == 0)
        return;
    OwnedIdList list;
    bool resolved = false;
    const auto special =
        std::find_if(std::begin(kSpecialFolders), std::end(kSpecialFolders),
                     [&](const SpecialFolder& f) { return lstrcmpiA(root.c_str(), f.name) == 0; });
    if (special != std::end(kSpecialFolders)) {
        resolved = SUCCEEDED(SHGetSpecialFolderLocation(nullptr, special->csidl, list.put())) && list;
    } else if (!root.empty() && desktop_.folder) {
        std::string path = root;
        if (path.back() == ':')
            path += '\\';
        std::wstring wide = Utf8ToWide(path);
        resolved = SUCCEEDED(desktop_.folder->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr,
                                                               list.put(), nullptr)) &&
                   list;
    }
    if (!resolved) {
        // The tree is rebuilt from the previous root before the error is reported.
        if (HandleAllocated())
            Build();
        throw Exception("Error setting path: \"" + root + "\"");
    }
    root_ = root;
    rootList_ = std::move(list);
    if (HandleAllocated())
        Build();
}

void TShellTreeView::Build() {
    if (!rootList_)
        return;
    auto top = std::make_unique<TShellFolder>();
    top->parent = &desktop_;
    top->absolute = CopyIdList(rootList_.get());
    top->relative = CopyIdList(rootList_.get()); // the desktop is the top node's parent
    if (IdListSize(rootList_.get()) <= sizeof(USHORT) ||
        FAILED(desktop_.folder->BindToObject(rootList_.get(), nullptr, IID_IShellFolder,
                                             top->folder.put_void())))
        top->folder = desktop_.folder;

    Clear();
    items_.clear();
    TShellFolder& item = Keep(std::move(top));
    const SmallIcons icons = ShellIcons(item.absolute.get());
    HTREEITEM node = AddItem(nullptr, DisplayName(item), icons.normal, icons.open,
                             (AttributesOf(item, SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER) != 0,
                             reinterpret_cast<LPARAM>(&item));
    LoadNode(node);
    Expand(node);
    Select(node);
}

TShellFolder& TShellTreeView::Keep(std::unique_ptr<TShellFolder> item) {
    TShellFolder& kept = *item;
    items_[&kept] = std::move(item);
    return kept;
}

void TShellTreeView::Forget(TShellFolder* item) {
    items_.erase(item);
}

HWND TShellTreeView::OwnerWindow() {
    TForm* form = ParentForm();
    return form ? form->HandleOrNull() : HandleOrNull();
}

std::string TShellTreeView::NameOf(IShellFolder* folder, LPCITEMIDLIST list, DWORD flags) const {
    if (!folder)
        return "parentfolder = nil";
    STRRET record{};
    if (FAILED(folder->GetDisplayNameOf(list, flags, &record)))
        return std::string();
    std::string text = StrRetText(record, list);
    DropQuestionMarks(text);
    // A virtual folder's parsing name is its class id; it is shown by its normal name.
    if (text.rfind("::{", 0) == 0 && flags != SHGDN_NORMAL)
        return NameOf(folder, list, SHGDN_NORMAL);
    return text;
}

std::string TShellTreeView::DisplayName(const TShellFolder& item) const {
    if (item.level == 0)
        return NameOf(desktop_.folder.get(), item.absolute.get(), SHGDN_NORMAL);
    return NameOf(item.parent ? item.parent->folder.get() : nullptr, item.relative.get(), SHGDN_INFOLDER);
}

std::string TShellTreeView::PathName(const TShellFolder& item) const {
    return NameOf(desktop_.folder.get(), item.absolute.get(), SHGDN_FORPARSING);
}

std::string TShellTreeView::SelectedPath() const {
    const TShellFolder* item = Folder(Selected());
    return item ? PathName(*item) : std::string();
}

ULONG TShellTreeView::AttributesOf(const TShellFolder& item, ULONG wanted) const {
    ULONG attributes = wanted;
    if (item.level > 0 && item.parent && item.parent->folder) {
        LPCITEMIDLIST relative = item.relative.get();
        if (FAILED(item.parent->folder->GetAttributesOf(1, &relative, &attributes)))
            return 0;
        return attributes;
    }
    // The top node may sit several levels below the desktop: ask its own parent.
    ComPtr<IShellFolder> parent;
    LPCITEMIDLIST last = nullptr;
    if (FAILED(SHBindToParent(item.absolute.get(), IID_IShellFolder, parent.put_void(), &last)) ||
        FAILED(parent->GetAttributesOf(1, &last, &attributes)))
        return 0;
    return attributes;
}

void TShellTreeView::LoadNode(HTREEITEM node) {
    TShellFolder* item = Folder(node);
    if (!item)
        return;
    if ((AttributesOf(*item, SFGAO_FOLDER) & SFGAO_FOLDER) && HasChildrenFlag(HandleOrNull(), node) &&
        !FirstChild(node))
        LoadChildren(node);
    // A folder with nothing to show loses its button.
    SetHasChildren(node, FirstChild(node) != nullptr);
}

bool TShellTreeView::CanExpand(HTREEITEM node) {
    bool allow = true;
    if (OnExpanding)
        OnExpanding(*this, node, allow);
    if (allow)
        LoadNode(node);
    return allow;
}

void TShellTreeView::LoadChildren(HTREEITEM node) {
    TShellFolder* item = Folder(node);
    if (!item || !item->folder)
        return;
    BusyTree busy(Handle());
    ComPtr<IEnumIDList> children;
    if (item->folder->EnumObjects(OwnerWindow(), SHCONTF_FOLDERS, children.put()) != S_OK || !children)
        return;
    LPITEMIDLIST next = nullptr;
    ULONG fetched = 0;
    while (children->Next(1, &next, &fetched) == S_OK && fetched == 1) {
        OwnedIdList relative(next);
        AddChild(node, relative.get());
    }
    SortChildren(node);
}

void TShellTreeView::AddChild(HTREEITEM parentNode, LPCITEMIDLIST relative) {
    TShellFolder* parent = Folder(parentNode);
    auto made = std::make_unique<TShellFolder>();
    made->parent = parent;
    made->level = parent->level + 1;
    made->relative = CopyIdList(relative);
    made->absolute = ConcatIdLists(parent->absolute.get(), relative);
    if (FAILED(parent->folder->BindToObject(relative, nullptr, IID_IShellFolder, made->folder.put_void())) &&
        FAILED(parent->folder->GetUIObjectOf(OwnerWindow(), 1, &relative, IID_IShellFolder, nullptr,
                                             made->folder.put_void())))
        desktop_.folder->BindToObject(made->absolute.get(), nullptr, IID_IShellFolder,
                                      made->folder.put_void());
    TShellFolder& item = Keep(std::move(made));

    const ULONG attributes = AttributesOf(item, SFGAO_HASSUBFOLDER | SFGAO_SHARE);
    const bool hasChildren = (attributes & SFGAO_HASSUBFOLDER) != 0;

    const SmallIcons icons = ShellIcons(item.absolute.get());
    HTREEITEM node = AddItem(parentNode, DisplayName(item), icons.normal, icons.open, hasChildren,
                             reinterpret_cast<LPARAM>(&item));
    if (attributes & SFGAO_SHARE) {
        TVITEMA overlay{};
        overlay.mask = TVIF_STATE | TVIF_HANDLE;
        overlay.hItem = node;
        overlay.state = INDEXTOOVERLAYMASK(1);
        overlay.stateMask = TVIS_OVERLAYMASK;
        SendMessageA(HandleOrNull(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&overlay));
    }
}

void TShellTreeView::SortChildren(HTREEITEM node) {
    TShellFolder* item = Folder(node);
    if (!item || !item->folder)
        return;
    TVSORTCB sort{};
    sort.hParent = node;
    sort.lpfnCompare = CompareInShellOrder;
    sort.lParam = reinterpret_cast<LPARAM>(item->folder.get());
    SendMessageA(HandleOrNull(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

void TShellTreeView::RefreshNode(HTREEITEM node) {
    TShellFolder* item = Folder(node);
    if (!item)
        return;
    BusyTree busy(Handle());
    // Open nodes and the selection are found again by their absolute lists.
    std::vector<OwnedIdList> wasOpen;
    std::vector<HTREEITEM> pending{node};
    while (!pending.empty()) {
        HTREEITEM at = pending.back();
        pending.pop_back();
        for (HTREEITEM child = FirstChild(at); child; child = NextSibling(child))
            if (Expanded(child)) {
                wasOpen.push_back(CopyIdList(Folder(child)->absolute.get()));
                pending.push_back(child);
            }
    }
    const TShellFolder* selected = Folder(Selected());
    OwnedIdList selectedList = selected ? CopyIdList(selected->absolute.get()) : OwnedIdList();
    const TShellFolder* topVisible = Folder(
        reinterpret_cast<HTREEITEM>(SendMessageA(HandleOrNull(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
    OwnedIdList topList = topVisible ? CopyIdList(topVisible->absolute.get()) : OwnedIdList();

    auto same = [this](LPCITEMIDLIST a, LPCITEMIDLIST b) {
        return a && b && HRESULT_CODE(desktop_.folder->CompareIDs(0, a, b)) == 0;
    };
    DeleteChildren(node);
    SetHasChildren(node, true);
    LoadNode(node);
    HTREEITEM reselect = nullptr, retop = nullptr;
    pending.assign(1, node);
    while (!pending.empty()) {
        HTREEITEM at = pending.back();
        pending.pop_back();
        for (HTREEITEM child = FirstChild(at); child; child = NextSibling(child)) {
            LPCITEMIDLIST list = Folder(child)->absolute.get();
            if (same(list, selectedList.get()))
                reselect = child;
            if (same(list, topList.get()))
                retop = child;
            if (std::any_of(wasOpen.begin(), wasOpen.end(),
                            [&](const OwnedIdList& open) { return same(list, open.get()); })) {
                LoadNode(child);
                Expand(child);
                pending.push_back(child);
            }
        }
    }
    if (reselect)
        Select(reselect);
    if (retop)
        SendMessageA(HandleOrNull(), TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(retop));
}

void TShellTreeView::EditSelectedLabel() {
    if (HTREEITEM node = Selected()) {
        SetFocus();
        SendMessageA(Handle(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(node));
    }
}

bool TShellTreeView::RenameNode(HTREEITEM node, const std::string& newName) {
    TShellFolder* item = Folder(node);
    if (!item || !(AttributesOf(*item, SFGAO_CANRENAME) & SFGAO_CANRENAME))
        return false;
    LPCITEMIDLIST relative = nullptr;
    ComPtr<IShellFolder> parentFolder = HoldingFolder(*item, relative);
    std::wstring wide = Utf8ToWide(newName);
    LPITEMIDLIST renamed = nullptr;
    // The error box shows the text as it is, so the full stop is part of it.
    if (!parentFolder || FAILED(parentFolder->SetNameOf(nullptr, relative, wide.c_str(), SHGDN_NORMAL, &renamed)))
        throw Exception("Rename to " + newName + " failed.");
    // A shell may rename without handing back the new identifier: the folder has its new name
    // all the same, so the identifier is asked for by that name.
    if (!renamed && FAILED(parentFolder->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &renamed, nullptr)))
        renamed = nullptr;
    if (!renamed) {
        std::wstring path = Utf8ToWide(FolderPart(PathName(*item)) + newName);
        if (FAILED(desktop_.folder->ParseDisplayName(nullptr, nullptr, path.data(), nullptr, &renamed, nullptr)))
            throw Exception("Rename to " + newName + " failed.");
        // A whole list from the desktop: keep only its last step, relative to the parent.
        OwnedIdList whole(renamed);
        renamed = ILClone(ILFindLastID(whole.get()));
    }
    OwnedIdList newRelative(renamed);
    if (item->level > 0) {
        item->absolute = ConcatIdLists(item->parent->absolute.get(), newRelative.get());
        item->relative = std::move(newRelative);
    } else {
        OwnedIdList parentList = CopyIdList(item->absolute.get());
        ILRemoveLastID(parentList.get());
        item->absolute = ConcatIdLists(parentList.get(), newRelative.get());
        item->relative = CopyIdList(item->absolute.get());
    }
    // The folder interface and any loaded children still name the old path: start afresh.
    ComPtr<IShellFolder> rebound;
    if (SUCCEEDED(desktop_.folder->BindToObject(item->absolute.get(), nullptr, IID_IShellFolder,
                                                rebound.put_void())))
        item->folder = rebound;
    if (FirstChild(node)) {
        Expand(node, false);
        DeleteChildren(node);
        // Expanded once, the tree view would not ask for the children again.
        TVITEMA state{};
        state.mask = TVIF_STATE | TVIF_HANDLE;
        state.hItem = node;
        state.stateMask = TVIS_EXPANDEDONCE | TVIS_EXPANDED;
        SendMessageA(HandleOrNull(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&state));
        SetHasChildren(node, (AttributesOf(*item, SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER) != 0);
    }
    return true;
}

void TShellTreeView::ShowContextMenu(int x, int y) {
    HTREEITEM node = Selected();
    TShellFolder* item = Folder(node);
    if (!item)
        return;
    LPCITEMIDLIST relative = nullptr;
    ComPtr<IShellFolder> parentFolder = HoldingFolder(*item, relative);
    ComPtr<IContextMenu> menuObject;
    if (!parentFolder || FAILED(parentFolder->GetUIObjectOf(Handle(), 1, &relative, IID_IContextMenu, nullptr,
                                                            menuObject.put_void())))
        return;
    OwnedMenu menu(CreatePopupMenu());
    menuObject->QueryContextMenu(menu.get(), 0, 1, 32767, CMF_EXPLORE | CMF_CANRENAME);
    openMenu_ = menuObject.As<IContextMenu2>(IID_IContextMenu2);
    const UINT command = static_cast<UINT>(TrackPopupMenu(
        menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, x, y, 0, Handle(), nullptr));
    openMenu_.reset();
    menu.reset();
    if (command == 0)
        return;

    char verbText[256] = "";
    menuObject->GetCommandString(command - 1, GCS_VERBA, nullptr, verbText, sizeof verbText);
    const std::string verb = verbText;
    std::string savedDirectory;
    bool done = TakeVerb(verb, node, savedDirectory);
    if (!done) {
        CMINVOKECOMMANDINFO invoke{};
        invoke.cbSize = sizeof invoke;
        invoke.hwnd = Handle();
        invoke.lpVerb = MAKEINTRESOURCEA(command - 1);
        invoke.nShow = SW_SHOWNORMAL;
        done = SUCCEEDED(menuObject->InvokeCommand(&invoke));
    }
    if (done)
        AfterVerb(verb, node, savedDirectory);
}

bool TShellTreeView::TakeVerb(const std::string& verb, HTREEITEM node, std::string& savedDirectory) {
    if (verb == "rename") {
        // In place, not through the shell's own dialog.
        EditSelectedLabel();
        return true;
    }
    if (verb == "open") {
        savedDirectory = CurrentDirectory();
        SetCurrentDirectoryW(Utf8ToWide(FolderPart(PathName(*Folder(node)))).c_str());
    }
    return false;
}

void TShellTreeView::AfterVerb(const std::string& verb, HTREEITEM node, const std::string& savedDirectory) {
    if (verb == "delete") {
        // A folder never counts as a file here, so a deleted folder's node always goes.
        const DWORD attributes = GetFileAttributesW(LongPathW(PathName(*Folder(node))).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteItem(node);
    } else if (verb == "paste") {
        RefreshNode(node);
    } else if (verb == "open") {
        SetCurrentDirectoryW(Utf8ToWide(savedDirectory).c_str());
    }
}

bool TShellTreeView::HandleNotify(NMHDR& header, LRESULT& result) {
    auto& tree = reinterpret_cast<NMTREEVIEWA&>(header);
    switch (header.code) {
    case TVN_ITEMEXPANDINGA:
        if (tree.action & TVE_EXPAND) {
            result = CanExpand(tree.itemNew.hItem) ? FALSE : TRUE;
            return true;
        }
        break;
    case TVN_DELETEITEMA: {
        TTreeView::HandleNotify(header, result);
        Forget(reinterpret_cast<TShellFolder*>(tree.itemOld.lParam));
        result = 0;
        return true;
    }
    case TVN_BEGINLABELEDITA:
        result = FALSE;
        labelEditOpen_ = true;
        return true;
    case TVN_ENDLABELEDITA: {
        auto& edit = reinterpret_cast<NMTVDISPINFOA&>(header);
        result = FALSE;
        // Wine's tree reports the end of one edit twice (again as its edit box goes): a failed
        // rename would show its error box twice. One edit, one rename.
        if (!labelEditOpen_)
            return true;
        labelEditOpen_ = false;
        if (!edit.item.pszText)
            return true; // cancelled
        std::string text = edit.item.pszText;
        if (RenameNode(edit.item.hItem, text)) {
            TVITEMA change{};
            change.mask = TVIF_TEXT | TVIF_HANDLE;
            change.hItem = edit.item.hItem;
            change.pszText = text.data();
            SendMessageA(HandleOrNull(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change));
        }
        return true;
    }
    case NM_RCLICK: {
        POINT at{};
        GetCursorPos(&at);
        TVHITTESTINFO hit{};
        hit.pt = at;
        ScreenToClient(HandleOrNull(), &hit.pt);
        if (HTREEITEM node = reinterpret_cast<HTREEITEM>(
                SendMessageA(HandleOrNull(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))))
            Select(node);
        ShowContextMenu(at.x, at.y);
        result = 1; // handled: no WM_CONTEXTMENU follows
        return true;
    }
    default:
        break;
    }
    return TTreeView::HandleNotify(header, result);
}

LRESULT TShellTreeView::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITMENUPOPUP:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_MENUCHAR:
        // Owner-drawn entries of the shell's menu are the shell's to draw.
        if (openMenu_) {
            openMenu_->HandleMenuMsg(message, wParam, lParam);
            return 0;
        }
        break;
    case WM_CONTEXTMENU:
        if (lParam == -1 && Selected()) { // the menu key: below the node's text
            RECT r{};
            const HTREEITEM node = Selected();
            std::memcpy(&r, &node, sizeof node); // TVM_GETITEMRECT takes the item in the rectangle
            SendMessageA(HandleOrNull(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
            POINT at{r.left, r.bottom};
            ClientToScreen(HandleOrNull(), &at);
            ShowContextMenu(at.x, at.y);
            return 0;
        }
        break;
    default:
        break;
    }
    return TTreeView::WndProc(message, wParam, lParam);
}

} // namespace quennet
