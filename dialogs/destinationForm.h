#pragma once
// FormChooseDestination: asks for the folder that Move and Copy put the selected results in.
// Made once at start-up and kept; the caller fills the field, shows it modally and reads the
// field back after OK.
#include "runtime/Form.h"
#include "runtime/StdControls.h"

#include <string>

class TFormChooseDestination : public quennet::TForm {
  public:
    TFormChooseDestination();

    // The proposed folder before showing, the chosen one after OK.
    std::string Destination() const { return newDestination.Text(); }
    void SetDestination(const std::string& folder) { newDestination.SetText(folder); }
    // The button names the action: "Copy" for a copy, "Move" otherwise.
    void SetCopying(bool copying) { Button1.SetCaption(copying ? "Copy" : "Move"); }

    quennet::TButton& Button1; // closes with mrOk
    quennet::TEdit& newDestination;
};
