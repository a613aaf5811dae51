#include "controls/ButtonLogic.h"

#include <cmath>

namespace quennet {

int RoundHalfEven(double v) {
    double floor = std::floor(v);
    double diff = v - floor;
    if (diff > 0.5)
        return int(floor) + 1;
    if (diff < 0.5)
        return int(floor);
    return std::fmod(floor, 2.0) == 0.0 ? int(floor) : int(floor) + 1;
}

std::vector<RgbColor> GradientLineColors(RgbColor face, RgbColor grad, int top, int bottom) {
    std::vector<RgbColor> lines;
    int n = bottom - top;
    if (n < 0)
        return lines;
    double value[3], step[3];
    for (int ch = 0; ch < 3; ++ch) {
        int from = int(face >> (8 * ch) & 0xFF);
        int to = int(grad >> (8 * ch) & 0xFF);
        value[ch] = from;
        // With no height there is nothing to spread the difference over.
        step[ch] = n == 0 ? 0.0 : double(to - from) / n;
    }
    lines.reserve(std::size_t(n) + 1);
    for (int i = 0; i <= n; ++i) {
        RgbColor c = 0;
        for (int ch = 0; ch < 3; ++ch) {
            int v = RoundHalfEven(value[ch]);
            v = v < 0 ? 0 : v > 255 ? 255 : v;
            c |= RgbColor(v) << (8 * ch);
            value[ch] += step[ch];
        }
        lines.push_back(c);
    }
    return lines;
}

CaptionPlacement PlaceCaptionAndGlyph(const ButtonFaceMetrics& m) {
    CaptionPlacement p;
    p.text = {(m.width - m.textWidth) / 2, (m.height - m.textHeight) / 2};
    const int gw = m.glyphWidth, gh = m.glyphHeight, sp = m.spacing;
    // Half the spacing goes to each side, the odd pixel to the glyph.
    const int glyphGap = sp / 2 + sp % 2, textGap = sp / 2;
    if (gw > 0 && gh > 0) {
        switch (m.layout) {
        case TButtonLayout::blGlyphLeft:
            p.glyph = {p.text.x - gw / 2, (m.height - gh) / 2};
            p.text.x += gw / 2;
            if (m.hasCaption) {
                p.glyph.x -= glyphGap;
                p.text.x += textGap;
            }
            break;
        case TButtonLayout::blGlyphRight:
            p.glyph = {p.text.x + m.textWidth - gw / 2, (m.height - gh) / 2};
            p.text.x -= gw / 2;
            if (m.hasCaption) {
                p.glyph.x += glyphGap;
                p.text.x -= textGap;
            }
            break;
        case TButtonLayout::blGlyphTop:
            p.glyph = {(m.width - gw) / 2, p.text.y - gh / 2 - gh % 2};
            p.text.y += gh / 2;
            if (m.hasCaption) {
                p.glyph.y -= glyphGap;
                p.text.y += textGap;
            }
            break;
        case TButtonLayout::blGlyphBottom:
            p.glyph = {(m.width - gw) / 2, p.text.y + m.textHeight - gh / 2};
            p.text.y -= gh / 2;
            if (m.hasCaption) {
                p.glyph.y += glyphGap;
                p.text.y -= textGap;
            }
            break;
        }
        if (m.down) {
            p.glyph.x += 1;
            p.glyph.y += 1;
        }
    }
    if (m.down) {
        p.text.x += 1;
        p.text.y += 1;
    }
    return p;
}

bool ButtonLooks::MouseEnter(bool hotTrack) {
    if (!hotTrack)
        return false;
    look_ = held_ ? ButtonLook::Down : ButtonLook::Over;
    return true;
}

bool ButtonLooks::CaptureLost() {
    if (!held_)
        return false;
    held_ = false;
    if (look_ != ButtonLook::Down)
        return false;
    look_ = ButtonLook::Normal;
    return true;
}

void ButtonLooks::ButtonUp(int x, int y, int width, int height, bool hotTrack) {
    held_ = false;
    // The first row and column count as outside here, so a click there stays normal.
    if (x > 0 && y > 0 && x < width && y < height)
        look_ = hotTrack ? ButtonLook::Over : ButtonLook::Normal;
}

} // namespace quennet
