// The extended combo box: a drop-down list of captions with images and an edit field the
// user may type into. A choice from the list raises OnClick; typing raises OnChange. Keys
// typed into the edit field reach this control's OnKeyDown / OnKeyPress.
#pragma once

#include "runtime/Window.h"

#include <string>

namespace quennet {

class TComboBoxEx : public TWinControl {
  public:
    TComboBoxEx();                     // a tab stop; Height is that of the dropped-down list
    void SetImages(HIMAGELIST images); // not owned
    int AddItem(const std::string& caption, int image = -1, int indent = 0);
    int ItemCount() const;
    std::string ItemCaption(int index) const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The edit field's text.
    std::string EditText() const;
    void SetEditText(const std::string& text);
    void Clear();
    bool DroppedDown() const;
    void SetDroppedDown(bool value);

    TNotifyEvent OnChange;

  protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    bool HandleCommand(WORD notifyCode) override;
    void EnabledChanged() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyUp(WORD& key, TShiftState shift) override;
    void DoExit() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // Scrolls the edit field back to its first character unless it has the focus.
    void ShowTextStart();
    HWND EditWindow() const;
    HWND ComboWindow() const;
    HIMAGELIST images_ = nullptr;
    // Wine's box moves the selection for the arrow keys without telling its parent; the
    // change is noticed when the key is released.
    int indexAtKeyDown_ = -1;
    bool clickedSinceKeyDown_ = false;
};

} // namespace quennet
