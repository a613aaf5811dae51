#include "mainwindow/NotReadWindow.h"

#include "runtime/Clipboard.h"

namespace quennet {

void TReadOnlyText::CreateParams(TCreateParams& params) {
    TEdit::CreateParams(params);
    params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL;
}

TFormNotRead::TFormNotRead() : List(Add<TReadOnlyText>()), CopyButton(Add<TButton>()), CloseButton(Add<TButton>()) {
    SetCaption("Files not read");
    SetBorderStyle(bsDialog);
    SetClientSize(600, 300);
    SetPosition(poMainFormCenter);
    List.SetBounds(8, 8, 584, 252);
    List.SetTabOrder(0);
    List.SetMaxLength(0x7FFFFFFE); // a list of thousands of paths
    CopyButton.SetCaption("&Copy");
    CopyButton.SetBounds(436, 268, 75, 23);
    CopyButton.SetTabOrder(1);
    CopyButton.OnClick = [this](TWinControl&) { SetClipboardText(HandleOrNull(), lines_); };
    CloseButton.SetCaption("Close");
    CloseButton.SetBounds(517, 268, 75, 23);
    CloseButton.SetModalResult(mrCancel);
    CloseButton.SetCancel(true);
    CloseButton.SetDefault(true);
    CloseButton.SetTabOrder(2);
    // A text of many lines takes every key, Escape too: the dialog would never see it.
    List.OnKeyDown = [this](TWinControl&, WORD& key, TShiftState) {
        if (key == VK_ESCAPE)
            SetModalResult(mrCancel);
    };
    SetActiveControl(&List);
}

void TFormNotRead::SetLines(const std::string& lines) {
    lines_ = lines;
    List.SetText(lines);
}

} // namespace quennet
