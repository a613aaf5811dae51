// Painting of the hex view: ruler, gutter, data cells with selection and twin frame, grid
// lines and the bands that fill the rest of the client area.
#include "hexcontrol/HexEditor.h"
#include "resources/resource.h"
#include "runtime/Canvas.h"
#include "runtime/Resources.h"

#include <algorithm>

namespace quennet {

namespace {
constexpr int kBookmarkGlyphSize = 10; // "BOOKMARKICONS": twenty 10 x 10 glyphs side by side
// Bytes that could not be read: dark red on pale red, unlike any colour of data.
constexpr COLORREF kUnreadableText = RGB(160, 0, 0);
constexpr COLORREF kUnreadableBackground = RGB(255, 210, 210);

void Fill(HDC dc, const RECT& r, COLORREF color) {
    SetBkColor(dc, color);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

// A line with both end points included; lines here are only horizontal or vertical.
void Line(HDC dc, COLORREF color, int x1, int y1, int x2, int y2) {
    RECT r{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1};
    Fill(dc, r, color);
}

void Char(HDC dc, int x, int y, int width, int bottom, wchar_t ch, COLORREF text, COLORREF back) {
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    RECT box{x, y, x + width, bottom};
    ExtTextOutW(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &box, &ch, 1, nullptr);
}
} // namespace

void THexEditor::PaintTo(HDC dc) {
    const HexLayout& l = model_.Layout();
    const int w = ClientWidth(), h = ClientHeight();
    RECT all{0, 0, w, h};
    Fill(dc, all, ColorToRGB(colors_.Background));
    SelectGuard font(dc, cellFontHandle_.get());
    SetTextAlign(dc, TA_LEFT | TA_TOP);

    if (l.ShowRuler())
        PaintRuler(dc);

    int gridRight = l.FixedWidth();
    int gridBottom = l.RulerHeight();
    for (HexPos row = model_.TopRow(); row < l.RowCount() && model_.RowTop(row) < h; ++row) {
        const int top = model_.RowTop(row);
        PaintGutter(dc, row, top);
        for (int col = model_.LeftCol(); col < l.ColCount(); ++col) {
            const int left = model_.ColLeft(col);
            if (left >= w)
                break;
            RECT r{left, top, left + l.ColWidth(col), top + l.RowHeight(row)};
            PaintDataCell(dc, col, row, r);
            gridRight = std::max<int>(gridRight, r.right);
        }
        gridBottom = top + l.RowHeight(row);
    }
    PaintBands(dc, gridRight, gridBottom);
}

void THexEditor::PaintRuler(HDC dc) {
    const HexLayout& l = model_.Layout();
    const int h = l.RulerHeight();
    RECT corner{0, 0, l.FixedWidth(), h};
    const COLORREF band = ColorToRGB(colors_.OffsetBackground);
    Fill(dc, corner, band);
    for (int col = model_.LeftCol(); col < l.ColCount(); ++col) {
        const int left = model_.ColLeft(col);
        if (left >= ClientWidth())
            break;
        RECT r{left, 0, left + l.ColWidth(col), l.RowHeight(0)};
        Fill(dc, r, band);
        const bool current = col == model_.Cursor().Col;
        const COLORREF text = ColorToRGB(current ? colors_.CurrentOffset : colors_.Offset);
        const COLORREF back =
            ColorToRGB(current ? colors_.CurrentOffsetBackground : colors_.OffsetBackground);
        const std::string s = l.RulerCellText(col);
        SetTextColor(dc, text);
        SetBkColor(dc, back);
        RECT box{left, 0, left + CharWidth(), r.bottom};
        ExtTextOutA(dc, left, 0, ETO_OPAQUE | ETO_CLIPPED, &box, s.c_str(), static_cast<UINT>(s.size()),
                    nullptr);
    }
}

void THexEditor::PaintGutter(HDC dc, HexPos row, int top) {
    const HexLayout& l = model_.Layout();
    RECT cell{0, top, l.ColWidth(0), top + l.RowHeight(row)};
    const bool current = row == model_.Cursor().Row;
    const COLORREF back = ColorToRGB(current ? colors_.CurrentOffsetBackground : colors_.OffsetBackground);
    Fill(dc, cell, back);
    const std::string text = l.OffsetText((row - kFirstDataRow) * l.BytesPerRow());
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SetTextColor(dc, ColorToRGB(current ? colors_.CurrentOffset : colors_.Offset));
    SetBkColor(dc, back);
    ExtTextOutA(dc, cell.right - extent.cx - 4, top, ETO_OPAQUE | ETO_CLIPPED, &cell, text.c_str(),
                static_cast<UINT>(text.size()), nullptr);
    DrawBookmarks(dc, row, cell);

    if (drawGridLines_) {
        const int left = l.ColWidth(0), right = left + l.ColWidth(1);
        Line(dc, ColorToRGB(colors_.Grid), left, cell.bottom - 1, right, cell.bottom - 1);
    }
}

void THexEditor::DrawBookmarks(HDC dc, HexPos row, const RECT& cell) {
    const HexLayout& l = model_.Layout();
    const HexPos first = (row - kFirstDataRow) * l.BytesPerRow();
    bool any = false;
    for (int n = 0; n < 10; ++n) {
        const HexPos p = model_.Bookmark(n).Position;
        any = any || (p >= first && p < first + l.BytesPerRow());
    }
    if (!any)
        return;
    if (!bookmarkGlyphs_)
        bookmarkGlyphs_ = LoadBitmapResource("BOOKMARKICONS");
    if (!bookmarkGlyphs_)
        return;
    TCanvas canvas(dc);
    for (int n = 0; n < 10; ++n) {
        const THexBookmark& mark = model_.Bookmark(n);
        if (mark.Position < first || mark.Position >= first + l.BytesPerRow())
            continue;
        const int glyph = mark.Field == HexField::Char ? 10 + n : n;
        const RECT part{glyph * kBookmarkGlyphSize, 0, (glyph + 1) * kBookmarkGlyphSize, kBookmarkGlyphSize};
        canvas.DrawTransparent(cell.left + 3, cell.top + (cell.bottom - cell.top - kBookmarkGlyphSize) / 2,
                               bookmarkGlyphs_.get(), QUENNET_TRANSPARENT_RGB, part);
    }
}

void THexEditor::PaintDataCell(HDC dc, int col, HexPos row, const RECT& r) {
    const HexLayout& l = model_.Layout();
    const COLORREF grid = ColorToRGB(colors_.Grid);
    if (col == l.SpacerCol()) {
        if (drawGridLines_) {
            Line(dc, grid, r.left, r.top, r.left, r.bottom - 1);
            Line(dc, grid, r.left, r.bottom - 1, r.right, r.bottom - 1);
        }
        return;
    }
    const HexPos p = l.PositionOfCell(col, row);
    const bool charField = l.IsCharCol(col);
    const bool active = (charField ? HexField::Char : HexField::Hex) == model_.ActiveField();
    if (p < model_.DataSize()) {
        // A byte that could not be read is no value at all: a marked "?" in both fields.
        const bool readable = model_.Data().Readable(p);
        const std::uint8_t byte = readable ? model_.Data().At(p) : 0;
        const wchar_t ch = !readable  ? L'?'
                           : charField ? static_cast<wchar_t>(l.DisplayChar(byte))
                                       : static_cast<wchar_t>(l.HexDigitOf(byte, col));
        const bool lastCol = col == l.LastHexCol() || col == l.LastCharCol();
        COLORREF fill = ColorToRGB(active && !lastCol ? colors_.ActiveFieldBackground : colors_.Background);
        COLORREF back = ColorToRGB(active ? colors_.ActiveFieldBackground : colors_.Background);
        COLORREF text =
            ColorToRGB(charField                                                     ? cellFont_.Color
                       : ((col - kFirstDataCol) / (2 * l.BytesPerColumn())) % 2 == 0 ? colors_.OddColumn
                                                                                     : colors_.EvenColumn);
        if (model_.Data().IsChanged(p)) {
            text = ColorToRGB(colors_.ChangedText);
            back = ColorToRGB(colors_.ChangedBackground);
        }
        if (!readable) {
            text = kUnreadableText;
            back = fill = kUnreadableBackground;
        }
        if (model_.IsSelected(p) && !(hideSelection_ && !focused_)) {
            text ^= 0xFFFFFF;
            back ^= 0xFFFFFF;
            if (!lastCol && p != model_.SelEnd())
                fill ^= 0xFFFFFF;
            if (graySelectionIfNotFocused_ && !focused_) {
                text = HexGray(text);
                back = HexGray(back);
            }
        }
        Fill(dc, r, fill);
        Char(dc, r.left, r.top, CharWidth(), r.bottom, ch, text, back);
        // The drop marker shows where a drop would land, refused or not.
        if (HexCell{col, row} == model_.DropCell())
            Fill(dc, RECT{r.left + 1, r.top + 1, r.left + 3, r.bottom - 1}, text);
        if (row == model_.Cursor().Row && focused_)
            PaintTwinFrame(dc, col, r);
        else if (!focused_ && showPositionIfNotFocused_ && HexCell{col, row} == model_.Cursor())
            PaintCursorFrame(dc, RECT{r.left, r.top, r.left + CharWidth(), r.bottom - 1},
                             ColorToRGB(colors_.NonFocusCursorFrame));
    }
    if (drawGridLines_) {
        if (col == l.LastCharCol())
            Line(dc, grid, r.right - 1, r.top, r.right - 1, r.bottom - 1);
        Line(dc, grid, r.left, r.bottom - 1, r.right, r.bottom - 1);
    }
}

void THexEditor::PaintTwinFrame(HDC dc, int col, const RECT& r) {
    const HexLayout& l = model_.Layout();
    const HexCell cursor = model_.Cursor();
    RECT frame{};
    if (l.IsCharCol(col) && !l.IsCharCol(cursor.Col) && col == l.TwinColumn(cursor.Col)) {
        frame = RECT{r.left, r.top, r.left + CharWidth(), r.bottom - 1};
    } else if (l.IsHexCol(col) && l.IsCharCol(cursor.Col) && col == l.TwinColumn(cursor.Col) + 1) {
        const int firstLeft = model_.ColLeft(col - 1);
        frame = RECT{firstLeft >= 0 ? firstLeft : r.left, r.top, r.left + CharWidth(), r.bottom - 1};
    } else {
        return;
    }
    PaintCursorFrame(dc, frame, ColorToRGB(colors_.CursorFrame));
}

void THexEditor::PaintCursorFrame(HDC dc, const RECT& frame, COLORREF color) {
    if (focusFrame_) {
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &frame);
    } else {
        GdiBrush brush(CreateSolidBrush(color));
        FrameRect(dc, &frame, brush.get());
    }
}

void THexEditor::PaintBands(HDC dc, int gridRight, int gridBottom) {
    const HexLayout& l = model_.Layout();
    const int w = ClientWidth(), h = ClientHeight();
    const COLORREF background = ColorToRGB(colors_.Background);
    const COLORREF band = ColorToRGB(colors_.OffsetBackground);
    if (gridRight < w) {
        Fill(dc, RECT{gridRight, 0, w, gridBottom}, background);
        Fill(dc, RECT{gridRight, 0, w, l.RulerHeight()}, band);
    }
    const int gutter = l.ColWidth(0);
    if (gridBottom < h) {
        Fill(dc, RECT{gutter + 1, gridBottom, w, h}, background);
        Fill(dc, RECT{0, gridBottom, gutter, h}, band);
    }
    const int rulerHeight = l.RulerHeight();
    if (gutter > 0) {
        if (drawGutter3D_) {
            Line(dc, GetSysColor(COLOR_BTNSHADOW), gutter, rulerHeight, gutter, h - 1);
            Line(dc, GetSysColor(COLOR_BTNHIGHLIGHT), gutter - 1, rulerHeight, gutter - 1, h - 1);
        } else if (drawGridLines_) {
            Line(dc, ColorToRGB(colors_.Grid), gutter - 1, rulerHeight, gutter - 1, h - 1);
        }
    }
    if (l.ShowRuler()) {
        if (drawGutter3D_) {
            Line(dc, GetSysColor(COLOR_BTNSHADOW), gutter - 1, rulerHeight - 1, w - 1, rulerHeight - 1);
            Line(dc, GetSysColor(COLOR_BTNHIGHLIGHT), gutter - 1, rulerHeight - 2, w - 1, rulerHeight - 2);
        } else if (drawGridLines_) {
            Line(dc, ColorToRGB(colors_.Grid), gutter - 1, rulerHeight - 1, w - 1, rulerHeight - 1);
        }
    }
}

} // namespace quennet
