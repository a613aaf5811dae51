#include "mainwindow/MatchCellPainter.h"

#include "base/WidePath.h"
#include "mainwindow/MatchCellText.h"

namespace quennet {

namespace {

// The list's own gap between a cell's edge and its text.
constexpr int kTextMargin = 6;

} // namespace

std::optional<LRESULT> MatchCellPainter::CustomDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        // Without lines there is nothing to paint: no call per row.
        return store_.HasLines() ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const int row = static_cast<int>(draw.nmcd.dwItemSpec);
        if (draw.iSubItem != column_ || row < 0 || row >= store_.Count())
            return CDRF_DODEFAULT;
        const MatchLineView line = store_.Line(row);
        if (line.Text.empty())
            return CDRF_DODEFAULT;
        Paint(draw.nmcd.hdr.hwndFrom, draw.nmcd.hdc, row, line);
        return CDRF_SKIPDEFAULT;
    }
    default:
        return std::nullopt;
    }
}

HFONT MatchCellPainter::BoldOf(HFONT font) {
    if (!bold_ || boldOf_ != font) {
        LOGFONTW description{};
        GetObjectW(font ? font : GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
        description.lfWeight = FW_BOLD;
        bold_.reset(CreateFontIndirectW(&description));
        boldOf_ = font;
    }
    return bold_.get();
}

void MatchCellPainter::Paint(HWND list, HDC dc, int row, const MatchLineView& line) {
    RECT cell{};
    cell.top = column_;
    cell.left = LVIR_BOUNDS;
    if (!SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell)))
        return;
    const bool selected = (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) &
                           LVIS_SELECTED) != 0;
    const bool focused = GetFocus() == list;
    const int background = selected ? (focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE) : COLOR_WINDOW;
    const COLORREF text = GetSysColor(selected && focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    const COLORREF matched = selected && focused ? text : kMatchColour;
    FillRect(dc, &cell, GetSysColorBrush(background));

    SavedDCState saved(dc);
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
    if (font)
        SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int y = cell.top + (cell.bottom - cell.top - metrics.tmHeight) / 2;
    RECT clip = cell;
    clip.right -= kTextMargin;
    int x = cell.left + kTextMargin;

    const auto start = static_cast<std::size_t>(line.Start);
    const auto length = static_cast<std::size_t>(line.Length);
    const HFONT plain = font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    auto width = [&](std::string_view text) {
        SelectObject(dc, plain);
        const std::wstring wide = Utf8ToWide(text);
        SIZE extent{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
        return static_cast<int>(extent.cx);
    };
    const MatchCellStart shown = ShownStartOfMatchLine(line.Text, start, length, clip.right - x, width);
    const std::string_view parts[4] = {shown.Cut ? kCutMark : std::string_view(),
                                       line.Text.substr(shown.Byte, start - shown.Byte),
                                       line.Text.substr(start, length), line.Text.substr(start + length)};
    for (int part = 0; part < 4 && x < clip.right; ++part) {
        if (parts[part].empty())
            continue;
        const bool isMatch = part == 2;
        SelectObject(dc, isMatch ? BoldOf(font) : plain);
        SetTextColor(dc, isMatch ? matched : text);
        const std::wstring wide = Utf8ToWide(parts[part]);
        const UINT count = static_cast<UINT>(wide.size());
        ExtTextOutW(dc, x, y, ETO_CLIPPED, &clip, wide.c_str(), count, nullptr);
        SIZE extent{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(count), &extent);
        x += extent.cx;
    }
}

} // namespace quennet
