#include "controls/CheckGeometry.h"

namespace quennet {

CheckLayout LayoutGlyphCheck(int width, int height, TCheckStyle style, TCheckAlignment alignment,
                             int textWidth, int textHeight, int ampersandWidth,
                             const CheckMetrics& metrics) {
    CheckLayout l;
    l.inner = {0, 0, width, height};
    if (style != TCheckStyle::bmNone)
        l.inner = {1, 1, width - 1, height - 1};
    const LayoutRect& r = l.inner;
    const bool boxLeft = alignment == TCheckAlignment::taRightJustify;
    int top = r.top + (r.Height() - textHeight) / 2;
    int left = boxLeft ? r.left + metrics.captionLeft : r.left + metrics.margin;
    l.caption = {left, top, left + textWidth, top + textHeight};
    l.focus = {left - 1, top - 1, left + textWidth - ampersandWidth + 4, top + textHeight + 1};
    l.box = {boxLeft ? r.left + metrics.margin : r.right - metrics.margin - metrics.picture,
             r.top + (r.Height() - metrics.picture) / 2};
    return l;
}

const char* CheckBoxPictureName(bool enabled, bool flat) {
    if (flat)
        return enabled ? "BlankFlat" : "EnabledFlat";
    return enabled ? "Blank" : "Enabled";
}

const char* CheckMarkPictureName(TImageType type, bool enabled, bool flat) {
    if (!enabled)
        return CheckBoxPictureName(false, flat);
    switch (type) {
    case TImageType::igCrossRed:
        return "CheckIks";
    case TImageType::igHookBlue:
        return "CheckOk";
    case TImageType::igCirce:
        return "CHECKELLI";
    case TImageType::igCrossBlue:
        return "CHECKEIKSB";
    case TImageType::igCrossGreen:
        return "CHECKIKSG";
    case TImageType::igHookLime:
        return "CHECKOKG";
    case TImageType::igHookRed:
        return "CheckOkR";
    }
    return "CheckIks";
}

} // namespace quennet
