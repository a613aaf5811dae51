// Paints the results list's "Match" cells: the line around the match, its matched part in
// bold and in colour. Only the cells on screen are painted, so a list of any length costs the
// same; a list without lines (a search by name) is left to the control's own drawing.
#pragma once

#include "mainwindow/ResultStore.h"
#include "runtime/Handles.h"

#include <windows.h>
#include <commctrl.h>

#include <optional>

namespace quennet {

class MatchCellPainter {
  public:
    // The matched part's colour on a row that is not selected.
    static constexpr COLORREF kMatchColour = RGB(0xC0, 0x00, 0x00);

    MatchCellPainter(const ResultStore& store, int column) : store_(store), column_(column) {}

    // For TListView::OnCustomDraw.
    std::optional<LRESULT> CustomDraw(NMLVCUSTOMDRAW& draw);

  private:
    void Paint(HWND list, HDC dc, int row, const MatchLineView& line);
    HFONT BoldOf(HFONT font);

    const ResultStore& store_;
    int column_;
    GdiFont bold_;
    HFONT boldOf_ = nullptr; // the list's font that bold_ was made from (not owned)
};

} // namespace quennet
