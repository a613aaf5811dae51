// Containers for window layouts: a scroll box that shows a vertical scroll bar when its
// controls reach below its bottom edge, and a splitter that resizes its neighbour by drag.
#pragma once

#include "runtime/Window.h"

namespace quennet {

class TScrollBox : public TWinControl {
  public:
    TScrollBox();
    // Measures the controls again (after they were moved or shown) and sets the bar.
    void UpdateScrollRange();
    int ContentHeight() const;
    using TWinControl::ScrollOffset;

  protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void ScrollTo(int y);
    int wheelDelta_ = 0; // less than a notch, not acted on yet
};

// Sits between a control docked to the same side and the rest; dragging it resizes that
// control live, keeping both sides at least MinSize wide.
class TSplitter : public TWinControl {
  public:
    TSplitter(); // alLeft, 3 wide, east-west cursor
    void SetMinSize(int value) { minSize_ = value; }
    void SetBeveled(bool value);
    TNotifyEvent OnMoved;

  protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

  private:
    TWinControl* ResizedControl() const;
    int minSize_ = 30;
    bool beveled_ = false;
    bool dragging_ = false;
    int dragStartX_ = 0; // screen x at the press
    int startWidth_ = 0;
};

} // namespace quennet
