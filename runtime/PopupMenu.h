// A context menu: items with captions ("&" marks the access key) and handlers, separators.
// Popup shows it at a screen point and runs the chosen item's handler after the menu has
// closed.
//
//   TPopupMenu menu;
//   menu.Add("&Open", [this] { Open1Click(); });
//   menu.AddSeparator();
//   files.SetPopupMenu(&menu);        // right-click or the menu key on `files` shows it
#pragma once

#include "runtime/Handles.h"

#include <functional>
#include <string>
#include <vector>

namespace quennet {

class TPopupMenu {
  public:
    TPopupMenu();

    int Add(const std::string& caption, std::function<void()> onClick); // the item's index
    void AddSeparator();
    int Count() const { return static_cast<int>(items_.size()); }
    void SetEnabled(int index, bool enabled);
    bool Enabled(int index) const;
    void SetDefault(int index); // shown in bold, as for a double-click action

    // Shows the menu at screen point (x, y); whether an item was chosen.
    bool Popup(int x, int y);
    // Runs an item's handler as a choice in the menu would.
    void Choose(int index);
    HMENU Handle() const { return menu_.get(); }

    std::function<void(TPopupMenu& Sender)> OnPopup; // before the menu shows

  private:
    struct Item {
        std::function<void()> onClick;
        bool separator;
    };
    OwnedMenu menu_;
    std::vector<Item> items_;
};

} // namespace quennet
