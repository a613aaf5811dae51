// TGlyphCheck: a check box painted from small bitmaps carried in the executable, with hot
// tracking (blue caption on a dithered background, hand cursor) and a click sound. It
// toggles on a left press and on its access character, never on Space by itself.
#pragma once

#include <map>
#include <string>

#include "controls/CheckGeometry.h"
#include "runtime/Window.h"

namespace quennet {

// The box's fixed distances at `dpi`.
CheckMetrics GlyphCheckMetrics(int dpi);

class TCustomGlyphCheck : public TWinControl {
  public:
    TCustomGlyphCheck();

    bool Checked() const { return checked_; }
    void SetChecked(bool value); // no event, no sound
    TCheckAlignment Alignment() const { return alignment_; }
    void SetAlignment(TCheckAlignment value);
    TImageType ImageType() const { return imageType_; }
    void SetImageType(TImageType value);
    TCheckStyle Style() const { return style_; }
    void SetStyle(TCheckStyle value);
    TColor ColorSimpleMargin() const { return colorSimpleMargin_; }
    void SetColorSimpleMargin(TColor value);
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool value) { hotTrack_ = value; }
    bool ShowHandCursor() const { return showHandCursor_; }
    void SetShowHandCursor(bool value) { showHandCursor_ = value; }
    bool PlayMusic() const { return playMusic_; }
    void SetPlayMusic(bool value) { playMusic_ = value; }
    bool ShowFocused() const { return showFocused_; }
    void SetShowFocused(bool value) { showFocused_ = value; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value) { hint_ = value; }
    const std::string& HintSecondLine() const { return hintSecondLine_; }
    void SetHintSecondLine(const std::string& value);
    static const char* Version();

    bool Hot() const { return hot_; }

    // Paints the whole control into `dc` at (0,0), as the screen shows it.
    void PaintTo(HDC dc);

    bool DialogChar(char ch) override;

  protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override { Invalidate(); }
    void TextChanged() override { Invalidate(); }
    void FontChanged() override { Invalidate(); }

  private:
    struct Picture {
        GdiBitmap bitmap;
        COLORREF transparent = 0;
    };
    void DrawPicture(HDC dc, const char* name, LayoutPoint at, int dpi);
    void Recreate();
    void RepaintNow();

    bool checked_ = false;
    TCheckAlignment alignment_ = TCheckAlignment::taRightJustify;
    TImageType imageType_ = TImageType::igCrossRed;
    TCheckStyle style_ = TCheckStyle::bmNone;
    TColor colorSimpleMargin_ = 0xFF0000;
    bool flat_ = false;
    bool hotTrack_ = true;
    bool showHandCursor_ = true;
    bool playMusic_ = true;
    bool showFocused_ = true;
    bool transparent_ = false;
    std::string hint_;
    std::string hintSecondLine_;

    bool hot_ = false;
    // The pictures drawn so far, at the size for pictureDpi_.
    std::map<std::string, Picture> pictures_;
    int pictureDpi_ = 0;
};

class TGlyphCheck : public TCustomGlyphCheck {};

} // namespace quennet
