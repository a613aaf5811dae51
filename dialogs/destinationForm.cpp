#include "dialogs/destinationForm.h"

using namespace quennet;

TFormChooseDestination::TFormChooseDestination() : Button1(Add<TButton>()), newDestination(Add<TEdit>()) {
    SetCaption("Choose destination");
    SetBorderStyle(bsDialog);
    SetClientSize(462, 58);
    SetPosition(poDesktopCenter);
    SetCloseOnEscape(true); // moves or copies nothing, as the close box

    // First in tab order and no control named to start with: the first opening has the focus
    // on the button, so Enter accepts the proposed folder at once.
    Button1.SetCaption("Move");
    Button1.SetBounds(382, 32, 75, 21);
    Button1.SetModalResult(mrOk);
    Button1.SetTabOrder(0);

    newDestination.SetBounds(8, 8, 449, 21);
    newDestination.SetTabOrder(1);
}
