#pragma once
// Form4: the read-only hex viewer. It is made once at start-up and shown modally for each
// file viewed from the results list.
#include "hexcontrol/HexEditorEx.h"
#include "runtime/Form.h"
#include "runtime/PopupMenu.h"

#include <cstdint>
#include <string>

class TForm4 : public quennet::TForm {
  public:
    TForm4();

    // Loads folder + name (folder ends with a backslash), selects the match when matchOffset is
    // not 0, and shows the window modally. Errors propagate with the window left closed.
    void Open(const std::string& folder, const std::string& name, std::int64_t matchOffset, int phraseLength);
    // Open without the modal display; the caller shows the window (tests use this).
    void Prepare(const std::string& folder, const std::string& name, std::int64_t matchOffset,
                 int phraseLength);

    quennet::THexEditorEx& hexedit;
    quennet::TPopupMenu PopupMenu1;

    void Copy1Click();
    void Selectall1Click();

  protected:
    void Resize() override;
};
