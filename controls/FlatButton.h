// TFlatButton: the platform's standard push button with four stored properties that change
// nothing on screen (Picture, Caption2, Alignment, Margin).
#pragma once

#include <string>

#include "runtime/Resources.h"
#include "runtime/StdControls.h"

namespace quennet {

enum class TFlatAlignment { Left, Right, Top, Bottom, Center };

class TFlatButton : public TButton {
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

  private:
    GdiBitmap picture_;
    std::string caption2_;
    TFlatAlignment alignment_ = TFlatAlignment::Left;
    int margin_ = -1;
    TImageList images_; // masked; nothing draws from it
};

} // namespace quennet
