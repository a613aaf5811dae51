#include "runtime/StatusBar.h"

#include <algorithm>

namespace quennet {

namespace {
// Beside its text a panel holds its sunken edges and the text's indent on both sides.
constexpr int kTextMargin = 12;
} // namespace

TStatusBar::TStatusBar() {
    SetBounds(0, 0, 0, 19);
    SetAlign(alBottom);
}

void TStatusBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = STATUSCLASSNAMEA;
    params.SystemClass = true;
    params.Style = (params.Style & ~WS_CLIPCHILDREN) | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
}

void TStatusBar::HandleCreated() {
    ApplyPanels();
}

void TStatusBar::SetPanelWidths(const std::vector<int>& widths) {
    widths_ = widths;
    texts_.resize(widths.size());
    fitsText_.resize(widths.size());
    ApplyPanels();
}

void TStatusBar::SetPanelFitsText(int panel) {
    if (panel < 0 || static_cast<size_t>(panel) >= fitsText_.size())
        return;
    fitsText_[static_cast<size_t>(panel)] = true;
    ApplyPanels();
}

int TStatusBar::PanelWidth(size_t panel) const {
    const int width = widths_[panel];
    if (!fitsText_[panel] || texts_[panel].empty() || !HandleAllocated())
        return width;
    WindowDC dc(HandleOrNull());
    auto font = reinterpret_cast<HFONT>(SendMessageA(HandleOrNull(), WM_GETFONT, 0, 0));
    SelectGuard keep(dc.get(), font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    SIZE text{0, 0};
    GetTextExtentPoint32A(dc.get(), texts_[panel].c_str(), static_cast<int>(texts_[panel].size()), &text);
    return std::max(width, static_cast<int>(text.cx) + kTextMargin);
}

void TStatusBar::ApplyPanels() {
    if (!HandleAllocated() || widths_.empty())
        return;
    edges_.clear();
    UpdateParts();
    for (size_t i = 0; i < texts_.size(); ++i)
        SendMessageA(HandleOrNull(), SB_SETTEXTA, i, reinterpret_cast<LPARAM>(texts_[i].c_str()));
}

// The window keeps the panels' texts when their edges move.
void TStatusBar::UpdateParts() {
    if (!HandleAllocated() || widths_.empty())
        return;
    std::vector<int> edges(widths_.size());
    int right = 0;
    for (size_t i = 0; i < widths_.size(); ++i) {
        right += PanelWidth(i);
        edges[i] = i + 1 == widths_.size() ? -1 : right;
    }
    if (edges == edges_)
        return;
    edges_ = edges;
    SendMessageA(HandleOrNull(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void TStatusBar::SetPanelText(int panel, const std::string& text) {
    if (panel < 0)
        return;
    if (static_cast<size_t>(panel) >= texts_.size())
        texts_.resize(static_cast<size_t>(panel) + 1);
    texts_[static_cast<size_t>(panel)] = text;
    if (static_cast<size_t>(panel) < fitsText_.size() && fitsText_[static_cast<size_t>(panel)])
        UpdateParts();
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), SB_SETTEXTA, static_cast<WPARAM>(panel),
                     reinterpret_cast<LPARAM>(text.c_str()));
}

std::string TStatusBar::PanelText(int panel) const {
    if (!HandleAllocated())
        return panel >= 0 && static_cast<size_t>(panel) < texts_.size() ? texts_[static_cast<size_t>(panel)]
                                                                        : "";
    auto length = LOWORD(SendMessageA(HandleOrNull(), SB_GETTEXTLENGTHA, static_cast<WPARAM>(panel), 0));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(HandleOrNull(), SB_GETTEXTA, static_cast<WPARAM>(panel),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

} // namespace quennet
