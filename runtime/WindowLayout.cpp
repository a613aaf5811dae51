// Align, anchors and tab order of TWinControl.
#include "runtime/Window.h"

#include <algorithm>

namespace quennet {

void TWinControl::SetAlign(TAlign align) {
    align_ = align;
    if (parent_)
        parent_->Realign();
}

void TWinControl::SetAnchors(unsigned anchors) {
    anchors_ = anchors;
    RecordAnchorMargins();
}

void TWinControl::RecordAnchorMargins() {
    if (!parent_ || !parent_->handle_)
        return;
    RECT client = parent_->ClientRect();
    rightMargin_ = client.right - (left_ + width_);
    bottomMargin_ = client.bottom - (top_ + height_);
}

// Docked children take their strips in the order top, bottom, left, right, and the first
// alClient child gets what is left; anchored children then follow the right and bottom edges.
void TWinControl::Realign() {
    if (!handle_ || realigning_ || IsIconic(handle_))
        return;
    realigning_ = true;
    RECT free = ClientRect();
    for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (auto& child : children_) {
            TWinControl& c = *child;
            if (c.align_ != pass || !c.Visible())
                continue;
            switch (pass) {
            case alTop:
                c.SetBounds(free.left, free.top, free.right - free.left, c.height_);
                free.top += c.height_;
                break;
            case alBottom:
                c.SetBounds(free.left, free.bottom - c.height_, free.right - free.left, c.height_);
                free.bottom -= c.height_;
                break;
            case alLeft:
                c.SetBounds(free.left, free.top, c.width_, free.bottom - free.top);
                free.left += c.width_;
                break;
            case alRight:
                c.SetBounds(free.right - c.width_, free.top, c.width_, free.bottom - free.top);
                free.right -= c.width_;
                break;
            default:
                c.SetBounds(free.left, free.top, std::max(0L, free.right - free.left),
                            std::max(0L, free.bottom - free.top));
                break;
            }
        }
    }
    RECT client = ClientRect();
    for (auto& child : children_) {
        TWinControl& c = *child;
        // A child without its window has no margins yet; it is placed when it gets one.
        if (!c.handle_ || c.align_ != alNone || (c.anchors_ & (akRight | akBottom)) == 0)
            continue;
        int left = c.left_, top = c.top_, width = c.width_, height = c.height_;
        if (c.anchors_ & akRight) {
            if (c.anchors_ & akLeft)
                width = std::max(0, static_cast<int>(client.right) - c.rightMargin_ - left);
            else
                left = client.right - c.rightMargin_ - width;
        }
        if (c.anchors_ & akBottom) {
            if (c.anchors_ & akTop)
                height = std::max(0, static_cast<int>(client.bottom) - c.bottomMargin_ - top);
            else
                top = client.bottom - c.bottomMargin_ - height;
        }
        c.SetBounds(left, top, width, height);
    }
    realigning_ = false;
}

void TWinControl::ScaleControls(int to, int from) {
    if (to == from || from <= 0)
        return;
    auto scale = [to, from](int value) { return MulDiv(value, to, from); };
    for (auto& child : children_) {
        TWinControl& c = *child;
        // Set directly: SetBounds would measure the anchors against the parent's old size.
        // The kept bounds, not the window's: a scrolled child's Top is the unscrolled one.
        c.left_ = scale(c.left_);
        c.top_ = scale(c.top_);
        c.width_ = scale(c.width_);
        c.height_ = scale(c.height_);
        c.rightMargin_ = scale(c.rightMargin_);
        c.bottomMargin_ = scale(c.bottomMargin_);
        if (c.handle_)
            SetWindowPos(c.handle_, nullptr, c.left_, c.top_ - scrollY_, c.width_, c.height_,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        c.ScaleControls(to, from);
    }
}

void TWinControl::SetTabOrder(int order) {
    tabOrder_ = order;
}

void TWinControl::SetScrollOffset(int y) {
    if (y == scrollY_)
        return;
    scrollY_ = y;
    for (auto& child : children_)
        if (child->handle_)
            SetWindowPos(child->handle_, nullptr, child->left_, child->top_ - y, 0, 0,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    Invalidate();
}

} // namespace quennet
