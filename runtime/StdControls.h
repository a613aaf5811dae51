// The platform's standard controls as runtime controls: edit, push button, label, radio
// button, check box, group box, plus the container panel and the bevel line or frame.
// Each gets the runtime's handlers and events (OnClick, OnKeyDown, ...).
#pragma once

#include "runtime/Window.h"

namespace quennet {

// A brush in a control's current colour, made again only when the colour changes; for
// WM_CTLCOLOR* answers, which must return a brush that outlives the message.
class TColorBrush {
  public:
    HBRUSH Get(COLORREF color);

  private:
    GdiBrush brush_;
    COLORREF color_ = CLR_INVALID;
};

class TEdit : public TWinControl {
  public:
    TEdit();                                    // a tab stop, 121 x 21
    void SetFlat(bool value) { flat_ = value; } // before the window exists: a plain border
    void SetReadOnly(bool value);
    void SetMaxLength(int length);
    void SelectAll();
    TNotifyEvent OnChange;

  protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    bool HandleCommand(WORD notifyCode) override;
    virtual void Change();

  private:
    bool flat_ = false;
    bool readOnly_ = false;
    int maxLength_ = 0;
};

// The standard push button. A click sets the form's ModalResult to the button's (when not
// mrNone), then raises OnClick. Enter clicks the focused button, or the Default one when no
// button has the focus; Escape clicks the Cancel one; Alt+access key clicks.
class TButton : public TWinControl {
  public:
    TButton(); // a tab stop, 75 x 25
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }

    void Click() override;
    bool DialogKey(WORD key, TShiftState shift) override;
    bool DialogChar(char ch) override;

  protected:
    void CreateParams(TCreateParams& params) override;
    bool HandleCommand(WORD notifyCode) override;

  private:
    TModalResult modalResult_ = mrNone;
    bool default_ = false;
    bool cancel_ = false;
};

// Static text on the parent's colour. With AutoSize (the default) the label takes the size
// of its caption; WordWrap wraps within the width it is given instead.
class TLabel : public TWinControl {
  public:
    TLabel();
    void SetAutoSize(bool value);
    void SetWordWrap(bool value);
    void SetAlignment(UINT ssStyle) { alignment_ = ssStyle; } // SS_LEFT, SS_CENTER, SS_RIGHT

  protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override { AdjustSize(); }
    void TextChanged() override;
    void FontChanged() override;
    HBRUSH HandleCtlColor(HDC dc, UINT message) override;

  private:
    void AdjustSize();
    bool autoSize_ = true;
    bool wordWrap_ = false;
    UINT alignment_ = SS_LEFT;
    TColorBrush brush_;
};

// Radio button and check box: the standard ones, clicking through BN_CLICKED.
class TButtonControl : public TWinControl {
  public:
    bool Checked() const;
    void SetChecked(bool value);

  protected:
    explicit TButtonControl(DWORD buttonStyle);
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    bool HandleCommand(WORD notifyCode) override;
    HBRUSH HandleCtlColor(HDC dc, UINT message) override;

  private:
    DWORD buttonStyle_;
    bool checked_ = false;
    TColorBrush brush_;
};

class TRadioButton : public TButtonControl {
  public:
    TRadioButton() : TButtonControl(BS_AUTORADIOBUTTON) {}
};

class TCheckBox : public TButtonControl {
  public:
    TCheckBox() : TButtonControl(BS_AUTOCHECKBOX) {}
};

// A titled frame that holds controls (radio buttons of one group, for one).
class TGroupBox : public TWinControl {
  public:
    TGroupBox();

  protected:
    void CreateParams(TCreateParams& params) override;
    HBRUSH HandleCtlColor(HDC dc, UINT message) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    TColorBrush brush_;
};

enum TBevelCut { bvNone, bvLowered, bvRaised };

// A plain container in its own colour, with an optional one-pixel bevel.
class TPanel : public TWinControl {
  public:
    TPanel();
    void SetBevelOuter(TBevelCut cut);

  protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;

  private:
    TBevelCut bevelOuter_ = bvRaised;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine };

// An etched line or frame in the button shadow and highlight colours. It lies beneath its
// siblings, so the controls it frames stay visible.
class TBevel : public TWinControl {
  public:
    TBevel();
    void SetShape(TBevelShape shape);
    void SetLowered(bool lowered);

  protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void Paint(HDC dc) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    TBevelShape shape_ = bsBox;
    bool lowered_ = true;
};

} // namespace quennet
