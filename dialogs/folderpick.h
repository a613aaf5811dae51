#pragma once
// TForm3: the folder picker window (Form3), which the look-in list opens for "Browse...".
// Its user creates it on first use and keeps it, so the next opening shows the tree as it
// was left. ShowModal gives mrOk for OK, mrCancel for Cancel and the close box.
#include "controls/FlatButton.h"
#include "controls/ShellTree.h"
#include "runtime/Form.h"
#include "runtime/StdControls.h"

#include <string>

class TForm3 : public quennet::TForm {
  public:
    TForm3();

    // The selected folder: a drive as "C:\", a folder without a trailing backslash, the
    // display name of a virtual folder (My Computer), "" when nothing is selected.
    std::string SelectedPath() const { return folders.SelectedPath(); }

    quennet::TLabel& Label1;
    quennet::TShellTreeView& folders;
    quennet::TFlatButton& okBut;
    quennet::TFlatButton& cancelBut;
};
