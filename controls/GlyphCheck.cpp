#include "controls/GlyphCheck.h"

#include "runtime/Canvas.h"
#include "runtime/Dpi.h"
#include "controls/Sounds.h"

namespace quennet {
namespace {

// One 8 x 8 checkerboard for every check box, made when the first one is painted hot (in
// that box's colour) and kept until the program ends.
HBRUSH HotPatternBrush(HDC reference, COLORREF base) {
    static GdiBitmap pattern;
    static GdiBrush brush;
    if (!brush) {
        pattern.reset(CreateCompatibleBitmap(reference, kHotPatternSize, kHotPatternSize));
        MemoryDC dc(CreateCompatibleDC(reference));
        SelectGuard select(dc.get(), pattern.get());
        const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
        for (int y = 0; y < kHotPatternSize; ++y)
            for (int x = 0; x < kHotPatternSize; ++x)
                SetPixel(dc.get(), x, y, HotPatternIsHighlight(x, y) ? highlight : base);
        brush.reset(CreatePatternBrush(pattern.get()));
    }
    return brush.get();
}

} // namespace

CheckMetrics GlyphCheckMetrics(int dpi) {
    const CheckMetrics design;
    return {ScaleDesignUnits(design.picture, dpi), ScaleDesignUnits(design.margin, dpi),
            ScaleDesignUnits(design.captionLeft, dpi)};
}

TCustomGlyphCheck::TCustomGlyphCheck() {
    SetBounds(0, 0, 97, 19);
    SetTabStop(true);
    SetOpaque(true);
}

const char* TCustomGlyphCheck::Version() {
    return "Quennet glyph check box 1.0";
}

void TCustomGlyphCheck::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = "TGlyphCheck";
}

// ---------------------------------------------------------------- properties

void TCustomGlyphCheck::SetChecked(bool value) {
    checked_ = value;
    Invalidate();
}

void TCustomGlyphCheck::SetStyle(TCheckStyle value) {
    style_ = value;
    Invalidate();
}

void TCustomGlyphCheck::SetTransparent(bool value) {
    transparent_ = value;
    RepaintNow();
}

void TCustomGlyphCheck::SetFlat(bool value) {
    flat_ = value;
    RepaintNow();
}

void TCustomGlyphCheck::SetAlignment(TCheckAlignment value) {
    alignment_ = value;
    Recreate();
}

void TCustomGlyphCheck::SetImageType(TImageType value) {
    imageType_ = value;
    Recreate();
}

void TCustomGlyphCheck::SetColorSimpleMargin(TColor value) {
    colorSimpleMargin_ = value;
    Recreate();
}

void TCustomGlyphCheck::SetHintSecondLine(const std::string& value) {
    hintSecondLine_ = value;
    if (!hint_.empty())
        hint_ += '\r' + value;
}

// Nothing of the window's own state depends on these properties, so a full repaint is all a
// re-created window would show differently.
void TCustomGlyphCheck::Recreate() {
    Invalidate();
}

void TCustomGlyphCheck::RepaintNow() {
    if (HandleAllocated())
        Repaint();
}

// ---------------------------------------------------------------- painting

void TCustomGlyphCheck::Paint(HDC dc) {
    TOffscreen buffer(dc, Width(), Height());
    PaintTo(buffer.DC());
    buffer.CopyTo(dc);
}

void TCustomGlyphCheck::DrawPicture(HDC dc, const char* name, LayoutPoint at, int dpi) {
    if (dpi != pictureDpi_) {
        pictures_.clear();
        pictureDpi_ = dpi;
    }
    Picture& picture = pictures_[name];
    if (!picture.bitmap) {
        GdiBitmap original(LoadBitmapA(GetModuleHandleA(nullptr), name));
        if (!original)
            return;
        const SIZE size = BitmapSize(original.get());
        picture.transparent = BitmapPixel(original.get(), 0, size.cy - 1);
        picture.bitmap = dpi == kDesignDpi ? std::move(original)
                                           : StretchedBitmap(original.get(), ScaleDesignUnits(size.cx, dpi),
                                                             ScaleDesignUnits(size.cy, dpi), picture.transparent);
    }
    TCanvas(dc).DrawTransparent(at.x, at.y, picture.bitmap.get(), picture.transparent);
}

void TCustomGlyphCheck::PaintTo(HDC dc) {
    TCanvas canvas(dc);
    const int w = Width(), h = Height();
    const COLORREF color = ColorToRGB(Color());
    RECT r{0, 0, w, h};
    canvas.FillRect(r, color);
    if (style_ != TCheckStyle::bmNone) {
        COLORREF topLeft, bottomRight;
        if (style_ == TCheckStyle::bmLowered) {
            topLeft = GetSysColor(COLOR_BTNSHADOW);
            bottomRight = GetSysColor(COLOR_BTNHIGHLIGHT);
        } else if (style_ == TCheckStyle::bmRaised) {
            topLeft = GetSysColor(COLOR_BTNHIGHLIGHT);
            bottomRight = GetSysColor(COLOR_BTNSHADOW);
        } else {
            topLeft = bottomRight = ColorToRGB(colorSimpleMargin_);
        }
        canvas.Polyline({{0, h - 1}, {0, 0}, {w, 0}}, topLeft);
        canvas.Polyline({{w - 1, 0}, {w - 1, h - 1}, {-1, h - 1}}, bottomRight);
        r = RECT{1, 1, w - 1, h - 1};
    }
    if (hot_) {
        SetBrushOrgEx(dc, 0, 0, nullptr);
        FillRect(dc, &r, HotPatternBrush(dc, color));
    } else {
        canvas.FillRect(r, color);
    }

    // The parent paints its background and content under us, clipped to its client area.
    if (transparent_)
        PaintParentBackground(*this, dc);

    const std::string caption = Caption();
    const HFONT font = FontHandle();
    const SIZE text = canvas.TextExtent(caption, font);
    const int ampWidth = caption.find('&') != std::string::npos ? canvas.TextExtent("&", font).cx : 0;
    const int dpi = WindowDpi(HandleOrNull());
    const CheckLayout layout =
        LayoutGlyphCheck(w, h, style_, alignment_, text.cx, text.cy, ampWidth, GlyphCheckMetrics(dpi));

    if (showFocused_ && Focused()) {
        RECT focus{layout.focus.left, layout.focus.top, layout.focus.right, layout.focus.bottom};
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        canvas.DrawFocusRect(focus);
    }

    const COLORREF fontColor = ColorToRGB(Font().Color);
    auto drawCaption = [&](COLORREF textColor, int dx, int dy) {
        RECT cr{layout.caption.left + dx, layout.caption.top + dy, layout.caption.right + dx,
                layout.caption.bottom + dy};
        canvas.DrawText(cr, caption, DT_LEFT | DT_TOP, font, textColor);
    };
    if (!Enabled()) {
        drawCaption(fontColor, 0, 0);
        drawCaption(GetSysColor(COLOR_BTNHIGHLIGHT), 1, 1);
        drawCaption(GetSysColor(COLOR_BTNSHADOW), 0, 0);
    } else {
        drawCaption(hotTrack_ && hot_ ? RGB(0, 0, 255) : fontColor, 0, 0);
    }

    DrawPicture(dc, CheckBoxPictureName(Enabled(), flat_), layout.box, dpi);
    if (checked_)
        DrawPicture(dc, CheckMarkPictureName(imageType_, Enabled(), flat_), layout.box, dpi);
}

// ---------------------------------------------------------------- mouse, keys, focus

LRESULT TCustomGlyphCheck::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Enter comes to the box as a key (its OnKeyDown starts the search); Escape and the
    // navigation keys stay with the form.
    if (message == WM_GETDLGCODE && wParam == VK_RETURN)
        return DLGC_WANTALLKEYS;
    return TWinControl::WndProc(message, wParam, lParam);
}

void TCustomGlyphCheck::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    // Only a left press on an enabled box does anything, the event included.
    if (button != mbLeft || !Enabled())
        return;
    if (CanFocus())
        SetFocus();
    checked_ = !checked_;
    RepaintNow();
    if (playMusic_)
        PlayControlSound(ControlSound::Click);
    TWinControl::MouseDown(button, shift, x, y);
}

void TCustomGlyphCheck::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    // A press the box ignored raises no event on its release either: a right click is silent.
    if (button != mbLeft)
        return;
    TWinControl::MouseUp(button, shift, x, y);
}

void TCustomGlyphCheck::MouseEnter() {
    if (!Enabled())
        return;
    if (hotTrack_) {
        hot_ = true;
        RepaintNow();
    }
    if (showHandCursor_) {
        HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), "HANDD");
        SetCursor(hand);
        ::SetCursor(hand);
    }
    TWinControl::MouseEnter();
}

void TCustomGlyphCheck::MouseLeave() {
    if (!Enabled())
        return;
    if (hotTrack_) {
        hot_ = false;
        RepaintNow();
    }
    if (showHandCursor_) {
        ::SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        SetCursor(nullptr);
    }
    TWinControl::MouseLeave();
}

void TCustomGlyphCheck::KeyDown(WORD& key, TShiftState shift) {
    if (key == VK_RETURN)
        Click();
    TWinControl::KeyDown(key, shift);
}

bool TCustomGlyphCheck::DialogChar(char ch) {
    if (IsAccel(ch, Caption()) && CanFocus()) {
        Click(); // sees the state before the toggle
        SetFocus();
        checked_ = !checked_;
        Invalidate();
        return true;
    }
    return TWinControl::DialogChar(ch);
}

void TCustomGlyphCheck::DoEnter() {
    RepaintNow();
    TWinControl::DoEnter();
}

void TCustomGlyphCheck::DoExit() {
    RepaintNow();
    TWinControl::DoExit();
}

} // namespace quennet
