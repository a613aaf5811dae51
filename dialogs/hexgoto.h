#pragma once
// The viewer's "Go to offset" box (Ctrl+G): one field for an offset typed in hexadecimal
// (0x1F, 1Fh) or decimal (31). Made by the viewer and kept; shown modally.
#include "runtime/Form.h"
#include "runtime/StdControls.h"

#include <string>

class TFormGotoOffset : public quennet::TForm {
  public:
    TFormGotoOffset();

    std::string Offset() const { return offset.Text(); }

    quennet::TLabel& Label1;
    quennet::TEdit& offset;
    quennet::TButton& OkButton;     // closes with mrOk; Enter
    quennet::TButton& CancelButton; // Escape

  protected:
    // The last offset shows selected: typing replaces it rather than adding to it.
    void DoShow() override;
};
