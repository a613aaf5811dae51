#pragma once
// Form4: the read-only hex viewer. It is made once at start-up and shown modally for each
// file viewed from the results list.
#include "dialogs/hexgoto.h"
#include "hexcontrol/HexEditorEx.h"
#include "runtime/Form.h"
#include "runtime/PopupMenu.h"
#include "search/SearchRequest.h"

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

    // The phrase of the search the viewed file came from: F3 finds its next occurrence, in
    // UTF-16 in a file that starts with a byte-order mark, as the search did.
    void SetSearchPhrase(const quennet::SearchedPhrase& phrase);

    quennet::THexEditorEx& hexedit;
    quennet::TPopupMenu PopupMenu1;

    void Copy1Click();
    void Selectall1Click();
    // F3: selects the next occurrence of the phrase after the cursor; beeps when there is none.
    // True when one was found.
    bool FindNext();
    // Ctrl+G: moves the cursor to the offset typed (hexadecimal or decimal); a text that is not
    // an offset in the file is refused with a message. True when it moved.
    bool GotoOffset(const std::string& text);

  protected:
    void Resize() override;

  private:
    void hexeditKeyDown(WORD& Key, quennet::TShiftState Shift);

    quennet::SearchedPhrase phrase_;
    TFormGotoOffset gotoForm_;
};
