// The tree view: items with text, images, an item-data value and a has-children flag, so
// that children can be added when an item is first expanded (OnExpanding).
#pragma once

#include "runtime/Window.h"

#include <string>

namespace quennet {

class TTreeView : public TWinControl {
  public:
    TTreeView(); // a tab stop, with lines, buttons and a sunken edge; selection always shown
    void SetImages(HIMAGELIST images); // not owned

    // Adds at the end of `parent`'s children (nullptr: a root item).
    HTREEITEM AddItem(HTREEITEM parent, const std::string& text, int image = -1, int selectedImage = -1,
                      bool hasChildren = false, LPARAM data = 0);
    void DeleteItem(HTREEITEM item);
    void DeleteChildren(HTREEITEM item);
    void Clear();
    int Count() const;

    std::string ItemText(HTREEITEM item) const;
    LPARAM ItemData(HTREEITEM item) const;
    void SetHasChildren(HTREEITEM item, bool value);
    HTREEITEM Root() const { return Next(nullptr, TVGN_ROOT); }
    HTREEITEM FirstChild(HTREEITEM item) const { return Next(item, TVGN_CHILD); }
    HTREEITEM NextSibling(HTREEITEM item) const { return Next(item, TVGN_NEXT); }
    HTREEITEM ParentOf(HTREEITEM item) const { return Next(item, TVGN_PARENT); }

    HTREEITEM Selected() const { return Next(nullptr, TVGN_CARET); }
    void Select(HTREEITEM item);
    void Expand(HTREEITEM item, bool expand = true);
    bool Expanded(HTREEITEM item) const;

    // Before an item opens or closes; setting AllowChange to false keeps it as it is.
    std::function<void(TTreeView& Sender, HTREEITEM Item, bool& AllowChange)> OnExpanding;
    std::function<void(TTreeView& Sender, HTREEITEM Item, bool& AllowChange)> OnCollapsing;
    std::function<void(TTreeView& Sender, HTREEITEM Item)> OnChange;                // selection changed
    std::function<void(TTreeView& Sender, HTREEITEM Item, LPARAM Data)> OnDeletion; // to free Data

  protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    bool HandleNotify(NMHDR& header, LRESULT& result) override;

  private:
    HTREEITEM Next(HTREEITEM item, UINT relation) const;
    HIMAGELIST images_ = nullptr;
};

} // namespace quennet
