// The standard drop-down combo box: an edit field with a list of earlier values under it.
// Down or Alt+Down (or F4) opens the list, the arrows move through it and Enter takes the
// highlighted value; Up leaves a closed list closed and the text as typed. Delete on a
// highlighted value removes it, puts back the text typed before the list was opened and
// raises OnDeleteItem. Keys
// typed into the edit field reach this control's OnKeyDown / OnKeyPress; the box's text is
// the edit field's (Text / SetText).
#pragma once

#include "runtime/Window.h"

#include <functional>
#include <string>
#include <vector>

namespace quennet {

class TComboBox : public TWinControl {
  public:
    TComboBox(); // a tab stop; Height is that of the dropped-down list

    // Replaces the list; the edit field keeps its text.
    void SetItems(const std::vector<std::string>& items);
    int ItemCount() const;
    std::string ItemText(int index) const;
    bool DroppedDown() const;
    void SetDroppedDown(bool value);

    // The entry at this index has left the list.
    std::function<void(TComboBox& Sender, int Index)> OnDeleteItem;

  protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    bool HandleCommand(WORD notifyCode) override;
    void KeyDown(WORD& key, TShiftState shift) override;

  private:
    HWND EditWindow() const;
    std::vector<std::string> items_; // until the window exists
    std::string typedText_;          // as the user left it when the list opened
};

} // namespace quennet
