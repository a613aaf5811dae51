#include "dialogs/hexgoto.h"

using namespace quennet;

TFormGotoOffset::TFormGotoOffset()
    : Label1(Add<TLabel>()), offset(Add<TEdit>()), OkButton(Add<TButton>()), CancelButton(Add<TButton>()) {
    SetCaption("Go to offset");
    SetBorderStyle(bsDialog);
    SetClientSize(300, 84);
    SetPosition(poDesktopCenter);

    Label1.SetCaption("Offset (hexadecimal 0x1F or 1Fh, or decimal 31):");
    Label1.SetBounds(8, 8, 284, 16);
    offset.SetBounds(8, 26, 284, 21);
    offset.SetTabOrder(0);
    OkButton.SetCaption("OK");
    OkButton.SetBounds(136, 55, 75, 23);
    OkButton.SetModalResult(mrOk);
    OkButton.SetDefault(true);
    OkButton.SetTabOrder(1);
    CancelButton.SetCaption("Cancel");
    CancelButton.SetBounds(217, 55, 75, 23);
    CancelButton.SetModalResult(mrCancel);
    CancelButton.SetCancel(true);
    CancelButton.SetTabOrder(2);
    SetActiveControl(&offset);
}

void TFormGotoOffset::DoShow() {
    TForm::DoShow();
    offset.SelectAll();
}
