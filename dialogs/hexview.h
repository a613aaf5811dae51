#pragma once
// TForm4: the hex viewer window (Form4), read-only. It is made once at start-up and shown
// modally for each file viewed from the results list.
#include "dialogs/hexgoto.h"
#include "hexcontrol/HexEditorEx.h"
#include "hexcontrol/HexFind.h"
#include "runtime/Form.h"
#include "runtime/PopupMenu.h"
#include "runtime/Timer.h"
#include "search/SearchRequest.h"

#include <cstdint>
#include <memory>
#include <string>

class TForm4 : public quennet::TForm {
  public:
    TForm4();

    // Loads folder + name (folder ends with a backslash), selects the match when matchOffset is
    // not 0, and shows the window modally. Errors propagate with the window left closed and the
    // file let go. A name that no path can say (it holds a folder separator, or a character
    // the system could not give) is refused, since a path built from it names another file.
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
    // F3: selects the next occurrence of the phrase from the cursor on (after the selected
    // match, when there is one); beeps and says "No more matches" in the caption when there is
    // none. The file is read a slice at a time between the window's messages, under the
    // hourglass, so a file of gigabytes leaves the window answering; Escape (CancelFind) stops it.
    void FindNext();
    bool Finding() const { return finding_ != nullptr; }
    void CancelFind();
    // Ctrl+G: moves the cursor to the offset typed (hexadecimal or decimal); a text that is not
    // an offset in the file is refused with a message. True when it moved.
    bool GotoOffset(const std::string& text);
    // Ctrl+G's box, its text selected, then the move; an empty file has no offset to go to.
    void GotoOffsetClick();

  protected:
    void Resize() override;

  private:
    void hexeditKeyDown(WORD& Key, quennet::TShiftState Shift);
    // Widens the window to this file's whole row (its offsets widen with its size) when it is
    // narrower, the character column in view; the first opening also cuts the default height
    // to whole rows. Otherwise the size is the user's, and a maximised viewer stays so.
    void FitTheWholeRows();
    // Selects length bytes from start (none when 0) with the cursor on start.
    void Select(quennet::HexPos start, quennet::HexPos length);
    // "Viewing: " and the path, what could not be read, then note.
    void ShowCaption(const char* note = "");
    void FindTimer();
    void EndFind();

    std::string caption_;   // "Viewing: " and the path
    std::string readFault_; // which bytes of the file could not be read, and why
    quennet::SearchedPhrase phrase_;
    TFormGotoOffset gotoForm_;
    std::unique_ptr<quennet::HexFindJob> finding_; // reads hexedit's data: ended before it changes
    quennet::TTimer findTimer_;
    bool fitted_ = false; // the default height has been cut to whole rows
};
