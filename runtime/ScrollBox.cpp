#include "runtime/ScrollBox.h"

#include "runtime/Canvas.h"

#include <algorithm>

namespace quennet {

namespace {
constexpr UINT WM_QUENNET_MEASURE = WM_APP + 0x3F1; // after the children exist
constexpr int kWheelStep = 3 * 13;
} // namespace

// ---------------------------------------------------------------- TScrollBox

TScrollBox::TScrollBox() {
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "TScrollBox";
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TScrollBox::HandleCreated() {
    PostMessageA(HandleOrNull(), WM_QUENNET_MEASURE, 0, 0);
}

int TScrollBox::ContentHeight() const {
    int bottom = 0;
    for (const auto& child : Controls())
        if (child->Visible())
            bottom = std::max(bottom, child->Top() + child->Height());
    return bottom;
}

void TScrollBox::UpdateScrollRange() {
    if (!HandleAllocated())
        return;
    const int content = ContentHeight();
    const int page = ClientHeight();
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    if (content > page) {
        info.nMax = content - 1;
        info.nPage = static_cast<UINT>(page);
        info.nPos = std::min(ScrollOffset(), content - page);
        ShowScrollBar(HandleOrNull(), SB_VERT, TRUE);
        SetScrollInfo(HandleOrNull(), SB_VERT, &info, TRUE);
        ScrollTo(info.nPos);
    } else {
        ScrollTo(0);
        ShowScrollBar(HandleOrNull(), SB_VERT, FALSE);
    }
}

void TScrollBox::ScrollTo(int y) {
    const int most = std::max(0, ContentHeight() - ClientHeight());
    y = std::clamp(y, 0, most);
    SetScrollPos(HandleOrNull(), SB_VERT, y, TRUE);
    SetScrollOffset(y);
}

LRESULT TScrollBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_QUENNET_MEASURE:
        UpdateScrollRange();
        return 0;
    case WM_SIZE: {
        LRESULT result = TWinControl::WndProc(message, wParam, lParam);
        UpdateScrollRange();
        return result;
    }
    case WM_VSCROLL: {
        SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(HandleOrNull(), SB_VERT, &info);
        int y = info.nPos;
        switch (LOWORD(wParam)) {
        case SB_LINEUP:
            y -= 13;
            break;
        case SB_LINEDOWN:
            y += 13;
            break;
        case SB_PAGEUP:
            y -= static_cast<int>(info.nPage);
            break;
        case SB_PAGEDOWN:
            y += static_cast<int>(info.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            y = info.nTrackPos;
            break;
        case SB_TOP:
            y = 0;
            break;
        case SB_BOTTOM:
            y = info.nMax;
            break;
        default:
            break;
        }
        ScrollTo(y);
        return 0;
    }
    case WM_MOUSEWHEEL:
    {
        // Deltas add up to whole notches: a touchpad sends a notch in small pieces.
        wheelDelta_ += GET_WHEEL_DELTA_WPARAM(wParam);
        const int notches = wheelDelta_ / WHEEL_DELTA;
        wheelDelta_ %= WHEEL_DELTA;
        ScrollTo(ScrollOffset() - notches * kWheelStep);
        return 0;
    }
    default:
        return TWinControl::WndProc(message, wParam, lParam);
    }
}

// ---------------------------------------------------------------- TSplitter

TSplitter::TSplitter() {
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
    SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
}

void TSplitter::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "TSplitter";
}

void TSplitter::SetBeveled(bool value) {
    beveled_ = value;
    Invalidate();
}

void TSplitter::Paint(HDC dc) {
    if (!beveled_)
        return;
    TCanvas canvas(dc);
    const int w = ClientWidth(), h = ClientHeight();
    canvas.Polyline({{0, h - 1}, {0, 0}, {w - 1, 0}}, clBtnHighlight);
    canvas.Polyline({{w - 1, 0}, {w - 1, h - 1}, {-1, h - 1}}, clBtnShadow);
}

// The control docked on the same side whose far edge touches the splitter.
TWinControl* TSplitter::ResizedControl() const {
    if (!Parent())
        return nullptr;
    for (const auto& sibling : Parent()->Controls()) {
        TWinControl* c = sibling.get();
        if (c == this || c->Align() != Align() || !c->Visible())
            continue;
        if (Align() == alLeft && c->Left() + c->Width() == Left())
            return c;
        if (Align() == alRight && c->Left() == Left() + Width())
            return c;
    }
    return nullptr;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseDown(button, shift, x, y);
    TWinControl* resized = ResizedControl();
    if (button != mbLeft || !resized)
        return;
    POINT at{x, y};
    ClientToScreen(HandleOrNull(), &at);
    dragging_ = true;
    dragStartX_ = at.x;
    startWidth_ = resized->Width();
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
    TWinControl::MouseMove(shift, x, y);
    TWinControl* resized = ResizedControl();
    if (!dragging_ || !resized)
        return;
    POINT at{x, y};
    ClientToScreen(HandleOrNull(), &at);
    const int delta = Align() == alRight ? dragStartX_ - at.x : at.x - dragStartX_;
    // Both sides keep MinSize: the resized control and what remains beside the splitter.
    const int others = Parent()->ClientWidth() - Width() - startWidth_;
    const int most = startWidth_ + std::max(0, others - minSize_);
    const int width = std::clamp(startWidth_ + delta, std::min(minSize_, most), most);
    if (width != resized->Width()) {
        resized->SetWidth(width);
        Parent()->Realign();
        Parent()->Update();
    }
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseUp(button, shift, x, y);
    if (dragging_ && button == mbLeft) {
        dragging_ = false;
        if (OnMoved)
            OnMoved(*this);
    }
}

} // namespace quennet
