#include "dialogs/folderpick.h"

using namespace quennet;

TForm3::TForm3()
    : Label1(Add<TLabel>()), folders(Add<TShellTreeView>()), okBut(Add<TFlatButton>()),
      cancelBut(Add<TFlatButton>()) {
    SetCaption("Browse for folder...");
    SetBorderStyle(bsToolWindow);
    SetClientSize(330, 335);
    SetPosition(poDesigned);
    SetLeft(192);
    SetTop(113);
    SetCloseOnEscape(true); // as Cancel

    TFont bold = Font();
    bold.Bold = true;
    Label1.SetFont(bold);
    Label1.SetAutoSize(false);
    Label1.SetAlignment(SS_CENTER);
    Label1.SetCaption("Choose directory to search:");
    Label1.SetBounds(4, 4, 313, 13);

    folders.SetRoot("rfMyComputer");
    folders.SetShowRoot(false);
    folders.SetIndent(19);
    folders.SetBounds(4, 22, 321, 275);
    folders.SetTabOrder(0);

    okBut.SetCaption("&OK");
    okBut.SetBounds(52, 306, 100, 23);
    okBut.SetModalResult(mrOk);
    okBut.SetTabOrder(1);

    cancelBut.SetCaption("&Cancel");
    cancelBut.SetBounds(180, 306, 100, 23);
    cancelBut.SetModalResult(mrCancel);
    cancelBut.SetTabOrder(2);
}
