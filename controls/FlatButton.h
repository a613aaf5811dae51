// TFlatButton: the platform's standard push button with four stored properties that change
// nothing on screen (Picture, Caption2, Alignment, Margin).
#pragma once

#include <string>

#include "runtime/Form.h"
#include "runtime/Resources.h"
#include "runtime/Window.h"

namespace quennet {

enum class TFlatAlignment { Left, Right, Top, Bottom, Center };

class TFlatButton : public TWinControl {
  public:
    TFlatButton();

    HBITMAP Picture() const { return picture_.get(); }
    void SetPicture(HBITMAP picture); // copies it
    const std::string& Caption2() const { return caption2_; }
    void SetCaption2(const std::string& value) { caption2_ = value; }
    TFlatAlignment Alignment() const { return alignment_; }
    void SetAlignment(TFlatAlignment value) { alignment_ = value; }
    int Margin() const { return margin_; }
    void SetMargin(int value) { margin_ = value; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }

    void Click() override;
    bool DialogKey(WORD key, TShiftState shift) override;
    bool DialogChar(char ch) override;

  protected:
    void CreateParams(TCreateParams& params) override;
    bool HandleCommand(WORD notifyCode) override;

  private:
    GdiBitmap picture_;
    std::string caption2_;
    TFlatAlignment alignment_ = TFlatAlignment::Left;
    int margin_ = -1;
    TModalResult modalResult_ = mrNone;
    TImageList images_; // masked; nothing draws from it
};

} // namespace quennet
