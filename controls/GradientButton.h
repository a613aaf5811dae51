// TGradientButton: a push button that paints itself in one of four looks (normal, over,
// down, disabled), each with its own six colours, optionally as a vertical gradient, with a
// bevel, a glyph and a focus rectangle; it can play a sound when the mouse enters.
#pragma once

#include "controls/ButtonLogic.h"
#include "controls/ColorSchemes.h"
#include "runtime/Canvas.h"
#include "runtime/Form.h"
#include "runtime/Window.h"

namespace quennet {

enum class TButtonSound { ssPistol, ssGame, ssFire, ssHealth }; // "WAVE" 1..4

class TGradientButton : public TWinControl {
  public:
    TGradientButton();

    // The 25 colours by index (ButtonColorIndex); setting one makes the scheme csCustom.
    RgbColor ColorAt(int index) const { return colors_[index]; }
    void SetColorAt(int index, RgbColor color);
    const ButtonColors& Colors() const { return colors_; }
    void SetColors(const ButtonColors& colors); // all at once; also csCustom

    TColorScheme ColorScheme() const { return scheme_; }
    void SetColorScheme(TColorScheme scheme);

    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool value) { StoreAndInvalidate(ctl3D_, value); }
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout value) { StoreAndInvalidate(layout_, value); }
    HBITMAP Glyph() const { return glyph_.get(); }
    void SetGlyph(HBITMAP picture); // copies the picture; nullptr empties it
    int Spacing() const { return spacing_; }
    void SetSpacing(int value) { StoreAndInvalidate(spacing_, value); }
    bool TransparentGlyph() const { return transparentGlyph_; }
    void SetTransparentGlyph(bool value) { StoreAndInvalidate(transparentGlyph_, value); }
    bool Gradient() const { return gradient_; }
    void SetGradient(bool value) { StoreAndInvalidate(gradient_, value); }
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool value) { hotTrack_ = value; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    bool Default() const { return default_; }
    void SetDefault(bool value); // tells the form, for its default-button tracking
    bool UseSound() const { return useSound_; }
    void SetUseSound(bool value) { useSound_ = value; }
    TButtonSound Sound() const { return sound_; }
    void SetSound(TButtonSound value) { sound_ = value; }

    ButtonLook Look() const { return looks_.Look(); }
    // Shows a look without the mouse (previews); the next mouse or key event moves it on.
    void ShowLook(ButtonLook look);

    // Paints the whole face into `dc` at (0,0), as the screen shows it.
    void PaintFace(HDC dc);

    void Click() override;
    bool DialogKey(WORD key, TShiftState shift) override;
    bool DialogChar(char ch) override;

  protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyUp(WORD& key, TShiftState shift) override;
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override { Invalidate(); }
    void TextChanged() override { Invalidate(); }
    void FontChanged() override { Invalidate(); }

  private:
    template <class T> void StoreAndInvalidate(T& field, T value) {
        field = value;
        Invalidate();
    }
    void RepaintNow();

    ButtonColors colors_;
    TColorScheme scheme_ = TColorScheme::csNeoDesert;
    bool ctl3D_ = true;
    TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
    GdiBitmap glyph_; // owned copy; empty when null
    TScaledPicture glyphAtScale_;
    int spacing_ = 4;
    bool transparentGlyph_ = true;
    bool gradient_ = true;
    bool hotTrack_ = true;
    TModalResult modalResult_ = mrNone;
    bool cancel_ = false;
    bool default_ = false;
    bool useSound_ = false;
    TButtonSound sound_ = TButtonSound::ssPistol;

    ButtonLooks looks_;
    bool focused_ = false;
};

} // namespace quennet
