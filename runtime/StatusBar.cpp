#include "runtime/StatusBar.h"

namespace quennet {

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
    ApplyPanels();
}

void TStatusBar::ApplyPanels() {
    if (!HandleAllocated() || widths_.empty())
        return;
    std::vector<int> edges(widths_.size());
    int right = 0;
    for (size_t i = 0; i < widths_.size(); ++i) {
        right += widths_[i];
        edges[i] = i + 1 == widths_.size() ? -1 : right;
    }
    SendMessageA(HandleOrNull(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < texts_.size(); ++i)
        SendMessageA(HandleOrNull(), SB_SETTEXTA, i, reinterpret_cast<LPARAM>(texts_[i].c_str()));
}

void TStatusBar::SetPanelText(int panel, const std::string& text) {
    if (panel < 0)
        return;
    if (static_cast<size_t>(panel) >= texts_.size())
        texts_.resize(static_cast<size_t>(panel) + 1);
    texts_[static_cast<size_t>(panel)] = text;
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
