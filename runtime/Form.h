// A top-level window: caption, client size, placement, modeless and modal display, and the
// keyboard navigation between its controls.
//
//   class TFormChooseDestination : public TForm {
//   public:
//       TFormChooseDestination() {
//           SetCaption("Choose destination");
//           SetBorderStyle(bsDialog);
//           SetClientSize(462, 58);
//           SetPosition(poDesktopCenter);
//           auto& ok = Add<TButton>();  ...  // a click sets ModalResult = mrOk
//       }
//   };
//   if (dialog.ShowModal() == mrOk) ...
//
// Keys: before a key message is dispatched, the message loop hands it to the form
// (PreTranslateMessage). Tab, arrows, Enter and Escape that the focused control does not
// claim through WM_GETDLGCODE (see TWinControl::WantKeys; asked with the key, never with the
// message, which would put a standard edit into dialog mode, where Escape closes its parent;
// Enter and Escape on a dropped-down combo list stay the list's) are used for navigation (Tab,
// arrows) or offered to every control as a dialog key (TWinControl::DialogKey); Alt+letter,
// and letters typed on a control that takes no characters, are offered as access keys
// (TWinControl::DialogChar).
#pragma once

#include "runtime/Window.h"

namespace quennet {

// Sent by TForm::FocusChanged to every control window on the form; lParam is the window
// of the control that has the focus (or null). Buttons that track the default look act on it.
constexpr UINT CM_FOCUSCHANGED = WM_APP + 0x3F2;

enum TBorderStyle { bsSizeable, bsDialog, bsSingle, bsToolWindow, bsSizeToolWin, bsNone };
enum TPosition { poDesigned, poDesktopCenter, poScreenCenter, poMainFormCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

class TForm : public TWinControl {
  public:
    TForm();
    ~TForm() override;

    void SetBorderStyle(TBorderStyle style) { borderStyle_ = style; }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetPosition(TPosition position) { position_ = position; }
    // Escape that no control takes closes the form as its close box does (a modal form
    // gives mrCancel).
    void SetCloseOnEscape(bool value) { closeOnEscape_ = value; }
    TPosition Position() const { return position_; }
    // Sets the outer size so that the client area has this size.
    void SetClientSize(int width, int height);
    void CenterOnDesktop();
    bool Maximized() const;
    void SetMaximized(bool value);

    void Show();              // modeless; creates the window when needed
    TModalResult ShowModal(); // disables the other windows, runs until ModalResult is set
    void Close();             // as the close box does
    bool Modal() const { return modal_; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result) { modalResult_ = result; }

    // The DPI the form's layout is made for: the design's 96 until ScaleTo.
    int Dpi() const { return dpi_; }
    // Lays the controls out again for `dpi` (fonts stay: see WM_DPICHANGED).
    void ScaleTo(int dpi);
    // A length of the 96-DPI design in pixels at the form's DPI, and back.
    int Scaled(int designUnits) const;
    int Unscaled(int pixels) const;

    // The control that gets the focus when the form shows or is activated again.
    void SetActiveControl(TWinControl* control);
    TWinControl* ActiveControl();
    // Default-button tracking: tells every control on the form (CM_FOCUSCHANGED) that the
    // default button may have changed, as a button does when its Default is set.
    void FocusChanged();
    // Moves the focus to the next (or previous) control in tab order.
    void SelectNext(bool forward, bool tabStopsOnly = true, TWinControl* within = nullptr);

    // Keyboard handling of the message loop; true when the message was used up.
    bool PreTranslateMessage(MSG& message);
    bool DialogKey(WORD key, TShiftState shift) override;
    static TForm* FormOf(HWND window);

    std::function<void(TForm& Sender, bool& CanClose)> OnCloseQuery;
    std::function<void(TForm& Sender, TCloseAction& Action)> OnClose;
    TNotifyEvent OnShow;

  protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The smallest client area the user can size the window to; 0 leaves a side free.
    virtual SIZE MinClientSize() const { return SIZE{0, 0}; }
    // The layout moved from one DPI to another: what the children's bounds do not hold
    // (columns, panels) follows here.
    virtual void DpiScaled(int /*to*/, int /*from*/) {}
    virtual bool CloseQuery();
    virtual void DoClose(TCloseAction& action);
    virtual void DoShow();

  private:
    void ApplyPosition();
    void FocusFirstControl();

    TBorderStyle borderStyle_ = bsSizeable;
    TPosition position_ = poDesigned;
    bool modal_ = false;
    TModalResult modalResult_ = mrNone;
    TWinControl* activeControl_ = nullptr;
    bool showMaximized_ = false;
    bool closeOnEscape_ = false;
    int dpi_ = 96;
};

} // namespace quennet
