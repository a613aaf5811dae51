#include "controls/GradientButton.h"

#include "runtime/Canvas.h"
#include "runtime/Dpi.h"
#include "controls/Sounds.h"

namespace quennet {

TGradientButton::TGradientButton() {
    ApplyColorScheme(scheme_, colors_, gradient_);
    colors_[ButtonColorIndex::OverColorGrad] = 0xFFFFFF;
    colors_[ButtonColorIndex::DownColorGrad] = 0xFFFFFF;
    colors_[ButtonColorIndex::DisabledColorGrad] = 0xFFFFFF;
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
    SetOpaque(true);
}

void TGradientButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "TGradientButton";
}

// A release that went to another window (the mouse was taken away while pressed) would
// leave the button "held", and the next hover would show it pressed.
LRESULT TGradientButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lParam) != HandleOrNull() &&
        looks_.CaptureLost())
        Invalidate();
    return TWinControl::WndProc(message, wParam, lParam);
}

void TGradientButton::SetColorAt(int index, RgbColor color) {
    colors_[index] = color;
    scheme_ = TColorScheme::csCustom;
    Invalidate();
}

void TGradientButton::SetColors(const ButtonColors& colors) {
    colors_ = colors;
    scheme_ = TColorScheme::csCustom;
    Invalidate();
}

void TGradientButton::SetColorScheme(TColorScheme scheme) {
    ApplyColorScheme(scheme, colors_, gradient_);
    scheme_ = scheme;
    Invalidate();
}

void TGradientButton::SetGlyph(HBITMAP picture) {
    glyph_.reset(picture ? static_cast<HBITMAP>(CopyImage(picture, IMAGE_BITMAP, 0, 0, 0)) : nullptr);
    glyphAtScale_.Forget();
    Invalidate();
}

void TGradientButton::ShowLook(ButtonLook look) {
    looks_.Show(look);
    Invalidate();
}

void TGradientButton::RepaintNow() {
    if (HandleAllocated())
        Repaint();
}

// ---------------------------------------------------------------- painting

void TGradientButton::Paint(HDC dc) {
    TOffscreen buffer(dc, Width(), Height());
    PaintFace(buffer.DC());
    buffer.CopyTo(dc);
}

void TGradientButton::PaintFace(HDC dc) {
    const int w = Width(), h = Height();
    const ButtonLook look = looks_.Look();
    const auto c = colors_.ForLook(look, Enabled());

    TCanvas(dc).FillRect(RECT{0, 0, w, h}, c[LookFace]);
    if (gradient_) {
        auto lines = GradientLineColors(c[LookFace], c[LookGrad], 0, h);
        for (int i = 0; i < int(lines.size()); ++i) {
            POINT line[2] = {{0, i}, {0 + w, i}};
            TCanvas(dc).Polyline(line, 2, lines[std::size_t(i)]);
        }
    }

    const std::string caption = Caption();
    SelectGuard keepFont(dc, FontHandle());
    SIZE text{0, 0};
    if (!caption.empty())
        GetTextExtentPoint32A(dc, caption.c_str(), int(caption.size()), &text);
    ButtonFaceMetrics m;
    m.width = w;
    m.height = h;
    m.textWidth = text.cx;
    m.textHeight = text.cy;
    const int dpi = WindowDpi(HandleOrNull());
    const COLORREF glyphTransparent = glyph_ && transparentGlyph_ ? BitmapPixel(glyph_.get(), 0, 0) : CLR_INVALID;
    const HBITMAP glyph = glyphAtScale_.At(glyph_.get(), dpi, glyphTransparent);
    const SIZE glyphSize = BitmapSize(glyph);
    m.glyphWidth = glyphSize.cx;
    m.glyphHeight = glyphSize.cy;
    m.hasCaption = !caption.empty();
    m.spacing = ScaleDesignUnits(spacing_, dpi);
    m.layout = layout_;
    m.down = look == ButtonLook::Down;
    const CaptionPlacement place = PlaceCaptionAndGlyph(m);

    if (glyph && glyphSize.cx > 0 && glyphSize.cy > 0) {
        if (transparentGlyph_)
            TCanvas(dc).DrawTransparent(place.glyph.x, place.glyph.y, glyph, glyphTransparent);
        else
            TCanvas(dc).Draw(place.glyph.x, place.glyph.y, glyph);
    }

    if (!caption.empty()) {
        SetTextColor(dc, c[LookText]);
        SetBkMode(dc, TRANSPARENT);
        RECT r{place.text.x, place.text.y, place.text.x + text.cx, place.text.y + text.cy};
        DrawTextA(dc, caption.c_str(), int(caption.size()), &r,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOCLIP);
    }

    TCanvas(dc).Rectangle(RECT{0, 0, w, h}, c[LookBorder]);
    if (ctl3D_) {
        POINT light[3] = {{1, h - 2}, {1, 1}, {w - 1, 1}};
        TCanvas(dc).Polyline(light, 3, c[LookLight]);
        POINT dark[3] = {{w - 2, 1}, {w - 2, h - 2}, {1, h - 2}};
        TCanvas(dc).Polyline(dark, 3, c[LookDark]);
    }
    if (focused_) {
        const int inset = ScaleDesignUnits(3, dpi);
        TCanvas(dc).Rectangle(RECT{inset, inset, w - inset, h - inset}, colors_[ButtonColorIndex::ColorFocusRect]);
    }
}

// ---------------------------------------------------------------- mouse, keys, focus

void TGradientButton::SetDefault(bool value) {
    default_ = value;
    if (HandleAllocated())
        if (TForm* form = ParentForm())
            form->FocusChanged();
}

void TGradientButton::Click() {
    if (Parent()) {
        if (TForm* form = ParentForm())
            form->SetModalResult(modalResult_);
    }
    looks_.Clicked();
    RepaintNow();
    TWinControl::Click();
}

void TGradientButton::MouseEnter() {
    if (looks_.MouseEnter(hotTrack_)) {
        if (useSound_)
            PlayControlSound(ControlSound::Hover, int(sound_) + 1);
        RepaintNow();
    }
    TWinControl::MouseEnter();
}

void TGradientButton::MouseLeave() {
    looks_.MouseLeave();
    RepaintNow();
    TWinControl::MouseLeave();
}

void TGradientButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !HandleAllocated())
        return;
    looks_.LeftDown();
    if (TabStop() && CanFocus())
        SetFocus();
    RepaintNow();
}

void TGradientButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseUp(button, shift, x, y);
    if (!HandleAllocated())
        return;
    looks_.ButtonUp(x, y, Width(), Height(), hotTrack_);
    RepaintNow();
}

void TGradientButton::KeyDown(WORD& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    if (key == VK_SPACE) {
        looks_.SpaceDown();
        RepaintNow();
    } else if (key == VK_RETURN) {
        Click();
        RepaintNow();
    }
}

void TGradientButton::KeyUp(WORD& key, TShiftState shift) {
    TWinControl::KeyUp(key, shift);
    if (key == VK_SPACE) {
        looks_.SpaceUp();
        RepaintNow();
        Click();
    }
}

bool TGradientButton::DialogKey(WORD key, TShiftState shift) {
    const bool noModifiers = !shift.Has(ssShift) && !shift.Has(ssCtrl) && !shift.Has(ssAlt);
    if (((key == VK_RETURN && Focused()) || (key == VK_ESCAPE && cancel_)) && noModifiers && CanFocus()) {
        Click();
        return true;
    }
    if (default_) {
        Click();
        return true;
    }
    return TWinControl::DialogKey(key, shift);
}

bool TGradientButton::DialogChar(char ch) {
    if (IsAccel(ch, Caption()) && Enabled()) {
        Click();
        return true;
    }
    return TWinControl::DialogChar(ch);
}

void TGradientButton::DoEnter() {
    focused_ = true;
    RepaintNow();
    TWinControl::DoEnter();
}

void TGradientButton::DoExit() {
    focused_ = false;
    looks_.FocusLost();
    RepaintNow();
    TWinControl::DoExit();
}

} // namespace quennet
