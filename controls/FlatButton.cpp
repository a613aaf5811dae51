#include "controls/FlatButton.h"

namespace quennet {

TFlatButton::TFlatButton() : images_(16, 16, ILC_COLOR24 | ILC_MASK, 1) {
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TFlatButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "BUTTON";
    params.SystemClass = true;
    params.Style |= BS_PUSHBUTTON;
}

void TFlatButton::SetPicture(HBITMAP picture) {
    picture_.reset(picture ? static_cast<HBITMAP>(CopyImage(picture, IMAGE_BITMAP, 0, 0, 0)) : nullptr);
}

void TFlatButton::Click() {
    // Sets the modal result of the window that holds it, which closes a modal window.
    if (modalResult_ != mrNone) {
        if (TForm* form = ParentForm())
            form->SetModalResult(modalResult_);
    }
    TWinControl::Click();
}

bool TFlatButton::HandleCommand(WORD notifyCode) {
    if (notifyCode == BN_CLICKED) {
        Click();
        return true;
    }
    return TWinControl::HandleCommand(notifyCode);
}

bool TFlatButton::DialogKey(WORD key, TShiftState shift) {
    if (key == VK_RETURN && Focused() && !shift.Has(ssAlt) && !shift.Has(ssCtrl)) {
        Click();
        return true;
    }
    return TWinControl::DialogKey(key, shift);
}

bool TFlatButton::DialogChar(char ch) {
    if (IsAccel(ch, Caption()) && CanFocus()) {
        Click();
        return true;
    }
    return TWinControl::DialogChar(ch);
}

} // namespace quennet
