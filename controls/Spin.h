// TSpinEdit: a one-line edit holding a whole number as its text, with up and down buttons
// (TSpinButton, two TTimerSpeedButton) at its right edge that step it and repeat while held.
#pragma once

#include <cstdint>

#include "controls/SpinLogic.h"
#include "runtime/Canvas.h"
#include "runtime/Resources.h"
#include "runtime/Timer.h"
#include "runtime/Window.h"

namespace quennet {

// A speed button that clicks again and again while it is held: first after 400 ms, then
// every 100 ms, and once more when released over it.
class TTimerSpeedButton : public TWinControl {
  public:
    explicit TTimerSpeedButton(bool up);

    bool Up() const { return up_; }
    bool DrawnPressed() const { return pressed_; } // held with the mouse over it
    void SetFocusMark(bool value);
    void SetShowFocus(bool value);
    HBITMAP Glyph() const { return glyph_.get(); }

    void PaintTo(HDC dc);

  protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void EnabledChanged() override { Invalidate(); }
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void RepeatTimer();
    void LetGo();

    bool up_;
    GdiBitmap glyph_;
    TScaledPicture glyphAtScale_;
    bool held_ = false;
    bool pressed_ = false;
    bool focusMark_ = false;
    bool showFocus_ = false;
    TTimer repeat_; // started on a press
};

class TSpinButton : public TWinControl {
  public:
    TSpinButton();

    TTimerSpeedButton& UpButton() { return *up_; }
    TTimerSpeedButton& DownButton() { return *down_; }
    // Where a press puts the keyboard focus.
    void SetFocusControl(TWinControl* control) { focusControl_ = control; }

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

  protected:
    void CreateParams(TCreateParams& params) override;
    void Resize() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void DoEnter() override;
    void DoExit() override;
    UINT WantKeys(UINT standard) override { return standard | DLGC_WANTARROWS; }

  private:
    friend class TTimerSpeedButton;
    void Pressed(TTimerSpeedButton& button);
    void MoveFocusMark(TTimerSpeedButton& button);
    void ButtonClicked(TTimerSpeedButton& button);
    void Layout();

    TTimerSpeedButton* up_;
    TTimerSpeedButton* down_;
    TTimerSpeedButton* focusMark_;
    TWinControl* focusControl_ = nullptr;
};

class TSpinEdit : public TWinControl {
  public:
    TSpinEdit();

    // The number of the text, brought into the range; MinValue for a text that is no number.
    std::int32_t Value() const;
    void SetValue(std::int64_t value);
    // Replaces a text that is not a number in range by Value, so the box shows the number
    // that is used: on leaving the box, and before a search reads it.
    void ShowValueInUse();
    std::int32_t MinValue() const { return range_.minValue; }
    void SetMinValue(std::int32_t value) { range_.minValue = value; }
    std::int32_t MaxValue() const { return range_.maxValue; }
    void SetMaxValue(std::int32_t value) { range_.maxValue = value; }
    std::int32_t Increment() const { return increment_; }
    void SetIncrement(std::int32_t value) { increment_ = value; }
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool value) { editorEnabled_ = value; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool value) { autoSelect_ = value; }
    bool Ctl3D() const { return ctl3D_; }

    TSpinButton& Button() { return *button_; }

    void UpClick();
    void DownClick();

    // The text changed, however: typing, pasting, the buttons, the arrow keys, SetValue, or
    // leaving the box with a number out of range.
    TNotifyEvent OnChange;

  protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool HandleCommand(WORD notifyCode) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    void FontChanged() override;
    void EnabledChanged() override;
    void TextChanged() override;

  private:
    void Step(bool up);
    void Layout();
    void SetEditRect();

    SpinRange range_;
    std::int32_t increment_ = 1;
    bool editorEnabled_ = true;
    bool readOnly_ = false;
    bool autoSelect_ = true;
    bool ctl3D_ = true;
    bool layingOut_ = false;
    bool settingText_ = false; // inside WM_SETTEXT: one report, after it
    TSpinButton* button_;
};

} // namespace quennet
