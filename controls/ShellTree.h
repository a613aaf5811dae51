// TShellTreeView: a tree of the folders of the shell namespace below a root folder (files are
// not listed), with the names and small icons the shell gives each item. Children are asked of the shell the first time a
// node is expanded. A right click offers the shell's own context menu for the node; labels
// can be edited in place to rename a folder.
//
//   auto& folders = form.Add<TShellTreeView>();
//   folders.SetRoot("rfMyComputer");
//   ... folders.SelectedPath()          // "C:\", "C:\windows", or "My Computer"
//
// Everything runs on the user-interface thread, which must have initialised OLE.
#pragma once

#include "controls/ItemIdList.h"
#include "runtime/TreeView.h"

#include <map>
#include <memory>
#include <string>

namespace quennet {

// The shell item behind one node. Owned by the tree, freed when its node goes.
struct TShellFolder {
    TShellFolder* parent = nullptr; // the parent node's item; the desktop item for the top node
    OwnedIdList relative;           // relative to the parent folder
    OwnedIdList absolute;           // from the desktop
    ComPtr<IShellFolder> folder;    // the item's own folder, to enumerate its children; may be empty
    int level = 0;                  // depth below the top node
};

class TShellTreeView : public TTreeView {
  public:
    TShellTreeView();
    ~TShellTreeView() override;

    // A special folder ("rfDesktop", "rfMyComputer", ...) or a file-system path. A root that
    // cannot be resolved raises "Error setting path: "<root>"" and the previous one stays.
    const std::string& RootName() const { return root_; } // Root() is the top node
    void SetRoot(const std::string& root);
    // Before the window exists.
    void SetShowRoot(bool value) { showRoot_ = value; }
    void SetIndent(int pixels);

    TShellFolder* Folder(HTREEITEM node) const { return reinterpret_cast<TShellFolder*>(ItemData(node)); }
    // Text shown for an item, and its parsing path ("C:\", "C:\windows"; a virtual folder's
    // display name).
    std::string DisplayName(const TShellFolder& item) const;
    std::string PathName(const TShellFolder& item) const;
    // The path of the selected node; "" when none is selected.
    std::string SelectedPath() const;

    // Loads the node's children (unless loaded) and drops its button when it has none.
    void LoadNode(HTREEITEM node);
    // Loads the children again, keeping which nodes were open and the selection.
    void RefreshNode(HTREEITEM node);
    // The shell's context menu for the selected node at screen point (x, y).
    void ShowContextMenu(int x, int y);
    // Starts editing the selected node's label.
    void EditSelectedLabel();

  protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    bool HandleNotify(NMHDR& header, LRESULT& result) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Build();
    bool CanExpand(HTREEITEM node);
    void LoadChildren(HTREEITEM node);
    void AddChild(HTREEITEM parent, LPCITEMIDLIST relative);
    void SortChildren(HTREEITEM node);
    TShellFolder& Keep(std::unique_ptr<TShellFolder> item);
    void Forget(TShellFolder* item);
    std::string NameOf(IShellFolder* folder, LPCITEMIDLIST list, DWORD flags) const;
    ULONG AttributesOf(const TShellFolder& item, ULONG wanted) const;
    bool RenameNode(HTREEITEM node, const std::string& newName);
    bool TakeVerb(const std::string& verb, HTREEITEM node, std::string& savedDirectory);
    void AfterVerb(const std::string& verb, HTREEITEM node, const std::string& savedDirectory);
    HWND OwnerWindow();
    void SetImagesFromShell();

    std::string root_ = "rfDesktop";
    OwnedIdList rootList_;
    bool showRoot_ = true;
    int indent_ = 0;
    TShellFolder desktop_;
    std::map<const TShellFolder*, std::unique_ptr<TShellFolder>> items_; // every node's item
    ComPtr<IContextMenu2> openMenu_; // while the shell's context menu is showing
    bool labelEditOpen_ = false;     // from the start of a label edit to its first end
};

} // namespace quennet
