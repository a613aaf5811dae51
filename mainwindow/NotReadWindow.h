// "Files not read": every file and folder the last search left out, with the reason, in a
// text the user can read, select and copy (Copy takes all of it).
#pragma once

#include "runtime/Form.h"
#include "runtime/StdControls.h"

#include <string>

namespace quennet {

// A read-only edit of many lines with scroll bars: selectable and copyable as any text.
class TReadOnlyText : public TEdit {
  public:
    TReadOnlyText() { SetReadOnly(true); }

  protected:
    void CreateParams(TCreateParams& params) override;
};

class TFormNotRead : public TForm {
  public:
    TFormNotRead();

    // `lines`: one "path: reason" a line.
    void SetLines(const std::string& lines);

    TReadOnlyText& List;
    TButton& CopyButton;  // Alt+C
    TButton& CloseButton; // Escape

  private:
    std::string lines_;
};

} // namespace quennet
